#include "model/colouring/pixel_mask.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

PixelMask::Word ColourBits(const Pixel* p, int n, Pixel colour) {
    PixelMask::Word bits = 0;
    int k = 0;
#if defined(__SSE2__)
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(colour & kRgbMask));
    auto equal4 = [&](int at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        return _mm_cmpeq_epi32(_mm_and_si128(v, rgb), wanted);
    };
    // Sixteen pixels give sixteen byte lanes: one movemask per sixteen bits.
    for (; k + 16 <= n; k += 16) {
        const __m128i low = _mm_packs_epi32(equal4(k), equal4(k + 4));
        const __m128i high = _mm_packs_epi32(equal4(k + 8), equal4(k + 12));
        const auto lanes = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
        bits |= PixelMask::Word{lanes} << k;
    }
#endif
    for (; k < n; ++k)
        bits |= PixelMask::Word{SameColour(p[k], colour)} << k;
    return bits;
}

PixelMask::PixelMask(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    m_width = width;
    m_height = height;
    m_stride = static_cast<std::size_t>(WordsPerRow()) + 1;
    m_bits.assign(m_stride * static_cast<std::size_t>(height), 0);
}

PixelMask::PixelMask(const PixelBuffer& buffer, Pixel colour)
    : PixelMask(buffer.Width(), buffer.Height()) {
    for (int y = 0; y < m_height; ++y)
        ComposeRow(y, buffer.Row(y), colour, 0, m_width);
}

void PixelMask::ComposeRow(int y, const Pixel* pixels, Pixel colour, int x0, int x1) {
    x0 = std::max(x0, 0);
    x1 = std::min(x1, m_width);
    Word* row = Row(y);
    while (x0 < x1) {
        // One word at a time: the part of [x0, x1) inside word x0 / 64.
        const int word = x0 / kWordBits;
        const int base = word * kWordBits;
        const int end = std::min(x1, base + kWordBits);
        const Word keep = ~BitRange(x0 - base, end - base);
        row[word] = (row[word] & keep) | (ColourBits(pixels + x0, end - x0, colour) << (x0 - base));
        x0 = end;
    }
}

std::size_t PixelMask::Count() const {
    std::size_t n = 0;
    for (const Word w : m_bits)
        n += static_cast<std::size_t>(std::popcount(w));
    return n;
}
