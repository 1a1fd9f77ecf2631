// The program's one top-level window: the Qt shell over the running state
// (model/mainframe/running_state.h). It switches modes, turns pages through
// the page navigator, plays the page sound through its controller, handles
// the navigation commands and holds the viewer bar along its bottom edge.
#pragma once

#include "colouring/page_printer.h"
#include "controls/bar_owner.h"
#include "framework/frame_wnd.h"
#include "model/mainframe/page_navigator.h"
#include "model/mainframe/page_sound.h"
#include "model/mainframe/running_state.h"
#include "model/resources/command_ids.h"
#include "model/slideshow/slide_show.h"
#include "model/volume/picture_files.h"
#include "model/volume/volume_frame.h"

#include <QPointer>

#include <functional>
#include <string>

class CColoringBar;
class CMyImageView;
class CSlideShowWnd;
class CViewerBar;
class CVolDoc;
class CWinApp;
class IDialogs;
class SoundService;

class CMainFrame : public CFrameWnd,
                   public IVolumeFrame,
                   public IBarOwner,
                   private IPageSoundOwner,
                   private IPageDisplay,
                   private IPictureOwner,
                   private ISlideShowOwner {
    Q_OBJECT
public:
    // Everything is borrowed; the view becomes a child of the frame.
    CMainFrame(CWinApp& app, RunningState& state, CVolDoc& doc, CMyImageView& view,
               IDialogs& dialogs, SoundService& sound);
    // Closes the page-sound device.
    ~CMainFrame() override;

    // Picks the random starting colour (1..29, never white) from a seed and
    // puts the colouring bar (hidden, its palette showing that colour) and
    // the viewer bar along the bottom edge.
    void OnCreate(std::uint32_t seed);

    // Switches to viewer or colouring mode, showing that mode's bar; the same
    // mode again does nothing. When colouring cannot start because the page's
    // original cannot be read, the window stays in viewer mode and says which
    // file it could not read.
    void SetMode(Mode mode);
    // Makes a page current (PageNavigator::GoToPage).
    void GoToPage(int page) override { m_pages.GoToPage(page); }

    // The page sound (PageSound).
    void PlayOrStopPageSound() { m_pageSound.PlayOrStopPageSound(); }
    void StopPageSound(bool close) { m_pageSound.StopPageSound(close); }
    void OnMciNotify(MediaDeviceId device) { m_pageSound.OnMciNotify(device); }
    const PageSound& GetPageSound() const { return m_pageSound; }

    // The tip of a control (the first line of its prompt string, empty when
    // it has none); speaks the sound file on the prompt's second line.
    std::string OnNeedToolTipText(CommandId id) override;
    SoundService& GetSoundService() { return m_sound; }
    RunningState& State() { return m_state; }

    void OnUpdateFrameTitle() override;
    // Refreshes the visible bar's controls from the update rules.
    void OnUpdateCmdUI() override;

    // The bars; they exist once OnCreate has run.
    CViewerBar& ViewerBar() { return *m_wndViewerBar; }
    CColoringBar& ColoringBar() { return *m_wndColoringBar; }
    CPagePrinter& Printer() { return m_printer; }
    // Drops and opens are refused while colouring.
    bool CanOpenDocuments() const override;
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
    void OnVolumeRead() override;
    // Plays "click" unless a page sound plays, stops and closes the page
    // sound, and runs a show of a copy of `info` in its own full-screen window.
    void StartSlideShow(const CSlideShowInfo& info) override;
    // The show's window while a show runs, else null.
    CSlideShowWnd* SlideShowWnd() const;
    // Where modal dialogs are parented: the show's window while it is up, so
    // they appear above it; the main window otherwise.
    void SetDialogOwnerHook(std::function<void(QWidget*)> hook) {
        m_setDialogOwner = std::move(hook);
    }

signals:
    // The sound button's face: true the play face, false the stop face.
    void PlayButtonChanged(bool play);

protected:
    void customEvent(QEvent* event) override;

private:
    // IPageSoundOwner
    void SetPlayButton(bool play) override;
    MediaNoticeSink NoticeSink() override;
    // IPageDisplay (LoadPage also for IPictureOwner)
    void LoadPage(int page) override;
    void SelectPage(int page) override;
    // IPictureOwner (main_frame_colouring.cpp)
    void PlayEffect(std::string_view waveName) override;
    int SavePicture(const std::string& storedPath) override;
    void LoadPicture(const std::string& storedPath) override;
    void SetViewerMode() override;
    // ISlideShowOwner (and GoToPage above)
    bool OpenVolume(const std::string& name) override;

    void ShowModeBar(Mode mode);
    void CreateColoringBar();
    void RegisterColouringCommands();
    void SelectTool(Tool tool);
    void OnCanvasDoubleClick();

    void RegisterCommands();
    void RegisterSoundCommands();
    void RegisterBarRules();

    RunningState& m_state;
    CVolDoc& m_doc;
    CMyImageView& m_view;
    IDialogs& m_dialogs;
    SoundService& m_sound;
    PageSound m_pageSound;
    PageNavigator m_pages;
    CPagePrinter m_printer;
    CViewerBar* m_wndViewerBar = nullptr;     // a child of the frame
    CColoringBar* m_wndColoringBar = nullptr; // a child of the frame
    QPointer<CSlideShowWnd> m_pSlideShow;     // destroys itself when its show ends
    std::function<void(QWidget*)> m_setDialogOwner;
};
