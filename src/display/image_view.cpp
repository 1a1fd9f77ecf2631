#include "display/image_view.h"

#include "display/picture_wnd.h"

#include <QPaintEvent>
#include <QPainter>

CImageView::CImageView(QWidget* parent) : CScrollView(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void CImageView::AttachCanvas() {
    CPictureWnd* canvas = GetPictureWnd();
    canvas->setParent(viewport());
    canvas->setGeometry(0, 0, 0, 0);
    canvas->hide();
}

void CImageView::SetBackColor(ColorRef colour) {
    // Kept whole: the value is written back to the volume as it was read,
    // and only painting looks at its colour bytes.
    m_backColor = colour;
    viewport()->update();
}

void CImageView::OnInitialUpdate() {
    SetScrollSizes(QSize(0, 0));
}

int CImageView::LoadPicture(const std::string& name) {
    CPictureWnd* canvas = GetPictureWnd();
    canvas->hide();
    canvas->SetPicture(nullptr);
    viewport()->repaint();
    int result = Picture().LoadPicture(name);
    if (!Picture().HasPicture()) {
        SetScrollSizes(QSize(0, 0));
        return result;
    }
    LayoutPicture();
    canvas->SetPicture(&Picture().Buffer());
    // Show the canvas in one step: first without its border, then whole.
    canvas->m_bPaintBorder = false;
    canvas->show();
    canvas->m_bPaintBorder = true;
    canvas->repaint();
    return result;
}

void CImageView::FreePicture() {
    GetPictureWnd()->SetPicture(nullptr);
    GetPictureWnd()->hide();
    Picture().FreePicture();
}

void CImageView::SetScrollBars(bool horizontal, bool vertical) {
    const PagePicture& p = Picture();
    int w = horizontal ? p.Width() + 8 : 0;
    int h = vertical ? p.Height() + 8 : 0;
    m_bLayingOut = true;
    SetScrollSizes(QSize(w, h));
    m_bLayingOut = false;
    m_bHorzScroll = horizontal;
    m_bVertScroll = vertical;
}

void CImageView::LayoutPicture() {
    SetScrollBars(m_bHorzScroll, m_bVertScroll);
    const int width = Picture().Width();
    const int height = Picture().Height();
    const QSize client = ClientSize();
    const int W = client.width();
    const int H = client.height();
    const int x0 = W / 2 - width / 2;
    const int y0 = H / 2 - height / 2;
    m_bLayingOut = true;
    ScrollToPosition(QPoint((width + 8) / 2 - W / 2, (height + 8) / 2 - H / 2));
    m_bLayingOut = false;
    GetPictureWnd()->setGeometry(x0, y0, width, height);
    GetPictureWnd()->update();
    viewport()->update();
}

void CImageView::OnSize() {
    if (m_bLayingOut || window()->isMinimized() || !Picture().HasPicture())
        return;
    LayoutPicture();
}

void CImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    Pixel p = ColorRefToPixel(m_backColor);
    painter.fillRect(event->rect(), QColor(PixelRed(p), PixelGreen(p), PixelBlue(p)));
}
