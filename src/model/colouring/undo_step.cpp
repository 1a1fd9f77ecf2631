#include "model/colouring/undo_step.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Word = PixelMask::Word;
constexpr int kBits = PixelMask::kWordBits;

// Bits of the n (<= 64) pixels where a and b differ, pixel k in bit k. A
// stroke's box is mostly unchanged, so this runs over every pixel of it and
// must keep pace with a copy: sixteen pixels per compare and movemask.
Word DifferentBits(const Pixel* a, const Pixel* b, int n) {
    Word bits = 0;
    int k = 0;
#if defined(__SSE2__)
    auto equal4 = [&](int at) {
        return _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at)),
                               _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at)));
    };
    if (n == kBits) {
        // Nearly every word of the box is unchanged: one OR of differences
        // per four pixels settles it before any bits are gathered.
        __m128i differ = _mm_setzero_si128();
        for (int at = 0; at < kBits; at += 4)
            differ = _mm_or_si128(
                differ, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at))));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(differ, _mm_setzero_si128())) == 0xFFFF)
            return 0;
    }
    for (; k + 16 <= n; k += 16) {
        const __m128i low = _mm_packs_epi32(equal4(k), equal4(k + 4));
        const __m128i high = _mm_packs_epi32(equal4(k + 8), equal4(k + 12));
        const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
        bits |= Word{~same & 0xFFFFu} << k;
    }
#endif
    for (; k < n; ++k)
        bits |= Word{a[k] != b[k]} << k;
    return bits;
}

} // namespace

void CUndoStep::AddValue(Pixel value, std::uint32_t count) {
    m_pixelCount += count;
    if (!m_values.empty() && m_values.back().value == value)
        m_values.back().count += count;
    else
        m_values.push_back({value, count});
}

CUndoStep CUndoStep::OfRegion(const FillScratch& scratch, Pixel value,
                              std::vector<PixelPatch> patches) {
    CUndoStep step;
    step.m_pictureWidth = scratch.width;
    step.m_pictureHeight = scratch.height;
    step.m_rect = IntersectRect(scratch.box, {0, 0, step.m_pictureWidth, step.m_pictureHeight});
    if (step.m_rect.IsEmpty())
        return CUndoStep();
    step.m_firstWord = step.m_rect.left / kBits;
    step.m_wordsPerRow = (step.m_rect.right - 1) / kBits - step.m_firstWord + 1;
    step.m_bits.reserve(static_cast<std::size_t>(step.m_wordsPerRow) * step.m_rect.Height());
    for (int y = step.m_rect.top; y < step.m_rect.bottom; ++y) {
        const Word* row = scratch.RegionRow(y) + step.m_firstWord;
        step.m_bits.insert(step.m_bits.end(), row, row + step.m_wordsPerRow);
    }
    std::size_t count = 0;
    for (const Word w : step.m_bits)
        count += static_cast<std::size_t>(std::popcount(w));
    // A region holds at most a picture's pixels, which the run counts in 32 bits.
    step.AddValue(value, static_cast<std::uint32_t>(count));
    step.m_patches = std::move(patches);
    return step;
}

CUndoStep CUndoStep::OfChanges(const PixelBuffer& before, const PixelBuffer& after,
                               const PixelRect& rect) {
    CUndoStep step;
    if (before.Width() != after.Width() || before.Height() != after.Height())
        return step;
    step.m_rect = IntersectRect(rect, before.Bounds());
    if (step.m_rect.IsEmpty())
        return CUndoStep();
    step.m_pictureWidth = before.Width();
    step.m_pictureHeight = before.Height();
    step.m_firstWord = step.m_rect.left / kBits;
    step.m_wordsPerRow = (step.m_rect.right - 1) / kBits - step.m_firstWord + 1;
    step.m_bits.reserve(static_cast<std::size_t>(step.m_wordsPerRow) * step.m_rect.Height());
    for (int y = step.m_rect.top; y < step.m_rect.bottom; ++y) {
        const Pixel* old = before.Row(y);
        const Pixel* now = after.Row(y);
        for (int w = step.m_firstWord; w < step.m_firstWord + step.m_wordsPerRow; ++w) {
            // The part of this word inside the rectangle.
            const int x0 = std::max(w * kBits, step.m_rect.left);
            const int x1 = std::min(w * kBits + kBits, step.m_rect.right);
            Word bits = DifferentBits(old + x0, now + x0, x1 - x0) << (x0 - w * kBits);
            step.m_bits.push_back(bits);
            for (; bits != 0; bits &= bits - 1)
                step.AddValue(old[w * kBits + std::countr_zero(bits)], 1);
        }
    }
    return step;
}

std::size_t CUndoStep::Bytes() const {
    return m_bits.size() * sizeof(Word) + m_values.size() * sizeof(ValueRun) +
           m_patches.size() * sizeof(PixelPatch);
}

PixelRect CUndoStep::Restore(PixelBuffer& picture) const {
    if (m_rect.IsEmpty() || picture.Width() != m_pictureWidth ||
        picture.Height() != m_pictureHeight)
        return {};
    auto value = m_values.begin();
    std::uint32_t left = value == m_values.end() ? 0 : value->count;
    const Word* bits = m_bits.data();
    for (int y = m_rect.top; y < m_rect.bottom; ++y, bits += m_wordsPerRow) {
        Pixel* row = picture.Row(y);
        for (int k = 0; k < m_wordsPerRow; ++k) {
            Word b = bits[k];
            while (b != 0) {
                // One run of set bits [x, x + n), written from as many value runs as it spans.
                const int s = std::countr_zero(b);
                const Word above = ~(b >> s);
                const int n = above == 0 ? kBits - s : std::countr_zero(above);
                b &= ~BitRange(s, s + n);
                Pixel* p = row + (m_firstWord + k) * kBits + s;
                for (int todo = n; todo > 0;) {
                    while (left == 0)
                        left = (++value)->count;
                    const int take = std::min<std::uint32_t>(left, todo);
                    std::fill_n(p, take, value->value);
                    p += take;
                    todo -= take;
                    left -= take;
                }
            }
        }
    }
    for (const PixelPatch& patch : m_patches)
        picture.Set(patch.x, patch.y, patch.value);
    return m_rect;
}
