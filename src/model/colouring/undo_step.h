// One undo record of the colouring canvas: the pixels a rectangle of the
// picture held before an operation changed it.
#pragma once

#include "model/pixel_buffer.h"

#include <cstddef>
#include <memory>

class CUndoStep {
public:
    // Copies the pixels of `rect` out of `before` (the picture as it was before
    // the operation). The rectangle is clipped to that buffer; a rectangle that
    // misses it gives a step that holds and restores nothing.
    CUndoStep(const PixelBuffer& before, const PixelRect& rect);

    // The rectangle held, in picture coordinates (maybe empty).
    const PixelRect& Rect() const { return m_rect; }
    // Number of pixels held: the step's memory is this times sizeof(Pixel).
    std::size_t PixelCount() const {
        return static_cast<std::size_t>(m_rect.Width()) * static_cast<std::size_t>(m_rect.Height());
    }

    // Writes the held pixels back into `picture` at the step's rectangle, as
    // far as the picture reaches. Returns the rectangle written.
    PixelRect Restore(PixelBuffer& picture) const;

private:
    PixelRect m_rect;
    std::unique_ptr<Pixel[]> m_pixels; // rows of m_rect, top to bottom, no padding
};
