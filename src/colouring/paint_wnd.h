// The colouring view's canvas: the picture window that, in colouring mode,
// turns the mouse into the colouring tools' calls and shows the tool's
// cursor. The tool logic is ColouringTools' (model); this window only maps
// window positions to picture pixels and repaints what the tools name.
#pragma once

#include "display/picture_wnd.h"
#include "model/colouring/colouring_tools.h"

#include <functional>

struct RunningState;

class CPaintWnd : public CPictureWnd, public IColouringCanvas {
    Q_OBJECT
public:
    // `state` is borrowed and outlives the window.
    explicit CPaintWnd(const RunningState& state, QWidget* parent = nullptr);

    // The tools the mouse goes to (borrowed; null: the mouse is ignored).
    void SetTools(ColouringTools* tools) { m_tools = tools; }
    // Called on a double click with the left button; the view decides.
    void SetDoubleClickHandler(std::function<void()> handler) {
        m_onDoubleClick = std::move(handler);
    }

    // Shows the cursor of the current tool and size in colouring mode, the
    // default cursor otherwise.
    void RefreshCursor();

    // IColouringCanvas. The mouse stays with the canvas from a press to its
    // release (the toolkit's implicit grab), so capturing needs no call.
    void RepaintPicture(const PixelRect& rect) override;
    void CaptureMouse() override {}
    void ReleaseMouse() override {}

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The second press of a double click arrives only as this event, so a
    // fast double click never fills or dots twice.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const RunningState& m_state;
    ColouringTools* m_tools = nullptr;
    std::function<void()> m_onDoubleClick;
};
