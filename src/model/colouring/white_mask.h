// One bit per pixel telling which pixels of a buffer are white. The original
// overlay never changes while a page is being coloured, so the black-area
// fill reads this mask, 1/32 of the overlay's size, instead of the overlay.
#pragma once

#include "model/pixel_buffer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class WhiteMask {
public:
    using Word = std::uint64_t;

    WhiteMask() = default; // empty: 0 x 0
    // Bit x of a row is set when pixel x of `buffer` is white (low 24 bits all set).
    explicit WhiteMask(const PixelBuffer& buffer);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_bits.empty(); }
    bool IsWhite(int x, int y) const {
        return x >= 0 && y >= 0 && x < m_width && y < m_height &&
               ((Row(y)[x >> 6] >> (x & 63)) & 1) != 0;
    }
    // The bits of row y, pixel x in bit x % 64 of word x / 64. Each row ends
    // with one spare zero word, so reading the word after any pixel's word is
    // always safe. y must lie inside the mask.
    const Word* Row(int y) const { return m_bits.data() + static_cast<std::size_t>(y) * m_stride; }

private:
    int m_width = 0;
    int m_height = 0;
    std::size_t m_stride = 0; // words per row
    std::vector<Word> m_bits;
};
