// The colouring tools from the press of the mouse button to its release:
// which tool does what, which rectangle of the canvas is repainted, when the
// waiting events are dispatched and which sound plays. The canvas widget
// turns its mouse events into these calls; the pixel work is the engine's.
//
// Re-entrancy: a press (every tool) and the line tool's release dispatch the
// waiting events before their splash sound, so queued moves and even the
// release run nested inside them. Everything those nested calls need (the
// capture, the running operation in the engine) is set before the pump.
#pragma once

#include "model/colouring/pixel_engine.h"
#include "model/mainframe/running_state.h"
#include "model/pixel_buffer.h"

#include <functional>
#include <string>

class CVolDoc;
class HostPaths;
class IEffectSounds;
class IMessagePump;

// What the tools ask of the canvas window.
class IColouringCanvas {
public:
    virtual ~IColouringCanvas() = default;
    // Repaints a rectangle given in picture pixels.
    virtual void RepaintPicture(const PixelRect& rect) = 0;
    // Holds the mouse for the canvas until ReleaseMouse (moves outside it
    // still arrive), or lets it go.
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
};

class ColouringTools {
public:
    // Everything is borrowed and must outlive the tools. The tool, colour,
    // brush size and mode are read from `state` at every event.
    ColouringTools(const RunningState& state, IMessagePump& pump, IEffectSounds& sounds,
                   IColouringCanvas& canvas);

    // Starts colouring `picture` (the shown page, borrowed until Leave): reads
    // the page's original line art (the document's original path of `page`)
    // and composes the line mask. False, with nothing held, when the original
    // cannot be read as a bitmap; `original` then names it.
    bool Enter(PixelBuffer& picture, const CVolDoc& doc, const HostPaths& paths, int page,
               std::string* original = nullptr);
    // Drops every colouring buffer and all undo steps; the mouse is let go.
    void Leave();
    bool IsColouring() const { return m_picture && m_engine.IsColouring(); }

    // The mouse on the canvas, in picture pixels (a captured mouse may lie
    // outside the picture). A press answers false when it is not the tools'
    // (viewer mode): the canvas then handles it as any window would.
    bool OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnLButtonUp(int x, int y);
    bool HasCapture() const { return m_capture; }

    // Takes back the newest undo step (also ending an operation whose
    // release was lost) and repaints what it restored.
    void Undo();
    int GetUndoCount() const { return m_engine.GetUndoCount(); }

private:
    Pixel DrawingColour() const;
    int Radius() const;
    bool ColouringNow() const;

    const RunningState& m_state;
    IMessagePump& m_pump;
    IEffectSounds& m_sounds;
    IColouringCanvas& m_canvas;
    PixelEngine m_engine;
    PixelBuffer* m_picture = nullptr;
    bool m_capture = false;
    Tool m_operationTool = Tool::Fill; // the tool whose operation holds the capture
};
