#include "model/colouring/undo_step.h"

#include <algorithm>

// The pixels are copied straight into storage left uninitialised: a step can
// hold a whole picture, and filling it first would double the cost.
CUndoStep::CUndoStep(const PixelBuffer& before, const PixelRect& rect)
    : m_rect(IntersectRect(rect, before.Bounds())) {
    if (m_rect.IsEmpty()) {
        m_rect = {};
        return;
    }
    m_pixels.reset(new Pixel[PixelCount()]);
    Pixel* out = m_pixels.get();
    for (int y = m_rect.top; y < m_rect.bottom; ++y, out += m_rect.Width())
        std::copy(before.Row(y) + m_rect.left, before.Row(y) + m_rect.right, out);
}

PixelRect CUndoStep::Restore(PixelBuffer& picture) const {
    const PixelRect r = IntersectRect(m_rect, picture.Bounds());
    for (int y = r.top; y < r.bottom; ++y) {
        const Pixel* from = m_pixels.get() +
                            static_cast<std::size_t>(y - m_rect.top) * m_rect.Width() +
                            (r.left - m_rect.left);
        std::copy(from, from + r.Width(), picture.Row(y) + r.left);
    }
    return r;
}
