#include "colouring/my_image_view.h"

#include "display/picture_wnd.h"
#include "model/dialogs.h"
#include "model/volume/vol_doc.h"

#include <QMouseEvent>

#include <string>

CMyImageView::CMyImageView(CVolDoc& doc, const HostPaths& paths, IDialogs& dialogs,
                           const RunningState& state, QWidget* parent)
    : CImageView(parent), m_doc(doc), m_dialogs(dialogs), m_picture(paths, dialogs),
      m_canvas(new CPictureWnd), m_state(state) {
    AttachCanvas();
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

void CMyImageView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        ChooseBackColor();
}
