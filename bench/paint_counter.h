// Counts the paint events a widget receives, so that a timing can end only
// once the repaint it caused has run. Install with installEventFilter.
#pragma once

#include <QEvent>
#include <QObject>

namespace bench {

class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    int count = 0;
};

} // namespace bench
