#include "display/picture_wnd.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

CPictureWnd::CPictureWnd(QWidget* parent) : CWnd(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPictureWnd::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = rect().adjusted(1, 1, -1, -1);
    if (m_bPaintBorder) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (!m_picture || m_picture->IsEmpty())
        return;
    // Wrap the model's pixels without copying them: 0x00RRGGBB is Qt's
    // RGB32 layout with an unused top byte.
    const QImage image(reinterpret_cast<const uchar*>(m_picture->Data()), m_picture->Width(),
                       m_picture->Height(), m_picture->Width() * 4, QImage::Format_RGB32);
    // Copy only the damaged part of the client area.
    const QRect damaged = event->rect().intersected(client);
    if (damaged.isEmpty())
        return;
    painter.drawImage(damaged, image, damaged.translated(-1, -1));
}

void CPictureWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on the picture is the canvas's own; it never reaches
    // the view behind it (whose double click chooses the background colour).
    event->accept();
}
