// A running slide show: which page is shown, when the next one comes (a
// one-second beat or the end of the page's sound), pausing, stepping by keys
// and clicks, and how the show ends. The full-screen window is a shell over
// it: it turns its timer, end notices, keys, clicks and its closing into the
// calls below and carries out what the show asks of it.
//
// Re-entrancy: stopping a page's sound dispatches the events waiting
// meanwhile (IMessagePump), so keys, clicks, ticks, end notices and the
// window's closing can run nested inside a page change or inside EndShow.
// The show therefore
//  - advances only on the end notice of the play it started for the page
//    now shown; the notice of a sound it stopped itself, or of a device it
//    has already replaced, never advances it;
//  - ignores ticks, and holds back an advancing end notice until the next
//    tick, while a page is being shown or a modal dialog is up;
//  - lets a key or click run a nested page change, after which the page
//    change it interrupted gives up (the newer page stands);
//  - looks at its state again after every pump and returns at once when the
//    show has ended meanwhile;
//  - never destroys its window itself: EndShow asks the window to close
//    (ISlideShowWindow::CloseLater), which it does after the current call.
#pragma once

#include "model/mainframe/page_sound_device.h"
#include "model/resources/command_ids.h"
#include "model/slideshow/slide_show_info.h"
#include "platform/audio.h"

#include <optional>
#include <string>

class CVolDoc;
class IDialogs;
class IMessagePump;
struct RunningState;

// What the show asks of its full-screen window.
class ISlideShowWindow {
public:
    virtual ~ISlideShowWindow() = default;
    // The show's own view loads and shows the picture file of a stored name
    // (reporting a file it cannot load as for any page); an empty name shows
    // an empty page.
    virtual void LoadPicture(const std::string& storedPath) = 0;
    // The show's own view loads page `page` from its picture entry.
    virtual void LoadPage(int page) = 0;
    // Starts and stops the one-second beat that calls OnTimer.
    virtual void StartBeat() = 0;
    virtual void StopBeat() = 0;
    // Hides and shows the mouse pointer over the show.
    virtual void HidePointer() = 0;
    virtual void ShowPointer() = 0;
    // Shows the window, full screen and above all others.
    virtual void ShowWindow() = 0;
    // Where the end notice of a play goes; the window posts it to itself and
    // hands it to OnMciNotify on the UI thread. Called once per play.
    virtual MediaNoticeSink NoticeSink() = 0;
    // True while a modal dialog or message box is open.
    virtual bool ModalDialogUp() const = 0;
    // The show has ended: the window closes and destroys itself (and the
    // show) once the call under way has returned, never inside it.
    virtual void CloseLater() = 0;
};

// What the show asks of the main window when it ends.
class ISlideShowOwner {
public:
    virtual ~ISlideShowOwner() = default;
    // Makes `page` the main window's current page and shows it. The show
    // clears g_bPageSoundAutoPlay around the call, so no page sound starts.
    virtual void GoToPage(int page) = 0;
    // Opens a volume by name as the open command does (the user is told of a
    // failure). True when it opened.
    virtual bool OpenVolume(const std::string& name) = 0;
};

class SlideShow {
public:
    // `info` is copied; its range is fitted to the volume: start and end to
    // 1..the page count, an end before the start raised to the start (the
    // show then ends, or loops, after its start page), seconds at least 1.
    // Everything else is borrowed and must outlive the show.
    SlideShow(const CSlideShowInfo& info, RunningState& state, const CVolDoc& doc, IAudio& audio,
              IDialogs& dialogs, IMessagePump& pump, ISlideShowWindow& window,
              ISlideShowOwner& owner);
    // A show destroyed before it ended clears g_bSlideShowRunning and closes
    // its sound; it calls neither the window nor the owner.
    ~SlideShow();
    SlideShow(const SlideShow&) = delete;
    SlideShow& operator=(const SlideShow&) = delete;

    // Sets g_bSlideShowRunning, shows the start page, starts the beat, hides
    // the pointer and shows the window. Never ends the show by itself.
    void StartShow();
    // Shows `page` (`manual`: asked by a key or click). A page past the end
    // ends the show unless it loops; a page outside the range shows page 1,
    // and the range then begins at page 1. Returns false when the show has
    // ended (here or meanwhile), else true.
    bool ShowSlide(int page, bool manual);
    // Restores the pointer, stops the beat, clears g_bSlideShowRunning,
    // closes the sound, sends the main window to the page shown last (or
    // reopens g_strReturnVolume at g_nReturnPage, emptying it; on failure the
    // page shown last) and asks the window to close. Only the first call
    // does anything.
    void EndShow();
    // Pauses the show and its sound, or restarts them; a restarted page
    // advances after the seconds it had left.
    void ToggleStop();
    // With a sound playing: stops it (waiting events are dispatched) and
    // returns 1. Otherwise plays `name` (in any case), or the current page's
    // sound entry without one: 1 played, -2 no wave output, -1 no such file
    // and 0 a type nothing here plays (each reported in a message box), 0
    // also when the device does not open or play.
    int PlaySlideSound(std::optional<std::string> name = std::nullopt);
    // Stops a playing sound; with `close` also closes its device.
    void StopSlideSound(bool close);

    // The window's events. Each does nothing once the show has ended.
    // Every beat of the one-second timer.
    void OnTimer();
    // The end of a play (ended, stopped or failed) on `device`.
    void OnMciNotify(MediaDeviceId device);
    // ID_SHOW_FIRST..ID_SHOW_END; false for any other id (not handled).
    bool OnCommand(CommandId id);
    // A click on the show: +1 left button (next page), -1 right (previous).
    // Returns false when the show has ended.
    bool OnClick(int step);
    // The window was closed some other way (window manager, Alt+F4).
    void OnWindowClosed();

    int Current() const { return m_nCurrent; }
    const CSlideShowInfo& Info() const { return m_info; }
    bool IsStopped() const { return m_bStopped; }
    bool HasEnded() const { return m_bEnded; }

private:
    void ShowPicture(int page);
    bool PlayPageSound(unsigned serial, bool manual);
    void CloseDevice();
    void ReturnToBook();
    void GoToPageQuietly(int page);
    int Target() const { return m_bResumed ? m_nRemaining : m_info.m_nSeconds; }
    bool Busy() const { return m_nShowing > 0 || m_window.ModalDialogUp(); }
    bool Superseded(unsigned serial) const { return m_bEnded || serial != m_nSerial; }

    CSlideShowInfo m_info;
    bool m_bStopped = false;          // paused
    bool m_bResumed = false;          // the page was restarted after a pause
    bool m_bTimerAdvance = false;     // the beat advances the page
    bool m_bTimedWhenStopped = false; // the beat advanced the page when paused
    bool m_bDeviceOpen = false;       // a play the show started is under way
    PageSoundDevice m_wDevice;        // the show's own media device
    int m_nSoundPage = 0;             // page whose sound was started last
    int m_nElapsed = 0;               // beats counted on the page
    int m_nRemaining = 0;             // beats left when paused
    int m_nCurrent = 0;               // page shown; 0 before the first
    bool m_bAdvanceDue = false;       // the page's sound ended while busy
    bool m_bEnded = false;
    bool m_bPointerHidden = false;
    int m_nShowing = 0;     // depth of ShowSlide calls under way
    unsigned m_nSerial = 0; // counts page changes begun

    RunningState& m_state;
    const CVolDoc& m_doc;
    IAudio& m_audio;
    IDialogs& m_dialogs;
    IMessagePump& m_pump;
    ISlideShowWindow& m_window;
    ISlideShowOwner& m_owner;
};
