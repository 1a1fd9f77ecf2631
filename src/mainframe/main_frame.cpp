#include "mainframe/main_frame.h"

#include "colouring/my_image_view.h"
#include "controls/viewer_bar.h"
#include "framework/win_app.h"
#include "mainframe/sound_service.h"
#include "model/dialogs.h"
#include "model/resources/string_table.h"
#include "model/slideshow/slide_show_running.h"
#include "model/volume/vol_doc.h"
#include "platform/random.h"

#include <algorithm>

int g_bPageSoundAutoPlay = 1;

CMainFrame::CMainFrame(CWinApp& app, CVolDoc& doc, CMyImageView& view, IDialogs& dialogs,
                       SoundService& sound)
    : CFrameWnd(app), m_doc(doc), m_view(view), m_dialogs(dialogs), m_sound(sound) {
    SetView(&m_view);
    RegisterCommands();
    RegisterSoundCommands();
    RegisterBarRules();
    OnUpdateFrameTitle();
}

CMainFrame::~CMainFrame() {
    CloseSoundDevice();
}

bool CMainFrame::OnCreate(std::uint32_t seed) {
    m_nColor = DrawRandom(seed, 1, 29);
    m_wndViewerBar = new CViewerBar(*this, this);
    if (!m_wndViewerBar->Create())
        return false;
    connect(this, &CMainFrame::PlayButtonChanged, m_wndViewerBar, &CViewerBar::SetPlayButton);
    AddBottomBar(m_wndViewerBar);
    return true;
}

void CMainFrame::RegisterCommands() {
    OnCommandId(ID_FIRST_PAGE, [this] { GoToPage(1); });
    OnUpdateId(ID_FIRST_PAGE, [this](CCmdUI& ui) { ui.Enable(m_nCurPage > 1); });
    OnCommandId(ID_PREV_PAGE, [this] {
        if (m_nCurPage > 1)
            GoToPage(m_nCurPage - 1);
    });
    OnUpdateId(ID_PREV_PAGE, [this](CCmdUI& ui) { ui.Enable(m_nCurPage > 1); });
    OnCommandId(ID_NEXT_PAGE, [this] {
        if (m_doc.GetPageCount() > m_nCurPage)
            GoToPage(m_nCurPage + 1);
    });
    OnUpdateId(ID_NEXT_PAGE, [this](CCmdUI& ui) { ui.Enable(m_doc.GetPageCount() > m_nCurPage); });
    OnCommandId(ID_LAST_PAGE, [this] { GoToPage(m_doc.GetPageCount()); });
    OnUpdateId(ID_LAST_PAGE, [this](CCmdUI& ui) { ui.Enable(m_doc.GetPageCount() > m_nCurPage); });
    OnCommandId(ID_APP_EXIT, [this] { App().ExitApp(); });
    OnCommandId(ID_FILE_OPEN, [this] {
        if (std::optional<std::string> file = m_dialogs.OpenVolumeFile())
            App().OpenDocumentFile(*file);
    });
}

void CMainFrame::SetMode(int mode) {
    if (mode == m_nMode)
        return;
    BeginWaitCursor();
    // The colouring bar arrives with its own window; until then colouring
    // mode shows no bar.
    if (mode == 0 || mode == 1) {
        if (m_wndViewerBar)
            m_wndViewerBar->setVisible(mode == 0);
        m_nMode = mode;
    }
    m_view.SetColoringMode(m_nMode);
    EndWaitCursor();
}

void CMainFrame::GoToPage(int page) {
    page = std::clamp(page, 1, std::max(1, m_doc.GetPageCount()));
    int old = m_nCurPage;
    m_nCurPage = page;
    m_view.LoadPage(page);
    if (m_wndViewerBar)
        m_wndViewerBar->SelectPage(page);
    if (m_sound.Devices().WaveOutCount() > 0) {
        std::string entry = m_doc.GetPageFile(page, Sound);
        if (g_bPageSoundAutoPlay == 1 && !entry.empty()) {
            StopPageSound(true);
            // Stopping handles the events waiting meanwhile; a page change
            // among them has already dealt with the sound of its own page.
            if (m_nCurPage == page)
                PlayOrStopPageSound();
        }
    }
    if (page != old)
        m_bReopenDevice = 1;
}

void CMainFrame::OnUpdateFrameTitle() {
    const std::string& title = m_doc.GetTitle();
    setWindowTitle(
        QString::fromStdString(title.empty() ? std::string(LoadString(IDS_APP_TITLE)) : title));
}

bool CMainFrame::IsSlideShowRunning() const {
    return g_bSlideShowRunning != 0;
}

void CMainFrame::OnVolumeRead() {
    m_nCurPage = 1;
    if (!m_wndViewerBar)
        return;
    m_wndViewerBar->FillPageList(true, m_doc.GetPageCount());
    m_wndViewerBar->SelectPage(1);
    m_wndViewerBar->OnUpdateCmdUI();
}

void CMainFrame::StartSlideShow(const CSlideShowInfo&) {
    if (!m_bSoundPlaying)
        m_sound.PlayWaveResource("CLICK");
    StopPageSound(true);
    ++m_nSlideShowsStarted;
}

void CMainFrame::BeginWaitCursor() {
    App().BeginWaitCursor();
}

void CMainFrame::EndWaitCursor() {
    App().EndWaitCursor();
}
