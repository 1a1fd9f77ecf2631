// The viewer bar's drop-down list of page numbers.
#pragma once

#include <QComboBox>

#include <functional>

// A drop-down list that reports how each choice ended: OnSelEndOk when an
// entry was chosen, also the one already shown, from the open list or by
// key or wheel on the closed list; OnSelEndCancel when the open list closed
// without a choice (Escape, a click elsewhere). The chosen entry is the
// current index by then. The open list drops down with at most
// maxVisibleItems() entries in view. The number shown is never shortened:
// it uses all the room left of the arrow.
class CPageListBox : public QComboBox {
public:
    explicit CPageListBox(QWidget* parent);

    std::function<void()> OnSelEndOk;
    std::function<void()> OnSelEndCancel;

    void showPopup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_popup;
    bool m_open = false;
    bool m_chosen = false;
};
