#include "colouring/my_image_view.h"

#include "colouring/paint_wnd.h"
#include "model/dialogs.h"
#include "model/volume/vol_doc.h"

#include <QMouseEvent>

#include <string>

CMyImageView::CMyImageView(CVolDoc& doc, const HostPaths& paths, IDialogs& dialogs,
                           const RunningState& state, IMessagePump& pump, IEffectSounds& sounds,
                           QWidget* parent)
    : CImageView(parent), m_doc(doc), m_paths(paths), m_dialogs(dialogs), m_picture(paths, dialogs),
      m_canvas(new CPaintWnd(state)), m_state(state), m_tools(state, pump, sounds, *m_canvas) {
    m_canvas->SetTools(&m_tools);
    AttachCanvas();
}

CMyImageView::~CMyImageView() {
    // The canvas is a child widget and goes after this destructor; it must
    // not reach the tools then.
    m_canvas->SetTools(nullptr);
}

CPictureWnd* CMyImageView::GetPictureWnd() {
    return m_canvas;
}

int CMyImageView::SetColoringMode(Mode mode) {
    m_nColoringMode = mode;
    m_failedOriginal.clear();
    int result = 1;
    if (mode == Mode::Colouring) {
        if (!m_tools.Enter(m_picture.Buffer(), m_doc, m_paths, m_state.m_nCurPage,
                           &m_failedOriginal))
            result = 0;
        else
            m_failedOriginal.clear();
    } else {
        m_tools.Leave();
    }
    m_canvas->RefreshCursor();
    return result;
}

void CMyImageView::SetCanvasDoubleClickHandler(std::function<void()> handler) {
    m_canvas->SetDoubleClickHandler(std::move(handler));
}

int CMyImageView::LoadPage(int n) {
    return LoadPicture(m_picture.PageFile(m_doc, n));
}

void CMyImageView::OnInitialUpdate() {
    CImageView::OnInitialUpdate();
    SetBackColor(m_doc.GetBackColor());
    LoadPage(1);
}

void CMyImageView::ChooseBackColor() {
    if (m_state.g_bSlideShowRunning)
        return;
    if (std::optional<std::uint32_t> chosen = m_dialogs.ChooseColor(GetBackColor())) {
        SetBackColor(*chosen);
        m_doc.SetBackColor(GetBackColor());
    }
    // Written whether confirmed or cancelled; a read-only volume fails silently.
    m_doc.WriteVolumeKey("Options", "BackColor", std::to_string(GetBackColor()));
}

void CMyImageView::mousePressEvent(QMouseEvent* event) {
    if (m_state.g_bSlideShowRunning && m_onShowClick) {
        if (event->button() == Qt::LeftButton)
            m_onShowClick(+1);
        else if (event->button() == Qt::RightButton)
            m_onShowClick(-1);
    }
    event->accept();
}

void CMyImageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        ChooseBackColor();
}
