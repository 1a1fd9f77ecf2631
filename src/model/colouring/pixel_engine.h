// The pixel work of colouring mode, free of any toolkit: the original
// overlay's black and white pixels, the line mask and the snapshot of one
// page, the fill, brush and line tools, and the undo steps. The colouring view owns one engine and
// hands it the picture buffer at every call; each tool returns the rectangle of the picture that
// changed, which is all the view needs to repaint.
//
// The picture buffer belongs to the page picture, not to the engine. Every
// call that takes it checks that it has the overlay's size and otherwise
// does nothing, so a stale or replaced picture is never written out of bounds.
// Coordinates may lie anywhere, also far outside the picture (a captured
// mouse); only pixels inside the picture are read or written.
#pragma once

#include "model/colouring/pixel_mask.h"
#include "model/colouring/region_fill.h"
#include "model/colouring/round_stroke.h"
#include "model/colouring/undo_step.h"
#include "model/pixel_buffer.h"

#include <deque>

enum class FillStatus {
    Ignored,          // not colouring, the picture does not fit, or the seed is outside it
    RefusedOnOutline, // the line mask is black at the seed: nothing changed, nothing pushed
    Filled,           // filled (possibly changing nothing) and one undo step pushed
};

struct FillResult {
    FillStatus status = FillStatus::Ignored;
    PixelRect changed; // bounding box of the pixels that changed (maybe empty)
};

class PixelEngine {
public:
    static constexpr int kMaxUndoSteps = 5;

    // Brush radius for a brush size of 0, 1 or 2 (clamped): 1, 3 or 5 pixels.
    static int BrushRadius(int brushSize);

    // Starts colouring `picture`, whose page has the line art `original`. The
    // overlay is picture-sized, black where `original` does not reach, with
    // `original` at (0, 0); the engine keeps only which of its pixels are
    // black and which white, and composes the line mask from them. Returns
    // false, and holds nothing, when either buffer is empty.
    bool EnterColouring(const PixelBuffer& picture, const PixelBuffer& original);
    // Drops the overlay's masks, the line mask, snapshot, any unfinished
    // operation and all undo steps.
    void LeaveColouring();
    bool IsColouring() const { return !m_outline.IsEmpty(); }

    // The line mask is the picture OR the overlay; it is black, and the fill
    // tool refuses a press, where both are black: the page's own outlines
    // that no paint has covered. False outside the picture.
    bool IsOutline(int x, int y) const { return m_outline.Test(x, y); }

    // Composes the line mask over the whole picture. The engine's own
    // operations keep it up to date; a caller that changes the picture in any
    // other way calls this afterwards.
    void ComposeLineMask(const PixelBuffer& picture);

    // The fill tool's press at (x, y) with `colour`: refused on an outline;
    // otherwise surface fill (or, on a black pixel, black-area fill), one undo
    // step holding the changed pixels' bits and their one old colour, and the
    // line mask brought up to date there.
    FillResult Fill(PixelBuffer& picture, int x, int y, Pixel colour);

    // The brush tool. PaintDot starts an operation with a dot at (x, y);
    // PaintStrokeSegment continues it from the last point to (x, y) and is
    // ignored unless a brush operation is running. Both return the rectangle
    // to repaint, clipped to the picture.
    PixelRect PaintDot(PixelBuffer& picture, int x, int y, int radius, Pixel colour);
    PixelRect PaintStrokeSegment(PixelBuffer& picture, int x, int y, int radius, Pixel colour);

    // The line tool. StartLine starts an operation at (x, y) and draws
    // nothing; DrawRubberBandLine puts back the previous line's pixels from the
    // snapshot and draws the line from the start point to (x, y). It is
    // ignored unless a line operation is running. Returns the rectangle to
    // repaint (old and new line), clipped to the picture.
    void StartLine(const PixelBuffer& picture, int x, int y, int radius);
    PixelRect DrawRubberBandLine(PixelBuffer& picture, int x, int y, int radius, Pixel colour);

    // Ends a brush or line operation: the dirty rectangle grows by the largest
    // radius drawn with and is clipped to the picture, one undo step is pushed
    // and the line mask is recomposed. Returns that rectangle; empty, with
    // nothing pushed, when no operation is running.
    PixelRect EndBrushOrLine(const PixelBuffer& picture);
    bool IsOperationRunning() const { return m_operation != Operation::None; }

    // Ends any running operation (so it becomes the newest step), then puts
    // the newest step's pixels back into the picture, drops the step and
    // recomposes the line mask there. Returns the rectangle restored; empty
    // when there is no step.
    PixelRect Undo(PixelBuffer& picture);
    void ClearUndo();
    int GetUndoCount() const { return static_cast<int>(m_undoSteps.size()); }
    // Pixels whose old values all undo steps together hold, and the bytes they take.
    std::size_t UndoPixelCount() const;
    std::size_t UndoBytes() const;

private:
    enum class Operation { None, Brush, Line };

    bool Fits(const PixelBuffer& picture) const;
    void BeginOperation(const PixelBuffer& picture, Operation operation, PixelPoint at, int radius);
    void ComposeLineMask(const PixelBuffer& picture, const PixelRect& rect);
    // Recomposes the words of the line mask that hold pixels of `step`.
    void ComposeLineMaskWhereHeld(const PixelBuffer& picture, const CUndoStep& step);
    void UpdateLineMaskAfterFill(bool paintedBlack);
    // snapshot := the whole picture (the buffer is made on first use and reused).
    void TakeSnapshot(const PixelBuffer& picture);
    // The sixth step drops the oldest.
    void PushUndoStep(CUndoStep step);
    PixelRect Clipped(const PixelRect& rect) const {
        return IntersectRect(rect, {0, 0, m_outline.Width(), m_outline.Height()});
    }

    PixelMask m_outline;      // the line mask: set where it is black
    PixelMask m_overlayBlack; // the overlay's black pixels
    PixelMask m_overlayWhite; // the overlay's white pixels, for the black-area fill
    PixelBuffer m_snapshot;   // the picture before a brush or line operation
    FillScratch m_fill;
    std::deque<CUndoStep> m_undoSteps; // oldest first

    Operation m_operation = Operation::None;
    // While an operation runs: the box of its points, right and bottom
    // inclusive (left, top, right, bottom = min x, min y, max x, max y).
    // After it, the pixel rectangle its undo step covers.
    PixelRect m_dirty;
    PixelPoint m_start;
    PixelPoint m_last;
    int m_radius = 0; // the largest radius drawn with in this operation
};
