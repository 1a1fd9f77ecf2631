#include "controls/tool_button.h"

#include <QPainter>

namespace {

const QColor kFace(192, 192, 192);
const QColor kShadow(128, 128, 128);

} // namespace

CToolButton::CToolButton(const QPixmap& picture, QWidget* parent)
    : QAbstractButton(parent), m_picture(picture) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kWidth, kHeight);
}

void CToolButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int r = width() - 1;
    const int b = height() - 1;
    const bool pushed = ShowsPushed();
    p.fillRect(rect(), kFace);
    if (isChecked() && !isDown()) {
        // The current tool: a checked face, lighter than a button held down.
        p.fillRect(rect().adjusted(2, 2, -2, -2), QBrush(Qt::white, Qt::Dense4Pattern));
    }
    // Raised: light top and left, dark bottom and right; pushed: the reverse.
    p.setPen(pushed ? Qt::black : Qt::white);
    p.drawLine(0, 0, r - 1, 0);
    p.drawLine(0, 0, 0, b - 1);
    p.setPen(pushed ? kShadow : kFace);
    p.drawLine(1, 1, r - 2, 1);
    p.drawLine(1, 1, 1, b - 2);
    p.setPen(pushed ? Qt::white : Qt::black);
    p.drawLine(0, b, r, b);
    p.drawLine(r, 0, r, b);
    p.setPen(pushed ? kFace : kShadow);
    p.drawLine(1, b - 1, r - 1, b - 1);
    p.drawLine(r - 1, 1, r - 1, b - 1);
    // The picture sits in the 30 x 67 image area, moved by a pixel when pushed.
    const int shift = pushed ? 1 : 0;
    p.drawPixmap(3 + shift, 4 + shift, m_picture);
}
