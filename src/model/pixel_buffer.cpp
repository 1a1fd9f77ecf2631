#include "model/pixel_buffer.h"

#include <algorithm>

PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

PixelRect IntersectRect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return r.IsEmpty() ? PixelRect{} : r;
}

PixelBuffer::PixelBuffer(int width, int height, Pixel fill) {
    if (width <= 0 || height <= 0)
        return;
    m_width = width;
    m_height = height;
    m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

void PixelBuffer::Fill(Pixel p) {
    std::fill(m_pixels.begin(), m_pixels.end(), p);
}
