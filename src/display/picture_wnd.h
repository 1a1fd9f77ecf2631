// The canvas: a child window of the image view with a one-pixel border that
// shows the picture buffer. Its outer size, border included, is the picture
// size; the client area starts inside the border, so picture pixel (0, 0) is
// the client's (0, 0) and the last two columns and rows lie under the border.
#pragma once

#include "framework/wnd.h"
#include "model/pixel_buffer.h"

class CPictureWnd : public CWnd {
    Q_OBJECT
public:
    explicit CPictureWnd(QWidget* parent = nullptr);

    // The buffer to show (borrowed; null shows nothing). The caller repaints.
    void SetPicture(const PixelBuffer* buffer) { m_picture = buffer; }
    const PixelBuffer* Picture() const { return m_picture; }

    // A point of the canvas window in picture (client) coordinates.
    static QPoint ToPicture(QPoint windowPos) { return windowPos - QPoint(1, 1); }

    // While cleared, the border is not drawn (the view clears it while it
    // shows the canvas after a load, so the canvas appears in one step).
    bool m_bPaintBorder = true;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const PixelBuffer* m_picture = nullptr;
};
