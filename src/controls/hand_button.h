// The picture button of the bars along the bottom of the main window.
#pragma once

#include "model/resources/command_ids.h"

#include <QAbstractButton>
#include <QCursor>
#include <QPixmap>

// A compiled-in bitmap by name ("PREVU", "hand"; case does not matter); a
// null pixmap when there is none.
QPixmap LoadBarBitmap(const QString& name);

// The pointing hand shown over buttons that can be pressed: 32 x 32, black
// and white, its hot spot (6, 0) at the tip of the finger.
QCursor HandCursor();

// A push button whose face is a picture: the normal face, the pressed face
// while it is held down, and the disabled face while it is disabled (the
// normal face when it has none). It takes no keyboard focus. While enabled,
// the pointer over it is the hand; over a disabled button the pointer is
// whatever the bar shows. A press sends clicked().
class CHandButton : public QAbstractButton {
    Q_OBJECT
public:
    // A button captioned `name` (its bitmap base name) for command `id`. It
    // has no face until LoadBitmaps.
    CHandButton(const QString& name, CommandId id, QWidget* parent);

    // Takes the faces from the compiled-in bitmaps of these names; an empty
    // name means no such face. Repaints. False when the normal face is missing.
    bool LoadBitmaps(const QString& normal, const QString& pressed,
                     const QString& disabled = QString());
    // Resizes the button to its normal face.
    void SizeToContent();

    CommandId GetId() const { return m_id; }
    // The name of the face the button shows now.
    QString ShownFace() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Face {
        QString name;
        QPixmap picture;
    };
    const Face& Shown() const;

    CommandId m_id;
    Face m_normal;
    Face m_pressed;
    Face m_disabled;
};
