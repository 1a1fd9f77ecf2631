// The program's one top-level window: it owns the running state the other
// parts read (current page, mode, tool, colour, brush size, page sound),
// switches modes, moves between pages and handles the navigation commands.
#pragma once

#include "framework/frame_wnd.h"
#include "volume/volume_frame.h"

class CMyImageView;
class CVolDoc;
class CWinApp;
class IDialogs;

class CMainFrame : public CFrameWnd, public IVolumeFrame {
    Q_OBJECT
public:
    // Everything is borrowed; the view becomes a child of the frame.
    CMainFrame(CWinApp& app, CVolDoc& doc, CMyImageView& view, IDialogs& dialogs);

    // Picks the random starting colour (1..29, never white) from a seed.
    void OnCreate(std::uint32_t seed);

    // Switches to viewer (0) or colouring (1); the same mode again does nothing.
    void SetMode(int mode);
    // Makes a page current, clamped to 1..page count, and loads it (also when
    // it is already current).
    void GoToPage(int page);

    void OnUpdateFrameTitle() override;

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
    int m_nMode = 0;
    int m_nTool = 0;
    int m_nColor = 1;
    int m_nBrushSize = 1;
    int m_nCurPage = 1;
    int m_bReopenDevice = 1;

    // Slide shows started (the slide-show window arrives later; until then a
    // start is only recorded here).
    int m_nSlideShowsStarted = 0;

private:
    void RegisterCommands();

    CVolDoc& m_doc;
    CMyImageView& m_view;
    IDialogs& m_dialogs;
};
