#include "model/colouring/pixel_engine.h"

#include "model/colouring/pixel_blit.h"
#include "model/colouring/region_fill.h"

#include <algorithm>
#include <vector>

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

// Sets the bits [x0, x1) of row y.
void SetBits(PixelMask& mask, int y, int x0, int x1) {
    PixelMask::Word* row = mask.Row(y);
    for (int x = x0; x < x1;) {
        const int base = x / PixelMask::kWordBits * PixelMask::kWordBits;
        const int end = std::min(x1, base + PixelMask::kWordBits);
        row[x / PixelMask::kWordBits] |= BitRange(x - base, end - base);
        x = end;
    }
}

} // namespace

int PixelEngine::BrushRadius(int brushSize) {
    return 2 * std::clamp(brushSize, 0, 2) + 1;
}

bool PixelEngine::EnterColouring(const PixelBuffer& picture, const PixelBuffer& original) {
    LeaveColouring();
    if (picture.IsEmpty() || original.IsEmpty())
        return false;
    const int width = picture.Width();
    const int height = picture.Height();
    m_overlayWhite = PixelMask(width, height);
    m_overlayBlack = PixelMask(width, height);
    const int reachX = std::min(width, original.Width());
    const int reachY = std::min(height, original.Height());
    for (int y = 0; y < height; ++y) {
        // Where the original does not reach, the overlay is black.
        if (y < reachY) {
            m_overlayWhite.ComposeRow(y, original.Row(y), kRgbMask, 0, reachX);
            m_overlayBlack.ComposeRow(y, original.Row(y), kBlack, 0, reachX);
        }
        SetBits(m_overlayBlack, y, y < reachY ? reachX : 0, width);
    }
    m_outline = PixelMask(width, height);
    ComposeLineMask(picture);
    return true;
}

void PixelEngine::LeaveColouring() {
    m_outline = {};
    m_overlayBlack = {};
    m_overlayWhite = {};
    m_snapshot = {};
    m_fill = {};
    m_operation = Operation::None;
    ClearUndo();
}

bool PixelEngine::Fits(const PixelBuffer& picture) const {
    return IsColouring() && picture.Width() == m_outline.Width() &&
           picture.Height() == m_outline.Height();
}

void PixelEngine::ComposeLineMask(const PixelBuffer& picture) {
    ComposeLineMask(picture, picture.Bounds());
}

// Each operation changes pixels only inside the rectangle it reports, so
// composing that rectangle gives the same mask as composing the whole
// picture. The mask is black where the picture and the overlay both are.
void PixelEngine::ComposeLineMask(const PixelBuffer& picture, const PixelRect& rect) {
    if (!Fits(picture))
        return;
    const PixelRect r = Clipped(rect);
    if (r.IsEmpty())
        return;
    const int w0 = r.left / PixelMask::kWordBits;
    const int w1 = (r.right - 1) / PixelMask::kWordBits;
    for (int y = r.top; y < r.bottom; ++y) {
        m_outline.ComposeRow(y, picture.Row(y), kBlack, r.left, r.right);
        PixelMask::Word* outline = m_outline.Row(y);
        const PixelMask::Word* black = m_overlayBlack.Row(y);
        for (int w = w0; w <= w1; ++w)
            outline[w] &= black[w];
    }
}

// An undo step holds every pixel its operation changed and its undo writes
// no others, so the mask can differ from the picture only in the words that
// hold its pixels. A long stroke's box is mostly untouched: composing just
// those words spares reading the rest of the box.
void PixelEngine::ComposeLineMaskWhereHeld(const PixelBuffer& picture, const CUndoStep& step) {
    if (!Fits(picture))
        return;
    const int width = picture.Width();
    step.ForEachHeldWord([&](int y, int x, PixelMask::Word) {
        const int w = x / PixelMask::kWordBits;
        m_outline.Row(y)[w] =
            ColourBits(picture.Row(y) + x, std::min(PixelMask::kWordBits, width - x), kBlack) &
            m_overlayBlack.Row(y)[w];
    });
}

// A fill changes exactly the pixels of its region, all to one colour, so the
// mask changes only there: those pixels become outline where the overlay is
// black if the colour is black, and stop being outline otherwise.
void PixelEngine::UpdateLineMaskAfterFill(bool paintedBlack) {
    const PixelRect& box = m_fill.box;
    if (box.IsEmpty())
        return;
    const int w0 = box.left / PixelMask::kWordBits;
    const int w1 = (box.right - 1) / PixelMask::kWordBits;
    for (int y = box.top; y < box.bottom; ++y) {
        PixelMask::Word* outline = m_outline.Row(y);
        const PixelMask::Word* region = m_fill.RegionRow(y);
        const PixelMask::Word* black = m_overlayBlack.Row(y);
        for (int w = w0; w <= w1; ++w)
            outline[w] =
                paintedBlack ? outline[w] | (region[w] & black[w]) : outline[w] & ~region[w];
    }
}

void PixelEngine::TakeSnapshot(const PixelBuffer& picture) {
    if (Fits(picture))
        m_snapshot = picture; // same size as before, so the storage is reused
}

FillResult PixelEngine::Fill(PixelBuffer& picture, int x, int y, Pixel colour) {
    if (!Fits(picture) || !picture.Contains(x, y))
        return {};
    EndBrushOrLine(picture); // a press whose release never came
    if (IsOutline(x, y))
        return {FillStatus::RefusedOnOutline, {}};
    colour &= kRgbMask;
    const Pixel seedValue = picture.At(x, y);
    const Pixel seed = seedValue & kRgbMask;
    // On black the black-area fill applies, which can only reach the seed
    // where the overlay is white (the line mask is not black here, so the
    // overlay is not black either).
    const bool blackArea = seed == kBlack;
    const bool changes = blackArea ? colour != kBlack && m_overlayWhite.Test(x, y) : colour != seed;
    if (!changes) {
        PushUndoStep(CUndoStep());
        return {FillStatus::Filled, {}};
    }
    // Every pixel of the region has the seed's colour; only its unused top
    // byte may differ, and such pixels go into the step one by one.
    std::vector<PixelPatch> patches;
    const PixelRect box =
        blackArea ? BlackAreaFill(picture, m_overlayWhite, x, y, colour, m_fill, &patches)
                  : SurfaceFill(picture, x, y, colour, m_fill, &patches);
    PushUndoStep(CUndoStep::OfRegion(m_fill, seedValue, std::move(patches)));
    UpdateLineMaskAfterFill(colour == kBlack);
    return {FillStatus::Filled, box};
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
    PushUndoStep(CUndoStep::OfChanges(m_snapshot, picture, m_dirty));
    ComposeLineMaskWhereHeld(picture, m_undoSteps.back());
    return m_dirty;
}

void PixelEngine::PushUndoStep(CUndoStep step) {
    if (m_undoSteps.size() >= static_cast<std::size_t>(kMaxUndoSteps))
        m_undoSteps.pop_front();
    m_undoSteps.push_back(std::move(step));
}

PixelRect PixelEngine::Undo(PixelBuffer& picture) {
    if (!Fits(picture))
        return {};
    EndBrushOrLine(picture);
    if (m_undoSteps.empty())
        return {};
    const PixelRect restored = m_undoSteps.back().Restore(picture);
    ComposeLineMaskWhereHeld(picture, m_undoSteps.back());
    m_undoSteps.pop_back();
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

std::size_t PixelEngine::UndoBytes() const {
    std::size_t total = 0;
    for (const CUndoStep& step : m_undoSteps)
        total += step.Bytes();
    return total;
}
