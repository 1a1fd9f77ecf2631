// A button of the colouring bar's tool strip: a 36 x 73 raised button with a
// 30 x 65 picture, shown pushed in while it is held down or while its update
// rule says it is the current one (its checked state). A click never changes
// that state itself: the command changes the running state, and the update
// rule at idle shows it.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

class CToolButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kWidth = 36;
    static constexpr int kHeight = 73;

    CToolButton(const QPixmap& picture, QWidget* parent);

    QSize sizeHint() const override { return {kWidth, kHeight}; }
    // Whether the button shows pushed in now.
    bool ShowsPushed() const { return isDown() || isChecked(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void nextCheckState() override {}

private:
    QPixmap m_picture;
};
