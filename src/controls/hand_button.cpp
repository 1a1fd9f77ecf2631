#include "controls/hand_button.h"

#include <QBitmap>
#include <QEvent>
#include <QImage>
#include <QPainter>

QPixmap LoadBarBitmap(const QString& name) {
    if (name.isEmpty())
        return QPixmap();
    return QPixmap(":/bitmaps/" + name.toLower() + ".bmp");
}

QCursor HandCursor() {
    // The bitmap holds the picture above its mask, black where a bit is set;
    // a bitmap made from an image sets the bits of its black pixels.
    QImage both(":/bitmaps/hand.bmp");
    if (both.width() != 32 || both.height() != 64)
        return QCursor(Qt::PointingHandCursor);
    QBitmap picture = QBitmap::fromImage(both.copy(0, 0, 32, 32));
    QBitmap mask = QBitmap::fromImage(both.copy(0, 32, 32, 32));
    return QCursor(picture, mask, 6, 0);
}

CHandButton::CHandButton(const QString& name, CommandId id, QWidget* parent)
    : QAbstractButton(parent), m_id(id) {
    setText(name);
    setFocusPolicy(Qt::NoFocus);
    setCursor(HandCursor());
}

bool CHandButton::LoadBitmaps(const QString& normal, const QString& pressed,
                              const QString& disabled) {
    m_normal = {normal, LoadBarBitmap(normal)};
    m_pressed = {pressed, LoadBarBitmap(pressed)};
    m_disabled = {disabled, LoadBarBitmap(disabled)};
    updateGeometry();
    repaint();
    return !m_normal.picture.isNull();
}

void CHandButton::SizeToContent() {
    resize(m_normal.picture.size());
}

QSize CHandButton::sizeHint() const {
    return m_normal.picture.size();
}

const CHandButton::Face& CHandButton::Shown() const {
    if (!isEnabled())
        return m_disabled.picture.isNull() ? m_normal : m_disabled;
    if (isDown() && !m_pressed.picture.isNull())
        return m_pressed;
    return m_normal;
}

QString CHandButton::ShownFace() const {
    return Shown().name;
}

void CHandButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A face wider than the button shows its left part only.
    painter.drawPixmap(0, 0, Shown().picture);
}

void CHandButton::changeEvent(QEvent* event) {
    // A disabled control does not receive the pointer: the bar under it
    // decides the pointer, so the hand promises only what can be pressed.
    if (event->type() == QEvent::EnabledChange) {
        if (isEnabled())
            setCursor(HandCursor());
        else
            unsetCursor();
    }
    QAbstractButton::changeEvent(event);
}
