// The program's one top-level window: it owns the running state the other
// parts read (current page, mode, tool, colour, brush size, page sound),
// switches modes, moves between pages, handles the navigation commands and
// holds the viewer bar along its bottom edge.
#pragma once

#include "controls/bar_owner.h"
#include "framework/frame_wnd.h"
#include "model/resources/command_ids.h"
#include "model/volume/volume_frame.h"
#include "platform/audio.h"

#include <string>

class CMyImageView;
class CViewerBar;
class CVolDoc;
class CWinApp;
class IDialogs;
class SoundService;

// While 1, every page change starts the new page's sound (GoToPage).
extern int g_bPageSoundAutoPlay;

class CMainFrame : public CFrameWnd, public IVolumeFrame, public IBarOwner {
    Q_OBJECT
public:
    // Everything is borrowed; the view becomes a child of the frame.
    CMainFrame(CWinApp& app, CVolDoc& doc, CMyImageView& view, IDialogs& dialogs,
               SoundService& sound);
    // Closes the page-sound device.
    ~CMainFrame() override;

    // Picks the random starting colour (1..29, never white) from a seed and
    // puts the viewer bar along the bottom edge. False when the bar cannot be
    // made.
    bool OnCreate(std::uint32_t seed);

    // Switches to viewer (0) or colouring (1); the same mode again does nothing.
    void SetMode(int mode);
    // Makes a page current, clamped to 1..page count, and loads it (also when
    // it is already current); the page list shows it. With autoplay and wave
    // output, the page's sound starts on a freshly opened device.
    void GoToPage(int page);

    // The page sound (main_frame_sound.cpp). Stops the page sound when one
    // plays, otherwise starts the current page's sound; a missing entry,
    // missing file or unplayable type is reported in a message box.
    void PlayOrStopPageSound();
    // Stops the page sound if one plays; with `close` also closes its device.
    void StopPageSound(bool close);
    // The end of a play on a media device (ended, stopped or failed); notices
    // of any device but the page sound's own are ignored.
    void OnMciNotify(MediaDeviceId device);
    // The tip of a control (the first line of its prompt string, empty when
    // it has none); speaks the sound file on the prompt's second line.
    std::string OnNeedToolTipText(CommandId id) override;
    SoundService& GetSoundService() { return m_sound; }

    void OnUpdateFrameTitle() override;
    // Refreshes the visible bar's controls from the update rules.
    void OnUpdateCmdUI() override;

    // The viewer bar (main_frame_bars.cpp); it exists once OnCreate succeeded.
    CViewerBar& ViewerBar() { return *m_wndViewerBar; }
    // The page list's choice: speaks the chosen page number to its end, then
    // goes to that page unless it is the current one; the view gets the keys.
    void OnPageListSelEndOk();
    // The page list closed without a choice: it shows the current page again;
    // the view gets the keys.
    void OnPageListSelEndCancel();

    // IBarOwner (and OnNeedToolTipText above)
    void OnBarCommand(CommandId id) override;
    void OnBarNotify(CommandId id, int code) override;
    ControlState QueryBarControl(CommandId id) override;

    // IVolumeFrame
    int GetCurPage() const override { return m_nCurPage; }
    int GetMode() const override { return m_nMode; }
    bool IsSlideShowRunning() const override;
    void DestroyOwnKeyTable() override {}
    void OnVolumeRead() override;
    void StartSlideShow(const CSlideShowInfo& info) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    int m_nSoundPage = 0;
    int m_bSoundPlaying = 0;
    MediaDeviceId m_wSoundDevice = kNoMediaDevice;
    int m_nMode = 0;
    int m_nTool = 0;
    int m_nColor = 1;
    int m_nBrushSize = 1;
    int m_nCurPage = 1;
    int m_bReopenDevice = 1;

    // Slide shows started (the slide-show window arrives later; until then a
    // start is only recorded here).
    int m_nSlideShowsStarted = 0;

signals:
    // The sound button's face: true the play face, false the stop face.
    void PlayButtonChanged(bool play);

protected:
    void customEvent(QEvent* event) override;

private:
    void RegisterCommands();
    void RegisterSoundCommands();
    void RegisterBarRules();
    void SetPlayButton(bool play);
    // Sends stop to the playing page sound and handles what was waiting.
    void StopPlayingSound();
    // Opens a device for the page's sound file; false when it cannot.
    bool OpenSoundDevice(const std::string& name);
    // Closes the page-sound device, if one is open; a sound playing on it ends.
    void CloseSoundDevice();

    CVolDoc& m_doc;
    CMyImageView& m_view;
    IDialogs& m_dialogs;
    SoundService& m_sound;
    CViewerBar* m_wndViewerBar = nullptr; // a child of the frame
};
