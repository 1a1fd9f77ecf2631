#include "model/colouring/white_mask.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Bits of the white pixels among the n (<= 64) pixels at p.
WhiteMask::Word WhiteBits(const Pixel* p, int n) {
    WhiteMask::Word bits = 0;
    int k = 0;
#if defined(__SSE2__)
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    auto white4 = [&](int at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        return _mm_cmpeq_epi32(_mm_and_si128(v, rgb), rgb);
    };
    for (; k + 16 <= n; k += 16) {
        const __m128i low = _mm_packs_epi32(white4(k), white4(k + 4));
        const __m128i high = _mm_packs_epi32(white4(k + 8), white4(k + 12));
        const auto lanes = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
        bits |= WhiteMask::Word{lanes} << k;
    }
#endif
    for (; k < n; ++k)
        bits |= WhiteMask::Word{(p[k] & kRgbMask) == kRgbMask} << k;
    return bits;
}

} // namespace

WhiteMask::WhiteMask(const PixelBuffer& buffer)
    : m_width(buffer.Width()), m_height(buffer.Height()),
      m_stride((static_cast<std::size_t>(buffer.Width()) + 63) / 64 + 1) {
    if (buffer.IsEmpty()) {
        m_width = m_height = 0;
        return;
    }
    m_bits.assign(m_stride * static_cast<std::size_t>(m_height), 0);
    for (int y = 0; y < m_height; ++y) {
        Word* row = m_bits.data() + static_cast<std::size_t>(y) * m_stride;
        for (int x = 0; x < m_width; x += 64)
            row[x / 64] = WhiteBits(buffer.Row(y) + x, std::min(64, m_width - x));
    }
}
