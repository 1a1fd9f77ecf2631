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
    // Nothing is repainted or freed before the decode: the new picture goes
    // into the buffer the canvas shows, and the canvas is repainted once.
    const int result = Picture().ReadPicture(name);
    if (!Picture().HasPicture()) {
        canvas->hide();
        canvas->SetPicture(nullptr);
        SetScrollSizes(QSize(0, 0));
        if (!result) {
            // The empty view is on screen before the message about it.
            viewport()->repaint();
            Picture().ReportPictureError(name);
        }
        return result;
    }
    const bool shown = !canvas->isHidden();
    LayoutPicture();
    canvas->SetPicture(&Picture().Buffer());
    if (!shown) {
        // Show the canvas in one step: first without its border, then whole.
        canvas->m_bPaintBorder = false;
        canvas->show();
        canvas->m_bPaintBorder = true;
    }
    // At once, so a page appears before its sound starts.
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
    // Moving or resizing the canvas makes the toolkit repaint what it uncovers
    // and what it newly covers; the rest of the view stays as it is.
    GetPictureWnd()->setGeometry(x0, y0, width, height);
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
