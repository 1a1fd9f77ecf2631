#include "model/colouring/pixel_engine.h"

#include "model/colouring/pixel_blit.h"
#include "model/colouring/region_fill.h"

#include <algorithm>

namespace {

constexpr Pixel kBlack = 0;

PixelRect Grow(const PixelRect& r, int by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// The box of points, right and bottom inclusive, grown to take in p.
PixelRect Include(const PixelRect& box, PixelPoint p) {
    return {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
            std::max(box.bottom, p.y)};
}

PixelRect PointBox(PixelPoint p) {
    return {p.x, p.y, p.x, p.y};
}

} // namespace

int PixelEngine::BrushRadius(int brushSize) {
    return 2 * std::clamp(brushSize, 0, 2) + 1;
}

bool PixelEngine::EnterColouring(const PixelBuffer& picture, const PixelBuffer& original) {
    return EnterColouring(picture, PixelBuffer(original));
}

bool PixelEngine::EnterColouring(const PixelBuffer& picture, PixelBuffer&& original) {
    LeaveColouring();
    if (picture.IsEmpty() || original.IsEmpty())
        return false;
    if (original.Width() == picture.Width() && original.Height() == picture.Height()) {
        // The usual case: the original is the overlay as it is, no copy.
        m_overlay = std::move(original);
    } else {
        m_overlay = PixelBuffer(picture.Width(), picture.Height(), kBlack);
        CopyPixels(original, m_overlay, original.Bounds());
    }
    m_overlayWhite = WhiteMask(m_overlay);
    m_lineMask = PixelBuffer(picture.Width(), picture.Height());
    ComposeLineMask(picture);
    return true;
}

void PixelEngine::LeaveColouring() {
    m_lineMask = {};
    m_overlay = {};
    m_overlayWhite = {};
    m_snapshot = {};
    m_operation = Operation::None;
    ClearUndo();
}

bool PixelEngine::Fits(const PixelBuffer& picture) const {
    return IsColouring() && picture.Width() == m_overlay.Width() &&
           picture.Height() == m_overlay.Height();
}

void PixelEngine::ComposeLineMask(const PixelBuffer& picture) {
    ComposeLineMask(picture, m_overlay.Bounds());
}

// Each operation changes pixels only inside the rectangle it reports, so
// composing that rectangle gives the same mask as composing the whole picture.
void PixelEngine::ComposeLineMask(const PixelBuffer& picture, const PixelRect& rect) {
    if (Fits(picture))
        OrPixels(picture, m_overlay, m_lineMask, rect);
}

void PixelEngine::TakeSnapshot(const PixelBuffer& picture) {
    if (Fits(picture))
        m_snapshot = picture; // same size as before, so the storage is reused
}

FillResult PixelEngine::Fill(PixelBuffer& picture, int x, int y, Pixel colour) {
    if (!Fits(picture) || !picture.Contains(x, y))
        return {};
    EndBrushOrLine(picture); // a press whose release never came
    if ((m_lineMask.At(x, y) & kRgbMask) == kBlack)
        return {FillStatus::RefusedOnOutline, {}};
    colour &= kRgbMask;
    const Pixel seed = picture.At(x, y) & kRgbMask;
    // On black the black-area fill applies, which can only reach the seed
    // where the overlay is white (the line mask above is not black, so the
    // overlay is not black there either).
    const bool blackArea = seed == kBlack;
    const bool changes =
        blackArea ? colour != kBlack && m_overlayWhite.IsWhite(x, y) : colour != seed;
    m_dirty = {};
    if (changes) {
        TakeSnapshot(picture);
        m_dirty = blackArea ? BlackAreaFill(picture, m_overlayWhite, x, y, colour)
                            : SurfaceFill(picture, x, y, colour);
    }
    PushUndoStep();
    ComposeLineMask(picture, m_dirty);
    return {FillStatus::Filled, m_dirty};
}

void PixelEngine::BeginOperation(const PixelBuffer& picture, Operation operation, PixelPoint at,
                                 int radius) {
    EndBrushOrLine(picture);
    TakeSnapshot(picture);
    m_operation = operation;
    m_start = m_last = at;
    m_dirty = PointBox(at);
    m_radius = ClampStrokeRadius(radius);
}

PixelRect PixelEngine::PaintDot(PixelBuffer& picture, int x, int y, int radius, Pixel colour) {
    if (!Fits(picture))
        return {};
    const PixelPoint at = ClampStrokePoint({x, y});
    BeginOperation(picture, Operation::Brush, at, radius);
    return DrawRoundStroke(picture, at, at, m_radius, colour);
}

PixelRect PixelEngine::PaintStrokeSegment(PixelBuffer& picture, int x, int y, int radius,
                                          Pixel colour) {
    if (m_operation != Operation::Brush || !Fits(picture))
        return {};
    const PixelPoint to = ClampStrokePoint({x, y});
    radius = ClampStrokeRadius(radius);
    const PixelRect repaint = DrawRoundStroke(picture, m_last, to, radius, colour);
    // A size changed in mid-stroke must not leave pixels outside the undo step.
    m_radius = std::max(m_radius, radius);
    m_last = to;
    m_dirty = Include(m_dirty, to);
    return repaint;
}

void PixelEngine::StartLine(const PixelBuffer& picture, int x, int y, int radius) {
    if (!Fits(picture))
        return;
    BeginOperation(picture, Operation::Line, ClampStrokePoint({x, y}), radius);
}

PixelRect PixelEngine::DrawRubberBandLine(PixelBuffer& picture, int x, int y, int radius,
                                          Pixel colour) {
    if (m_operation != Operation::Line || !Fits(picture))
        return {};
    const PixelPoint to = ClampStrokePoint({x, y});
    radius = ClampStrokeRadius(radius);
    // The previous line lies inside its point box grown by the radius it was
    // drawn with; the snapshot holds what was there before it.
    CopyPixels(m_snapshot, picture, Grow(m_dirty, m_radius));
    DrawRoundStroke(picture, m_start, to, radius, colour);
    m_radius = std::max(m_radius, radius);
    m_dirty = Include(PointBox(m_start), to);
    const PixelRect repaint = Clipped(Grow(Include(m_dirty, m_last), m_radius));
    m_last = to;
    return repaint;
}

PixelRect PixelEngine::EndBrushOrLine(const PixelBuffer& picture) {
    if (m_operation == Operation::None)
        return {};
    m_operation = Operation::None;
    if (!Fits(picture))
        return {};
    m_dirty = Clipped(Grow(m_dirty, m_radius));
    PushUndoStep();
    ComposeLineMask(picture, m_dirty);
    return m_dirty;
}

void PixelEngine::PushUndoStep() {
    if (m_undoSteps.size() >= static_cast<std::size_t>(kMaxUndoSteps))
        m_undoSteps.pop_front();
    m_undoSteps.emplace_back(m_snapshot, m_dirty);
}

PixelRect PixelEngine::Undo(PixelBuffer& picture) {
    if (!Fits(picture))
        return {};
    EndBrushOrLine(picture);
    if (m_undoSteps.empty())
        return {};
    const PixelRect restored = m_undoSteps.back().Restore(picture);
    m_undoSteps.pop_back();
    ComposeLineMask(picture, restored);
    return restored;
}

void PixelEngine::ClearUndo() {
    m_undoSteps.clear();
}

std::size_t PixelEngine::UndoPixelCount() const {
    std::size_t total = 0;
    for (const CUndoStep& step : m_undoSteps)
        total += step.PixelCount();
    return total;
}
