// What the volume document asks of the main window. The window level
// implements it; the document holds a pointer that may be null (no window:
// page 1, viewer mode, no slide show, and the window's steps are skipped).
#pragma once

class CSlideShowInfo;

class IVolumeFrame {
public:
    virtual ~IVolumeFrame() = default;

    virtual int GetCurPage() const = 0;          // the main window's current page
    virtual int GetMode() const = 0;             // 0 viewer, otherwise colouring
    virtual bool IsSlideShowRunning() const = 0; // a slide-show window is up

    // Drops the main window's own key table, if it holds one.
    virtual void DestroyOwnKeyTable() = 0;

    // A volume has just been read: rebuild the page list from scratch, select
    // its first entry, refresh the bar's enabled states and make page 1
    // current without loading a picture or playing a sound.
    virtual void OnVolumeRead() = 0;

    // Runs a slide show with the given settings.
    virtual void StartSlideShow(const CSlideShowInfo& info) = 0;

    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};
