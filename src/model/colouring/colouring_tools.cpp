#include "model/colouring/colouring_tools.h"

#include "model/controls/color_table.h"
#include "model/display/dib.h"
#include "model/effect_sounds.h"
#include "model/message_pump.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"

ColouringTools::ColouringTools(const RunningState& state, IMessagePump& pump, IEffectSounds& sounds,
                               IColouringCanvas& canvas)
    : m_state(state), m_pump(pump), m_sounds(sounds), m_canvas(canvas) {}

bool ColouringTools::Enter(PixelBuffer& picture, const CVolDoc& doc, const HostPaths& paths,
                           int page, std::string* original) {
    Leave();
    const std::string name = doc.GetOriginalPath(page);
    if (original)
        *original = name;
    std::optional<std::filesystem::path> file = paths.Resolve(name);
    DibHandle dib = file ? LoadDIB(*file) : nullptr;
    if (!dib)
        return false;
    PixelBuffer lineArt = DIBToBitmap(*dib);
    DestroyDIB(dib);
    if (!m_engine.EnterColouring(picture, std::move(lineArt)))
        return false;
    m_picture = &picture;
    return true;
}

void ColouringTools::Leave() {
    if (m_capture) {
        m_capture = false;
        m_canvas.ReleaseMouse();
    }
    m_engine.LeaveColouring();
    m_picture = nullptr;
}

bool ColouringTools::ColouringNow() const {
    return m_state.m_nMode == Mode::Colouring && IsColouring();
}

Pixel ColouringTools::DrawingColour() const {
    return ColorTablePixel(m_state.m_nColor);
}

int ColouringTools::Radius() const {
    return PixelEngine::BrushRadius(m_state.m_nBrushSize);
}

bool ColouringTools::OnLButtonDown(int x, int y) {
    if (m_state.m_nMode != Mode::Colouring)
        return false;
    // Without a line mask (the original could not be read) the tools ignore
    // the mouse: no drawing, no sound, no undo step.
    if (!IsColouring())
        return true;
    PixelBuffer& picture = *m_picture;
    const Tool tool = m_state.m_nTool;
    switch (tool) {
    case Tool::Fill: {
        const FillResult fill = m_engine.Fill(picture, x, y, DrawingColour());
        if (fill.status == FillStatus::RefusedOnOutline) {
            m_sounds.PlayEffect("COOCOO");
            return true;
        }
        m_canvas.RepaintPicture(fill.changed);
        break;
    }
    case Tool::Brush:
        m_capture = true;
        m_operationTool = tool;
        m_canvas.CaptureMouse();
        m_canvas.RepaintPicture(m_engine.PaintDot(picture, x, y, Radius(), DrawingColour()));
        break;
    case Tool::Line:
        m_capture = true;
        m_operationTool = tool;
        m_canvas.CaptureMouse();
        m_engine.StartLine(picture, x, y, Radius());
        break;
    }
    // The canvas shows the press's result before the splash plays to its end;
    // moves and a release already waiting run now, nested.
    m_pump.PumpPendingMessages();
    m_sounds.PlaySplashSound();
    return true;
}

void ColouringTools::OnMouseMove(int x, int y) {
    if (!m_capture || !ColouringNow())
        return;
    PixelBuffer& picture = *m_picture;
    if (m_operationTool == Tool::Brush)
        m_canvas.RepaintPicture(
            m_engine.PaintStrokeSegment(picture, x, y, Radius(), DrawingColour()));
    else if (m_operationTool == Tool::Line)
        m_canvas.RepaintPicture(
            m_engine.DrawRubberBandLine(picture, x, y, Radius(), DrawingColour()));
}

void ColouringTools::OnLButtonUp(int, int) {
    if (!m_capture || !ColouringNow())
        return;
    m_capture = false;
    m_canvas.ReleaseMouse();
    const PixelRect rect = m_engine.EndBrushOrLine(*m_picture);
    if (m_operationTool != Tool::Line)
        return;
    // The line keeps the end of the last move; the release point is not drawn to.
    m_canvas.RepaintPicture(rect);
    m_pump.PumpPendingMessages();
    m_sounds.PlaySplashSound();
}

void ColouringTools::Undo() {
    if (!IsColouring())
        return;
    if (m_capture) {
        m_capture = false;
        m_canvas.ReleaseMouse();
    }
    m_canvas.RepaintPicture(m_engine.Undo(*m_picture));
}
