// Row access of the region fills (region_fill.cpp only): which pixels of a
// row are in a fill's region, found sixteen, four or 64 at a time, and the
// painting of runs and words of the region with patches for an undo step.
#pragma once

#include "model/colouring/pixel_mask.h"
#include "model/colouring/region_fill.h"
#include "model/pixel_buffer.h"

#include <algorithm>
#include <bit>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

// The helpers below are forced inline: a fill of thin shapes calls them once
// per run of one pixel, and as calls they would cost more than their work.
#define FILL_INLINE [[gnu::always_inline]] inline

namespace fill_rows {

using Word = PixelMask::Word;
constexpr int kBits = PixelMask::kWordBits;
constexpr Pixel kBlack = 0;

// The first pixel of [x, end) of `row` whose low 24 bits are `colour` when
// kSame, or are not when !kSame; end if none. Four pixels at a time: runs
// are often short, and a step over 64 pixels would mostly look past them.
template <bool kSame> FILL_INLINE int FindColour(const Pixel* row, int x, int end, Pixel colour) {
#if defined(__SSE2__)
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(colour & kRgbMask));
    for (; x + 4 <= end; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        auto same = static_cast<unsigned>(
            _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(v, rgb), wanted))));
        if (!kSame)
            same ^= 0xF;
        if (same != 0)
            return x + std::countr_zero(same);
    }
#endif
    for (; x < end; ++x)
        if (SameColour(row[x], colour) == kSame)
            return x;
    return end;
}

// The start of the run of pixels of `colour` that ends just before x,
// going no further left than `low`.
FILL_INLINE int ColourRunStart(const Pixel* row, int x, int low, Pixel colour) {
#if defined(__SSE2__)
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(colour & kRgbMask));
    for (; x - 4 >= low; x -= 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x - 4));
        const unsigned other = 0xF ^ static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(
                                         _mm_cmpeq_epi32(_mm_and_si128(v, rgb), wanted))));
        if (other != 0)
            return x - 4 + std::bit_width(other);
    }
#endif
    for (; x > low && SameColour(row[x - 1], colour); --x) {
    }
    return x;
}

// Which pixels are in a surface fill's region: those of the target colour.
class SurfaceMatch {
public:
    SurfaceMatch(const PixelBuffer& picture, Pixel target) : m_picture(picture), m_target(target) {}
    // Bits of the n (1..64) pixels of row y from x on, pixel x in bit 0.
    Word Bits(int y, int x, int n) const { return ColourBits(m_picture.Row(y) + x, n, m_target); }
    // The end of the pixels of row y from x on whose colour alone decides
    // whether they are in the region.
    int ColourDecidesUntil(int, int) const { return m_picture.Width(); }
    // The first pixel of the region in [x, end) of row y; end if none.
    int First(int y, int x, int end) const {
        return FindColour<true>(m_picture.Row(y), x, end, m_target);
    }
    // The end, at most `end`, of the run of the region from pixel x of row y on.
    int RunEnd(int y, int x, int end) const {
        return FindColour<false>(m_picture.Row(y), x, end, m_target);
    }
    // The start of the run of the region that holds pixel x of row y.
    int RunStart(int y, int x) const { return ColourRunStart(m_picture.Row(y), x, 0, m_target); }

private:
    const PixelBuffer& m_picture;
    Pixel m_target;
};

// Which pixels are in a black-area fill's region: black in the picture and
// white in the overlay.
class BlackAreaMatch {
public:
    BlackAreaMatch(const PixelBuffer& picture, const PixelMask& white)
        : m_picture(picture), m_white(white) {}
    Word Bits(int y, int x, int n) const {
        // The white bits of [x, x + n): the mask's spare word at the end of
        // each row makes the read of the next word safe. Outlines are skipped
        // without reading the picture.
        const Word* white = m_white.Row(y) + x / kBits;
        const int shift = x % kBits;
        Word w = shift == 0 ? white[0] : (white[0] >> shift) | (white[1] << (kBits - shift));
        if (n < kBits)
            w &= BitRange(0, n);
        return w == 0 ? 0 : w & ColourBits(m_picture.Row(y) + x, n, kBlack);
    }
    // The end of the overlay's white run of row y from x on.
    int ColourDecidesUntil(int y, int x) const {
        const Word* white = m_white.Row(y);
        int w = x / kBits;
        const int ones = std::countr_one(white[w] >> (x % kBits));
        if (ones < kBits - x % kBits)
            return x + ones;
        for (++w; white[w] == ~Word{0}; ++w) {
        }
        return w * kBits + std::countr_one(white[w]);
    }
    // As SurfaceMatch's: each white run of the overlay, then the black
    // pixels of the picture within it.
    int First(int y, int x, int end) const {
        const Word* white = m_white.Row(y);
        while (x < end) {
            int w = x / kBits;
            Word bits = white[w] & (~Word{0} << (x % kBits));
            while (bits == 0) {
                if (++w * kBits >= end)
                    return end;
                bits = white[w];
            }
            x = w * kBits + std::countr_zero(bits);
            if (x >= end)
                return end;
            const int whiteEnd = std::min(end, ColourDecidesUntil(y, x));
            const int black = FindColour<true>(m_picture.Row(y), x, whiteEnd, kBlack);
            if (black < whiteEnd)
                return black;
            x = whiteEnd;
        }
        return end;
    }
    int RunEnd(int y, int x, int end) const {
        return FindColour<false>(m_picture.Row(y), x, std::min(end, ColourDecidesUntil(y, x)),
                                 kBlack);
    }
    int RunStart(int y, int x) const {
        // The start of the white run that holds x.
        const Word* white = m_white.Row(y);
        int w = x / kBits;
        Word gaps = ~white[w] & BitRange(0, x % kBits);
        while (gaps == 0 && w > 0)
            gaps = ~white[--w];
        const int low = gaps == 0 ? 0 : w * kBits + std::bit_width(gaps);
        return ColourRunStart(m_picture.Row(y), x, low, kBlack);
    }

private:
    const PixelBuffer& m_picture;
    const PixelMask& m_white;
};

// Adds to `patches` the pixels among the 64 at p (pixel x, row y) whose bit
// is set in `bits` and whose value is not `expected`.
inline void CollectPatches(const Pixel* p, Word bits, int x, int y, Pixel expected,
                           std::vector<PixelPatch>& patches) {
    for (; bits != 0; bits &= bits - 1) {
        const int k = std::countr_zero(bits);
        if (p[k] != expected)
            patches.push_back({x + k, y, p[k]});
    }
}

// Whether any of the 64 pixels at p is not `expected` (all 32 bits): a
// fill's pixels nearly always all hold the seed's value, so the search for
// patches is skipped at the cost of one compare per four pixels.
FILL_INLINE bool AnyDiffers(const Pixel* p, Pixel expected) {
#if defined(__SSE2__)
    const __m128i old = _mm_set1_epi32(static_cast<int>(expected));
    __m128i same = _mm_set1_epi32(-1);
    for (int k = 0; k < kBits; k += 4)
        same = _mm_and_si128(
            same, _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k)), old));
    return _mm_movemask_epi8(same) != 0xFFFF;
#else
    for (int k = 0; k < kBits; ++k)
        if (p[k] != expected)
            return true;
    return false;
#endif
}

// Paints `colour` over the pixels of one word's set bits; with `patches`,
// first collects those not `expected`. Four pixels at a time are blended under
// a lane mask: thin regions set a few scattered bits per word, and a loop
// over their runs would branch unpredictably at each.
FILL_INLINE void PaintWord(Pixel* p, Word bits, Pixel colour, int x, int y, Pixel expected,
                           std::vector<PixelPatch>* patches) {
#if defined(__SSE2__)
    static const auto lanes = [] {
        struct Table {
            __m128i mask[16];
        } t;
        for (int n = 0; n < 16; ++n)
            t.mask[n] =
                _mm_set_epi32(n & 8 ? -1 : 0, n & 4 ? -1 : 0, n & 2 ? -1 : 0, n & 1 ? -1 : 0);
        return t;
    }();
    const __m128i paint = _mm_set1_epi32(static_cast<int>(colour));
    if (patches) {
        const __m128i old = _mm_set1_epi32(static_cast<int>(expected));
        int differ = 0;
        for (int k = 0; k < kBits; k += 4) {
            const __m128i m = lanes.mask[(bits >> k) & 0xF];
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
            differ |= _mm_movemask_epi8(_mm_andnot_si128(_mm_cmpeq_epi32(v, old), m));
        }
        if (differ != 0)
            CollectPatches(p, bits, x, y, expected, *patches);
    }
    for (int k = 0; k < kBits; k += 4) {
        const unsigned nibble = (bits >> k) & 0xF;
        if (nibble == 0)
            continue;
        __m128i* q = reinterpret_cast<__m128i*>(p + k);
        const __m128i m = lanes.mask[nibble];
        const __m128i v = _mm_loadu_si128(q);
        _mm_storeu_si128(q, _mm_or_si128(_mm_and_si128(m, paint), _mm_andnot_si128(m, v)));
    }
#else
    if (patches)
        CollectPatches(p, bits, x, y, expected, *patches);
    for (; bits != 0; bits &= bits - 1)
        p[std::countr_zero(bits)] = colour;
#endif
}

// What a fill paints over each word of its region.
struct Painter {
    PixelBuffer& picture;
    Pixel colour;
    Pixel expected;
    std::vector<PixelPatch>* patches;

    // Paints the 64 pixels of a word that lies wholly inside the picture.
    void PaintWhole(int word, int y) const {
        Pixel* p = picture.Row(y) + word * kBits;
        if (patches && AnyDiffers(p, expected))
            CollectPatches(p, ~Word{0}, word * kBits, y, expected, *patches);
        std::fill_n(p, kBits, colour);
    }

    // Paints the pixels of row y from x on, sixteen at a time, while all
    // sixteen before `end` hold exactly the seed's value, and so belong to the
    // region and need no patch; returns where it stopped. Wide regions are
    // read and painted in this one pass.
    int PaintWhileExact(int y, int x, int end) const {
#if defined(__SSE2__)
        Pixel* row = picture.Row(y);
        const __m128i old = _mm_set1_epi32(static_cast<int>(expected));
        const __m128i paint = _mm_set1_epi32(static_cast<int>(colour));
        for (; x + 16 <= end; x += 16) {
            __m128i* p = reinterpret_cast<__m128i*>(row + x);
            const __m128i same =
                _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi32(_mm_loadu_si128(p), old),
                                            _mm_cmpeq_epi32(_mm_loadu_si128(p + 1), old)),
                              _mm_and_si128(_mm_cmpeq_epi32(_mm_loadu_si128(p + 2), old),
                                            _mm_cmpeq_epi32(_mm_loadu_si128(p + 3), old)));
            if (_mm_movemask_epi8(same) != 0xFFFF)
                break;
            for (int k = 0; k < 4; ++k)
                _mm_storeu_si128(p + k, paint);
        }
#else
        (void)y;
        (void)end;
#endif
        return x;
    }

    // Paints the pixels [left, right) of row y.
    FILL_INLINE void PaintRun(int y, int left, int right) const {
        Pixel* row = picture.Row(y);
        if (patches) {
            int x = left;
            for (; x + kBits <= right; x += kBits)
                if (AnyDiffers(row + x, expected))
                    CollectPatches(row + x, ~Word{0}, x, y, expected, *patches);
            for (; x < right; ++x)
                if (row[x] != expected)
                    patches->push_back({x, y, row[x]});
        }
        Fill(row, left, right);
    }

    // Sets the pixels [left, right) of `row` to the colour. Four at a time,
    // the last four overlapping those before: most runs are short, and a
    // general fill spends longer choosing its path than storing them.
    FILL_INLINE void Fill(Pixel* row, int left, int right) const {
#if defined(__SSE2__)
        if (right - left >= 4) {
            const __m128i paint = _mm_set1_epi32(static_cast<int>(colour));
            for (int x = left; x + 4 < right; x += 4)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), paint);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + right - 4), paint);
            return;
        }
#endif
        for (int x = left; x < right; ++x)
            row[x] = colour;
    }

    void Paint(int word, int y, Word bits) const {
        Pixel* p = picture.Row(y) + word * kBits;
        const int x = word * kBits;
        if (bits == ~Word{0} && x + kBits <= picture.Width()) {
            PaintWhole(word, y);
        } else if (x + kBits <= picture.Width()) {
            PaintWord(p, bits, colour, x, y, expected, patches);
        } else {
            // The last word of a row may reach past the picture.
            for (; bits != 0; bits &= bits - 1) {
                const int k = std::countr_zero(bits);
                if (patches && p[k] != expected)
                    patches->push_back({x + k, y, p[k]});
                p[k] = colour;
            }
        }
    }
};

} // namespace fill_rows
