// One bit per pixel of a picture-sized area: which pixels of a buffer have a
// colour, which pixels a fill took, where the outlines are. Masks are 1/32 of
// a picture's size, and word operations on them handle 64 pixels at a time.
#pragma once

#include "model/pixel_buffer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class PixelMask {
public:
    using Word = std::uint64_t;
    static constexpr int kWordBits = 64;

    PixelMask() = default; // empty: 0 x 0
    // width x height, every bit clear; empty when either is not positive.
    PixelMask(int width, int height);
    // Bit set where pixel x of `buffer` has `colour` in its low 24 bits.
    PixelMask(const PixelBuffer& buffer, Pixel colour);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_bits.empty(); }
    // Words of one row (the last one may be partly outside the width).
    int WordsPerRow() const { return (m_width + kWordBits - 1) / kWordBits; }
    bool Test(int x, int y) const {
        return x >= 0 && y >= 0 && x < m_width && y < m_height &&
               ((Row(y)[x / kWordBits] >> (x % kWordBits)) & 1) != 0;
    }
    // The bits of row y, pixel x in bit x % 64 of word x / 64. Bits past the
    // width are clear, and each row ends with one spare zero word, so reading
    // the word after any pixel's word is always safe. y must lie inside.
    const Word* Row(int y) const { return m_bits.data() + static_cast<std::size_t>(y) * m_stride; }
    // Writers keep the bits past the width and the spare word clear.
    Word* Row(int y) { return m_bits.data() + static_cast<std::size_t>(y) * m_stride; }

    // Sets row y's bits of the pixels [x0, x1) of `pixels` (the row of a
    // buffer as wide as the mask) that have `colour`, clearing the others.
    // The range is clipped to the mask.
    void ComposeRow(int y, const Pixel* pixels, Pixel colour, int x0, int x1);
    // Number of set bits.
    std::size_t Count() const;
    // Bytes of bit storage.
    std::size_t Bytes() const { return m_bits.size() * sizeof(Word); }

private:
    int m_width = 0;
    int m_height = 0;
    std::size_t m_stride = 0; // words per row, the spare word included
    std::vector<PixelMask::Word> m_bits;
};

// Bits of the n (<= 64) pixels at p whose low 24 bits are `colour`, pixel k in bit k.
PixelMask::Word ColourBits(const Pixel* p, int n, Pixel colour);

// The bits [from, to) of one word set (0 <= from, to <= 64); none when from >= to.
constexpr PixelMask::Word BitRange(int from, int to) {
    if (from >= to)
        return 0;
    return (~PixelMask::Word{0} >> (PixelMask::kWordBits - (to - from))) << from;
}
