#include "mainframe/main_frame.h"

#include "colouring/my_image_view.h"
#include "controls/coloring_bar.h"
#include "controls/viewer_bar.h"
#include "framework/win_app.h"
#include "mainframe/sound_service.h"
#include "model/dialogs.h"
#include "model/resources/string_table.h"
#include "model/volume/vol_doc.h"
#include "platform/random.h"
#include "slideshow/slide_show_wnd.h"

#include <algorithm>

CMainFrame::CMainFrame(CWinApp& app, RunningState& state, CVolDoc& doc, CMyImageView& view,
                       IDialogs& dialogs, SoundService& sound)
    : CFrameWnd(app), m_state(state), m_doc(doc), m_view(view), m_dialogs(dialogs), m_sound(sound),
      m_pageSound(state, doc, sound.Audio(), dialogs, app, *this),
      m_pages(state, doc, m_pageSound, *this), m_printer(dialogs) {
    SetView(&m_view);
    // Clicks the main view gets while a show runs move the show.
    m_view.SetSlideShowClickHandler([this](int step) {
        if (m_pSlideShow)
            m_pSlideShow->Show().OnClick(step);
    });
    RegisterCommands();
    RegisterSoundCommands();
    RegisterColouringCommands();
    RegisterBarRules();
    OnUpdateFrameTitle();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::OnCreate(std::uint32_t seed) {
    m_state.m_nColor = DrawRandom(seed, 1, 29);
    CreateColoringBar();
    m_wndViewerBar = new CViewerBar(*this, this);
    m_wndViewerBar->Create();
    connect(this, &CMainFrame::PlayButtonChanged, m_wndViewerBar, &CViewerBar::SetPlayButton);
    AddBottomBar(m_wndViewerBar);
}

void CMainFrame::RegisterCommands() {
    OnCommandId(ID_FIRST_PAGE, [this] { GoToPage(1); });
    auto canGoBack = [this](CCmdUI& ui) { ui.Enable(m_pages.CanGoBack()); };
    auto canGoForward = [this](CCmdUI& ui) { ui.Enable(m_pages.CanGoForward()); };
    OnUpdateId(ID_FIRST_PAGE, canGoBack);
    OnCommandId(ID_PREV_PAGE, [this] {
        if (m_pages.CanGoBack())
            GoToPage(m_state.m_nCurPage - 1);
    });
    OnUpdateId(ID_PREV_PAGE, canGoBack);
    OnCommandId(ID_NEXT_PAGE, [this] {
        if (m_pages.CanGoForward())
            GoToPage(m_state.m_nCurPage + 1);
    });
    OnUpdateId(ID_NEXT_PAGE, canGoForward);
    OnCommandId(ID_LAST_PAGE, [this] { GoToPage(m_doc.GetPageCount()); });
    OnUpdateId(ID_LAST_PAGE, canGoForward);
    OnCommandId(ID_APP_EXIT, [this] { App().ExitApp(); });
    OnCommandId(ID_FILE_OPEN, [this] {
        if (std::optional<std::string> file = m_dialogs.OpenVolumeFile())
            App().OpenDocumentFile(*file);
    });
    OnUpdateId(ID_FILE_OPEN, [this](CCmdUI& ui) { ui.Enable(CanOpenDocuments()); });
}

void CMainFrame::SetMode(Mode mode) {
    if (mode == m_state.m_nMode)
        return;
    App().BeginWaitCursor();
    ShowModeBar(mode);
    m_state.m_nMode = mode;
    const bool ready = m_view.SetColoringMode(m_state.m_nMode) != 0;
    std::string unreadable;
    if (!ready) {
        // Colouring without the original's outlines would leave tools that
        // do nothing: back to the viewer, and say which file failed.
        unreadable = m_view.FailedOriginal();
        ShowModeBar(Mode::Viewer);
        m_state.m_nMode = Mode::Viewer;
        m_view.SetColoringMode(Mode::Viewer);
    }
    App().EndWaitCursor();
    OnUpdateCmdUI();
    if (!ready)
        m_view.Colouring().ReportPictureError(unreadable);
}

void CMainFrame::ShowModeBar(Mode mode) {
    if (m_wndViewerBar)
        m_wndViewerBar->setVisible(mode == Mode::Viewer);
    if (m_wndColoringBar)
        m_wndColoringBar->setVisible(mode == Mode::Colouring);
}

void CMainFrame::LoadPage(int page) {
    m_view.LoadPage(page);
}

void CMainFrame::SelectPage(int page) {
    if (m_wndViewerBar)
        m_wndViewerBar->SelectPage(page);
}

void CMainFrame::OnUpdateFrameTitle() {
    const std::string& title = m_doc.GetTitle();
    setWindowTitle(
        QString::fromStdString(title.empty() ? std::string(LoadString(IDS_APP_TITLE)) : title));
}

void CMainFrame::OnVolumeRead() {
    m_pages.OnVolumeRead();
    if (!m_wndViewerBar)
        return;
    m_wndViewerBar->FillPageList(true, m_doc.GetPageCount());
    m_wndViewerBar->SelectPage(1);
    m_wndViewerBar->OnUpdateCmdUI();
}

void CMainFrame::StartSlideShow(const CSlideShowInfo& info) {
    if (!m_state.m_bSoundPlaying)
        m_sound.PlayWaveResource("CLICK");
    StopPageSound(true);
    if (m_pSlideShow)
        return; // one show at a time
    auto* show = new CSlideShowWnd(info, this, App(), m_state, m_doc, m_doc.Paths(), m_dialogs,
                                   m_sound, *this, m_view.GetBackColor());
    m_pSlideShow = show;
    if (m_setDialogOwner) {
        m_setDialogOwner(show);
        connect(show, &QObject::destroyed, this, [this] {
            if (m_setDialogOwner)
                m_setDialogOwner(this);
        });
    }
    show->Show().StartShow();
}

CSlideShowWnd* CMainFrame::SlideShowWnd() const {
    return m_pSlideShow.data();
}

bool CMainFrame::OpenVolume(const std::string& name) {
    return App().OpenDocumentFile(name);
}
