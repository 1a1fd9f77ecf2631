#include "colouring/paint_wnd.h"

#include "controls/colouring_cursors.h"
#include "model/mainframe/running_state.h"

#include <QMouseEvent>

namespace {

QPoint PicturePoint(const QMouseEvent* event) {
    return CPictureWnd::ToPicture(event->position().toPoint());
}

} // namespace

CPaintWnd::CPaintWnd(const RunningState& state, QWidget* parent)
    : CPictureWnd(parent), m_state(state) {
    setMouseTracking(false);
}

void CPaintWnd::RefreshCursor() {
    if (m_state.m_nMode != Mode::Colouring) {
        unsetCursor();
        return;
    }
    switch (m_state.m_nTool) {
    case Tool::Fill:
        setCursor(RollerCursor());
        break;
    case Tool::Brush:
        setCursor(BrushCursor(m_state.m_nBrushSize));
        break;
    case Tool::Line:
        setCursor(Qt::CrossCursor);
        break;
    }
}

void CPaintWnd::RepaintPicture(const PixelRect& rect) {
    if (rect.IsEmpty())
        return;
    // Picture pixel (0, 0) lies inside the one-pixel border.
    update(QRect(rect.left + 1, rect.top + 1, rect.Width(), rect.Height()));
}

void CPaintWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_tools) {
        const QPoint p = PicturePoint(event);
        if (m_tools->OnLButtonDown(p.x(), p.y())) {
            event->accept();
            return;
        }
    }
    CPictureWnd::mousePressEvent(event);
}

void CPaintWnd::mouseMoveEvent(QMouseEvent* event) {
    if (m_tools && m_tools->HasCapture()) {
        const QPoint p = PicturePoint(event);
        m_tools->OnMouseMove(p.x(), p.y());
    }
    CPictureWnd::mouseMoveEvent(event);
}

void CPaintWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_tools && m_tools->HasCapture()) {
        const QPoint p = PicturePoint(event);
        m_tools->OnLButtonUp(p.x(), p.y());
    }
    CPictureWnd::mouseReleaseEvent(event);
}

void CPaintWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on the picture is the canvas's own; it never reaches the
    // view behind it (whose double click chooses the background colour).
    event->accept();
    if (event->button() == Qt::LeftButton && m_onDoubleClick)
        m_onDoubleClick();
}
