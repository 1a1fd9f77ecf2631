// A scrolling view: a viewport over a larger area (the scroll sizes), with
// child windows that move with the content when it scrolls.
#pragma once

#include "model/framework/cmd_target.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>

class CScrollView : public QAbstractScrollArea, public CCmdTarget {
    Q_OBJECT
public:
    explicit CScrollView(QWidget* parent = nullptr);

    // The whole scrollable area, in pixels; 0 x 0 means no scrolling.
    void SetScrollSizes(QSize total);
    QSize GetTotalSize() const { return m_total; }
    // Scrolls so that `pos` of the area is at the viewport's top-left, kept
    // within the range.
    void ScrollToPosition(QPoint pos);
    QPoint GetScrollPosition() const;
    // The viewport's size (the view's client area, scroll bars excluded).
    QSize ClientSize() const;

    // Called once a document has been opened into the view.
    virtual void OnInitialUpdate() { SetScrollSizes(QSize(0, 0)); }

protected:
    // Called after the viewport changed size.
    virtual void OnSize() {}
    bool viewportEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateRanges();
    QSize m_total{0, 0};
};
