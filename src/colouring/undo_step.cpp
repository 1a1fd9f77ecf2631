#include "colouring/undo_step.h"

#include "colouring/pixel_blit.h"

CUndoStep::CUndoStep(const PixelBuffer& before, const PixelRect& rect)
    : m_rect(IntersectRect(rect, before.Bounds())), m_pixels(CopyOut(before, m_rect)) {}

PixelRect CUndoStep::Restore(PixelBuffer& picture) const {
    if (m_rect.IsEmpty())
        return {};
    return CopyIn(m_pixels, picture, m_rect.left, m_rect.top);
}
