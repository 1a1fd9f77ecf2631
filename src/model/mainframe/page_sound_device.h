// One media device that plays a page's sound file: the main window's page
// sound and the slide show each keep one. It never plays, stops, pauses or
// closes an id that an open did not return, so a failed open or a device
// already closed can never reach another player's device.
#pragma once

#include "platform/audio.h"

#include <filesystem>
#include <string>

class CVolDoc;
class IDialogs;

class PageSoundDevice {
public:
    // `audio` is borrowed and must outlive the device.
    explicit PageSoundDevice(IAudio& audio) : m_audio(audio) {}
    // Closes the device.
    ~PageSoundDevice() { Close(); }
    PageSoundDevice(const PageSoundDevice&) = delete;
    PageSoundDevice& operator=(const PageSoundDevice&) = delete;

    // Opens a device for the host file. False, with no device open, when it
    // cannot be opened. A device already open must be closed first.
    bool Open(const std::filesystem::path& file);
    bool IsOpen() const { return m_id != kNoMediaDevice; }
    MediaDeviceId Id() const { return m_id; }

    // Plays from the beginning; the play's one end notice goes to `sink`.
    // False when no device is open or the play did not start.
    bool Play(MediaNoticeSink sink);
    // Each does nothing without an open device.
    void Stop();
    void Pause();
    void Resume();
    // Closes the device; its sink is never called again.
    void Close();

private:
    IAudio& m_audio;
    MediaDeviceId m_id = kNoMediaDevice;
};

// Whether the sound entry `name` (already in capitals) can be played here;
// when it cannot, the child's grown-up is told why: "Cannot find file: ..."
// for a missing file, "... Unsupported sound file type." for a type nothing
// here plays. True when it can be played.
bool CheckPageSoundFile(const CVolDoc& doc, const std::string& name, IDialogs& dialogs);

// "%1\nUnsupported sound file type." for `name`.
void ReportUnsupportedSound(const std::string& name, IDialogs& dialogs);
