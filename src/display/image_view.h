// The scrolling view that shows a page: the canvas centred on the background
// colour, with a margin of 4 pixels on each side when the view is too small
// and must scroll. The picture model does the loading; this class lays the
// view out around it and paints the background.
#pragma once

#include "framework/scroll_view.h"
#include "model/display/page_picture.h"
#include "model/pixel_buffer.h"

#include <string>

class CPictureWnd;

class CImageView : public CScrollView {
    Q_OBJECT
public:
    explicit CImageView(QWidget* parent = nullptr);

    virtual PagePicture& Picture() = 0;
    virtual CPictureWnd* GetPictureWnd() = 0;

    // Loads and shows a picture (see PagePicture::LoadPicture).
    virtual int LoadPicture(const std::string& name);
    virtual int SavePicture(const std::string& name) { return Picture().SavePicture(name); }
    virtual void FreePicture();

    // Scroll sizes: the picture size plus 8 in each direction whose flag is
    // set, else 0; the flags are kept for later layouts.
    void SetScrollBars(bool horizontal, bool vertical);
    // Scroll sizes, scroll position and canvas position for the picture.
    void LayoutPicture();

    // The background colour as given (0x00BBGGRR); any bits above the low 24
    // are kept, and the background is painted in the low 24 bits alone.
    ColorRef GetBackColor() const { return m_backColor; }
    void SetBackColor(ColorRef colour);

    void OnInitialUpdate() override;

protected:
    // Makes the canvas a child of the viewport; the derived view calls it
    // once its canvas exists.
    void AttachCanvas();
    void OnSize() override;
    void paintEvent(QPaintEvent* event) override;

private:
    ColorRef m_backColor = 0;
    bool m_bHorzScroll = true;
    bool m_bVertScroll = true;
    bool m_bLayingOut = false;
};
