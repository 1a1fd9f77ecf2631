// The main window in colouring mode: the colouring bar with its palette, the
// commands of the tools, sizes, Undo and Done; the picture commands (Done,
// show the coloured picture, restore the original) and what they ask of the
// window.
#include "mainframe/main_frame.h"

#include "colouring/my_image_view.h"
#include "colouring/paint_wnd.h"
#include "controls/coloring_bar.h"
#include "framework/win_app.h"
#include "mainframe/sound_service.h"
#include "model/volume/picture_files.h"
#include "model/volume/vol_doc.h"

void CMainFrame::CreateColoringBar() {
    m_wndColoringBar = new CColoringBar(
        *this, this, m_state, [this](std::string_view file) { m_sound.SpeakSoundFile(file); });
    m_wndColoringBar->Create();
    m_wndColoringBar->hide();
    AddBottomBar(m_wndColoringBar);
    // The starting colour shows selected, without a sound.
    m_wndColoringBar->Palette()->SetCurrentIndex(m_state.m_nColor);
    // The wells show the palette the main view works out for each page; the
    // palette window keeps its own copy of it.
    m_view.Colouring().SetPaletteHook(
        [this](const LogPalette& palette) { m_wndColoringBar->Palette()->SetPalette(palette); });
    m_view.SetCanvasDoubleClickHandler([this] { OnCanvasDoubleClick(); });
}

void CMainFrame::RegisterColouringCommands() {
    OnCommandId(ID_COLOUR_PAGE, [this] {
        App().BeginWaitCursor();
        m_sound.PlayWaveResource();
        SetMode(Mode::Colouring);
        App().EndWaitCursor();
    });
    const std::pair<CommandId, Tool> tools[] = {
        {ID_TOOL_FILL, Tool::Fill}, {ID_TOOL_BRUSH, Tool::Brush}, {ID_TOOL_LINE, Tool::Line}};
    for (auto [id, tool] : tools) {
        OnCommandId(id, [this, tool] { SelectTool(tool); });
        OnUpdateId(id, [this, tool](CCmdUI& ui) {
            ui.Enable(true);
            ui.SetRadio(m_state.m_nTool == tool);
        });
    }
    const std::pair<CommandId, int> sizes[] = {
        {ID_BRUSH_SMALL, 0}, {ID_BRUSH_MEDIUM, 1}, {ID_BRUSH_LARGE, 2}};
    for (auto [id, size] : sizes) {
        OnCommandId(id, [this, size] {
            m_state.m_nBrushSize = size;
            m_view.GetPaintWnd()->RefreshCursor();
        });
        OnUpdateId(id, [this, size](CCmdUI& ui) {
            ui.Enable(true);
            ui.SetRadio(m_state.m_nBrushSize == size);
        });
    }
    OnCommandId(ID_UNDO, [this] {
        App().BeginWaitCursor();
        m_view.Undo();
        m_sound.PlayWaveResource("COOCOO");
        App().EndWaitCursor();
    });
    OnUpdateId(ID_UNDO, [this](CCmdUI& ui) { ui.Enable(m_view.GetUndoCount() > 0); });
    OnCommandId(ID_DONE, [this] {
        KeepColouredPicture(m_doc, m_state.m_nCurPage, *this, m_dialogs, &App());
    });
    // Printing shows the page as last read from its file (Ctrl+P as well).
    OnCommandId(ID_FILE_PRINT,
                [this] { m_printer.OnFilePrint(m_view.Picture(), m_state, m_sound, &App()); });
    OnCommandId(ID_UPDATE_PAGE, [this] {
        ShowColouredPicture(m_doc, m_state.m_nCurPage, *this, m_state.m_bSoundPlaying);
    });
    OnCommandId(ID_RESTORE_PAGE, [this] {
        RestoreOriginalPicture(m_doc, m_state.m_nCurPage, *this, m_state.m_bSoundPlaying);
    });
}

void CMainFrame::SelectTool(Tool tool) {
    m_state.m_nTool = tool;
    m_view.GetPaintWnd()->RefreshCursor();
    // The button shows pushed in before the splash plays to its end.
    App().PumpPendingMessages();
    m_sound.PlaySplashSound();
}

void CMainFrame::OnCanvasDoubleClick() {
    // A double click on the picture colours the page as "Color this page"
    // would, but only where that button could be pressed: in the viewer,
    // with no show running, on a page that can be coloured.
    if (m_state.m_nMode != Mode::Viewer || m_state.g_bSlideShowRunning)
        return;
    if (!App().QueryCommand(ID_COLOUR_PAGE).enabled)
        return;
    SetMode(Mode::Colouring);
}

bool CMainFrame::CanOpenDocuments() const {
    // A volume opened under the tools would reload page 1 and lose the colouring.
    return m_state.m_nMode == Mode::Viewer;
}

void CMainFrame::PlayEffect(std::string_view waveName) {
    m_sound.PlayWaveResource(waveName);
}

int CMainFrame::SavePicture(const std::string& storedPath) {
    return m_view.SavePicture(storedPath);
}

void CMainFrame::LoadPicture(const std::string& storedPath) {
    m_view.LoadPicture(storedPath);
}

void CMainFrame::SetViewerMode() {
    SetMode(Mode::Viewer);
}
