#include "controls/colouring_cursors.h"

#include <QBitmap>
#include <QImage>

#include <algorithm>

namespace {

// The bitmap holds the picture above its mask, black where a bit is set; a
// bitmap made from an image sets the bits of its black pixels. Black in the
// picture and the mask shows black, white in the picture and black in the
// mask shows white, white in both is see-through.
QCursor PointerCursor(const QString& name, QPoint hotSpot, Qt::CursorShape fallback) {
    QImage both(":/bitmaps/" + name + ".bmp");
    if (both.width() != 32 || both.height() != 64)
        return QCursor(fallback);
    QBitmap picture = QBitmap::fromImage(both.copy(0, 0, 32, 32));
    QBitmap mask = QBitmap::fromImage(both.copy(0, 32, 32, 32));
    return QCursor(picture, mask, hotSpot.x(), hotSpot.y());
}

} // namespace

QCursor RollerCursor() {
    return PointerCursor("roller", QPoint(0, 28), Qt::ArrowCursor);
}

QCursor BrushCursor(int brushSize) {
    const int number = std::clamp(brushSize, 0, 2) + 1;
    return PointerCursor("brush" + QString::number(number), QPoint(16, 16), Qt::CrossCursor);
}
