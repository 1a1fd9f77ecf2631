// The viewer bar's drop-down list of page numbers.
#pragma once

#include <QComboBox>

#include <functional>

// A drop-down list that reports how each choice ended: OnSelEndOk when an
// entry was chosen, also the one already shown: from the open list (a click
// on an entry, Return or Enter), by Return or Enter on the closed list, or
// by an arrow key that moves the closed list; OnSelEndCancel when the open
// list closed without a choice (Escape, a click elsewhere). The chosen entry
// is the current index by then. The mouse wheel over the closed list does
// nothing. The open list drops down with at most maxVisibleItems() entries
// in view. The number shown is never shortened and never reaches into the
// arrow: it is drawn in the room left of it, condensed when it is wider.
class CPageListBox : public QComboBox {
public:
    explicit CPageListBox(QWidget* parent);

    std::function<void()> OnSelEndOk;
    std::function<void()> OnSelEndCancel;

    void showPopup() override;

    // Where the closed list shows its number: between the frame and the arrow.
    QRect TextRect() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_popup;
    bool m_open = false;
    bool m_chosen = false;
};
