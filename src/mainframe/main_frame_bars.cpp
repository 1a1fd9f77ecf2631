// The main window's side of the viewer bar: the update rules of the bar's
// controls, its commands and the page list's two notifications.
#include "mainframe/main_frame.h"

#include "colouring/my_image_view.h"
#include "controls/coloring_bar.h"
#include "controls/page_list_box.h"
#include "controls/viewer_bar.h"
#include "framework/win_app.h"
#include "mainframe/sound_service.h"
#include "model/volume/picture_files.h"
#include "model/volume/vol_doc.h"

#include <string>

void CMainFrame::RegisterBarRules() {
    auto hasDocument = [this](CCmdUI& ui) { ui.Enable(App().m_pDocument != nullptr); };
    OnUpdateId(ID_PAGE_LABEL, hasDocument);
    OnUpdateId(ID_PAGE_LIST, hasDocument);
    OnUpdateId(ID_PAGE_TOTAL, [this, hasDocument](CCmdUI& ui) {
        hasDocument(ui);
        ui.SetText("of " + std::to_string(m_doc.GetPageCount()));
    });
    OnUpdateId(ID_COLOUR_PAGE, [this](CCmdUI& ui) {
        ui.Enable(m_doc.CanColour() && !m_view.Picture().CurrentFileName().empty());
    });
    // A page without a picture file has no copy or original to switch to.
    OnUpdateId(ID_UPDATE_PAGE, [this](CCmdUI& ui) {
        ui.Enable((!m_doc.GetColPath().empty() || !m_doc.GetCopyDir().empty()) &&
                  HasPicturePage(m_doc, m_state.m_nCurPage));
    });
    OnUpdateId(ID_RESTORE_PAGE, [this](CCmdUI& ui) {
        ui.Enable(!m_doc.GetOrgPath().empty() && HasPicturePage(m_doc, m_state.m_nCurPage));
    });
    OnUpdateId(ID_FILE_PRINT, [this](CCmdUI& ui) {
        ui.Enable(!m_doc.GetPageFile(m_state.m_nCurPage, PageFileKind::Picture).empty());
    });
    OnUpdateId(ID_VIEWER_BAR_SELF, [](CCmdUI& ui) { ui.Enable(false); });
}

void CMainFrame::OnUpdateCmdUI() {
    if (m_wndViewerBar)
        m_wndViewerBar->OnUpdateCmdUI();
    if (m_wndColoringBar)
        m_wndColoringBar->OnUpdateCmdUI();
}

void CMainFrame::OnBarCommand(CommandId id) {
    App().RouteCommand(id);
}

ControlState CMainFrame::QueryBarControl(CommandId id) {
    return App().QueryCommand(id);
}

void CMainFrame::OnBarNotify(CommandId id, int code) {
    if (id != ID_PAGE_LIST)
        return;
    if (code == kNotifySelEndOk)
        OnPageListSelEndOk();
    else if (code == kNotifySelEndCancel)
        OnPageListSelEndCancel();
}

void CMainFrame::OnPageListSelEndOk() {
    CPageListBox* list = m_wndViewerBar->PageList();
    int page = list->currentIndex() + 1;
    list->hidePopup();
    if (page >= 1) {
        // The child hears the number before the new page appears.
        m_sound.SpeakSoundFileToEnd(std::to_string(page) + ".wav");
        if (page != m_state.m_nCurPage)
            GoToPage(page);
    }
    m_view.setFocus();
}

void CMainFrame::OnPageListSelEndCancel() {
    m_wndViewerBar->SelectPage(m_state.m_nCurPage);
    m_view.setFocus();
}
