// Moving between the pages of the open volume: the current page, its picture
// and list entry, and the page sound that goes with a page change.
#pragma once

class CVolDoc;
class PageSound;
struct RunningState;

// What a page change asks of the windows.
class IPageDisplay {
public:
    virtual ~IPageDisplay() = default;
    // Loads the page's picture into the view (also when it is already shown).
    virtual void LoadPage(int page) = 0;
    // Selects the page's entry in the page list.
    virtual void SelectPage(int page) = 0;
};

class PageNavigator {
public:
    // Everything is borrowed and must outlive the navigator.
    PageNavigator(RunningState& state, const CVolDoc& doc, PageSound& sound, IPageDisplay& display);

    // Makes a page current, clamped to 1..the page count, and loads it (also
    // when it is already current); the page list shows it. With autoplay and
    // wave output, a page with a sound entry starts it on a freshly opened
    // device.
    void GoToPage(int page);

    // A volume was read: the page sound of the previous book stops and its
    // device closes (the next play opens the new book's file), and page 1
    // becomes current without loading a picture or playing a sound.
    void OnVolumeRead();

    bool CanGoBack() const;
    bool CanGoForward() const;

private:
    RunningState& m_state;
    const CVolDoc& m_doc;
    PageSound& m_sound;
    IPageDisplay& m_display;
};
