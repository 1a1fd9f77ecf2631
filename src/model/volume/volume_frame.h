// What the volume document tells the main window. The window level
// implements it; the document holds a pointer that may be null (no window:
// the window's steps are skipped).
#pragma once

class CSlideShowInfo;

class IVolumeFrame {
public:
    virtual ~IVolumeFrame() = default;

    // A volume has just been read: stop and close the page sound, make page 1
    // current without loading a picture or playing a sound, and rebuild the
    // page list from scratch.
    virtual void OnVolumeRead() = 0;

    // Runs a slide show with the given settings.
    virtual void StartSlideShow(const CSlideShowInfo& info) = 0;
};
