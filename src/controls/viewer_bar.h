// The viewer's bar of picture buttons along the bottom of the main window.
#pragma once

#include "controls/control_bar.h"

class CHandButton;
class CPageListBox;
class QLabel;

// From left to right: previous page; the page counter ("Page:" over the
// list of page numbers over the page total "of N"); next page; after a gap,
// colour this page, play or stop the sound, slide show, print; then two
// columns of two buttons: show the coloured picture over restore the
// original, and goodbye over the colouring instructions. Neighbouring
// buttons share their edge pixel. Every control sends its command id.
class CViewerBar : public CControlBar {
    Q_OBJECT
public:
    // Top of every control in the row.
    static constexpr int kRowTop = 2;

    // The bar, as high as its tallest buttons plus its edges; no controls
    // until Create.
    CViewerBar(IBarOwner& owner, QWidget* parent);

    // Creates the controls and places them. The page counter's three
    // controls start disabled, the page list empty and the total "of ".
    void Create();

    // Places the row (previous, "Page:", next, gap, colour this page, sound,
    // slide show, print, show coloured picture, goodbye), each control
    // keeping its size, and repaints the bar at once. Stops at the first
    // control that does not exist.
    void LayoutButtons();

    // Makes the page list hold "1" to "n", n being `pageCount` but at most
    // kMaxShownPage: entries are added or dropped at the end. With `reset`
    // the list is emptied first.
    void FillPageList(bool reset, int pageCount);

    // Selects the list entry of `page`; no entry is selected when it has none.
    void SelectPage(int page);

    // The sound button's face: play (true), whose disabled face is greyed,
    // or stop (false), which has none. Repaints the button.
    void SetPlayButton(bool play);

    CPageListBox* PageList() const { return m_pageList; }
    CHandButton* Button(CommandId id) const;

private:
    CHandButton* AddButton(CommandId id);
    QLabel* AddLabel(CommandId id, const QString& text, const QRect& place);
    // The page list, under `above`, as high as its large numbers need.
    void AddPageList(const QWidget& above);

    CPageListBox* m_pageList = nullptr;
};
