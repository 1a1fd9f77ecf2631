#include "framework/scroll_view.h"

#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

CScrollView::CScrollView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
}

void CScrollView::UpdateRanges() {
    QSize client = ClientSize();
    horizontalScrollBar()->setRange(0, std::max(0, m_total.width() - client.width()));
    verticalScrollBar()->setRange(0, std::max(0, m_total.height() - client.height()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
    horizontalScrollBar()->setSingleStep(std::max(1, m_total.width() / 100));
    verticalScrollBar()->setSingleStep(std::max(1, m_total.height() / 100));
}

void CScrollView::SetScrollSizes(QSize total) {
    m_total = total;
    UpdateRanges();
}

void CScrollView::ScrollToPosition(QPoint pos) {
    horizontalScrollBar()->setValue(pos.x());
    verticalScrollBar()->setValue(pos.y());
}

QPoint CScrollView::GetScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QSize CScrollView::ClientSize() const {
    return viewport()->size();
}

bool CScrollView::viewportEvent(QEvent* event) {
    bool handled = QAbstractScrollArea::viewportEvent(event);
    // The viewport changes size with the view and when scroll bars come or go.
    if (event->type() == QEvent::Resize) {
        UpdateRanges();
        OnSize();
    }
    return handled;
}

void CScrollView::scrollContentsBy(int dx, int dy) {
    // Moves the painted content and the child windows together.
    viewport()->scroll(dx, dy);
}
