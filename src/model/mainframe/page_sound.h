// The main window's page sound: the narration or music of the current page,
// played on one media device with an end notice, one at a time, stoppable.
//
// The device is kept open after its sound ends, so the same page can be
// heard again from its beginning; once marked (m_bReopenDevice: a page
// change, a new volume, a slide show) it is closed and opened afresh from the
// current page's file before the next play.
//
// The device and the checks before a play are PageSoundDevice's, which the
// slide show shares for its own device.
//
// Re-entrancy: stopping a sound and reopening the device dispatch the events
// waiting meanwhile (IMessagePump), so the end notice of the stopped sound
// is handled before the next one is marked as playing. Any other waiting
// event (a click, a key, a page change) can run there too, nested inside the
// operation. Every operation therefore looks at its state again after a
// pump, never overwrites the id of a device that is still open, and never
// plays, stops or closes an id that an open did not return.
#pragma once

#include "model/mainframe/page_sound_device.h"
#include "platform/audio.h"

#include <string>

class CVolDoc;
class IDialogs;
class IMessagePump;
struct RunningState;

// What the page sound asks of the window that owns it.
class IPageSoundOwner {
public:
    virtual ~IPageSoundOwner() = default;
    // The sound button's face: true the play face, false the stop face.
    virtual void SetPlayButton(bool play) = 0;
    // Where the end notice of a play goes; the owner hands it to OnMciNotify
    // on the UI thread. Called once per play.
    virtual MediaNoticeSink NoticeSink() = 0;
};

class PageSound {
public:
    // Everything is borrowed and must outlive the page sound. The page sound
    // reads m_nCurPage and keeps m_bSoundPlaying of `state`.
    PageSound(RunningState& state, const CVolDoc& doc, IAudio& audio, IDialogs& dialogs,
              IMessagePump& pump, IPageSoundOwner& owner);
    // Closes the device; the sound no longer plays.
    ~PageSound();
    PageSound(const PageSound&) = delete;
    PageSound& operator=(const PageSound&) = delete;

    // Stops the page sound when one plays, otherwise starts the current
    // page's sound. An empty entry, a missing file or a type nothing here
    // plays is reported in a message box and nothing is opened or played.
    void PlayOrStopPageSound();
    // Stops the page sound if one plays; with `close` also closes its device
    // and marks it for reopening.
    void StopPageSound(bool close);
    // The end of a play (ended, stopped or failed). Notices of any device but
    // the current one are ignored.
    void OnMciNotify(MediaDeviceId device);

    // After the current page became `page` (it was `oldPage`): with wave
    // output, autoplay on and a sound entry, the old sound stops, its device
    // closes and the page's sound starts afresh; a different page marks the
    // device for reopening.
    void OnPageChanged(int page, int oldPage);

    // The open device's id, kNoMediaDevice when none is open.
    MediaDeviceId SoundDevice() const { return m_wSoundDevice.Id(); }

    int m_nSoundPage = 0;        // page whose sound was last started
    bool m_bReopenDevice = true; // close and open afresh before the next play

private:
    void StopPlayingSound();
    bool OpenSoundDevice(const std::string& name);
    void CloseSoundDevice();

    RunningState& m_state;
    const CVolDoc& m_doc;
    IAudio& m_audio;
    PageSoundDevice m_wSoundDevice;
    IDialogs& m_dialogs;
    IMessagePump& m_pump;
    IPageSoundOwner& m_owner;
};
