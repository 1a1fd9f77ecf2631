#include "model/colouring/region_fill.h"

#include <algorithm>
#include <bit>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The helpers below are forced inline: a fill of thin shapes calls them once
// per run of one pixel, and as calls they would cost more than their work.
#define FILL_INLINE [[gnu::always_inline]] inline

namespace {

using Word = PixelMask::Word;
constexpr int kBits = PixelMask::kWordBits;
constexpr Pixel kBlack = 0;

// The bits of `m` in runs that hold a bit of `seeds` (seeds within m),
// within one word: upwards by the carry of an addition, downwards by a
// doubling smear (each step lets bits move twice as far through m).
FILL_INLINE Word ExpandInRuns(Word seeds, Word m) {
    const Word up = m & (((m + seeds) ^ m) | seeds);
    Word down = seeds;
    Word pass = m;
    for (int shift = 1; shift < kBits; shift *= 2) {
        down |= pass & (down >> shift);
        pass &= pass >> shift;
    }
    return up | down;
}

// Reads one row of a surface fill's region: pixels of the target colour.
class SurfaceMatch {
public:
    SurfaceMatch(const PixelBuffer& picture, Pixel target) : m_picture(picture), m_target(target) {}
    void Read(int y, Word* out) const {
        const Pixel* row = m_picture.Row(y);
        const int width = m_picture.Width();
        for (int x = 0; x < width; x += kBits)
            out[x / kBits] = ColourBits(row + x, std::min(kBits, width - x), m_target);
    }

private:
    const PixelBuffer& m_picture;
    Pixel m_target;
};

// Reads one row of a black-area fill's region: black in the picture and
// white in the overlay.
class BlackAreaMatch {
public:
    BlackAreaMatch(const PixelBuffer& picture, const PixelMask& white)
        : m_picture(picture), m_white(white) {}
    void Read(int y, Word* out) const {
        const Pixel* row = m_picture.Row(y);
        const Word* white = m_white.Row(y);
        const int width = m_picture.Width();
        for (int x = 0; x < width; x += kBits) {
            // Outlines are skipped without reading the picture.
            const Word w = white[x / kBits];
            out[x / kBits] =
                w == 0 ? 0 : w & ColourBits(row + x, std::min(kBits, width - x), kBlack);
        }
    }

private:
    const PixelBuffer& m_picture;
    const PixelMask& m_white;
};

// Adds to `patches` the pixels among the 64 at p (pixel x, row y) whose bit
// is set in `bits` and whose value is not `expected`.
void CollectPatches(const Pixel* p, Word bits, int x, int y, Pixel expected,
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

// The search: a word of 64 pixels at a time. A word reached at some bits
// takes every available run of its own that holds one of them, and passes
// the taken bits on to the words above and below and, across its ends, to its
// neighbours in the row. A word waits on the stack at most once however often
// it is reached, so one visit takes runs reached from many sides; pushing is
// branch-free, since on thin shapes such branches are unpredictable.
//
// A word taken whole in one visit is painted at once: the search walks such
// words along their row, just after reading the rows round it, so its pixels
// are still in the cache, where a later pass would read them from memory
// again. Words taken in parts are left to the paint pass, which goes in the
// order of the rows (see Search).
template <class Match> class WordSearch {
public:
    WordSearch(const Match& match, const Painter& painter, FillScratch& scratch)
        : m_match(match), m_painter(painter), m_s(scratch) {}

    PixelRect Run(int x, int y) {
        const std::size_t stride = static_cast<std::size_t>(m_s.stride);
        // Padded row and word of the word searched; the row by a multiply
        // with the reciprocal of the stride, exact for indices below 2^32.
        std::size_t prow = static_cast<std::size_t>(y) + 1;
        std::size_t pw = static_cast<std::size_t>(x / kBits) + 1;
        const std::uint64_t reciprocal = ~std::uint64_t{0} / stride + 1;
        EnsureRead(prow);
        const std::size_t seed = Index(x / kBits, y);
        const Word bit = Word{1} << (x % kBits);
        if ((m_s.available[seed] & bit) == 0)
            return {};
        Word* avail = m_s.available.data();
        Word* pending = m_s.pending.data();
        Word* region = m_s.region.data();
        std::uint32_t* stack = m_s.stack.data();
        pending[seed] = bit;
        std::size_t top = 0;
        std::size_t lowest = seed;
        std::size_t highest = seed;
        const auto reach = [&](std::size_t at, Word bits) {
            const Word was = pending[at];
            pending[at] = was | bits;
            stack[top] = static_cast<std::uint32_t>(at);
            top += static_cast<std::size_t>((bits != 0) & (was == 0));
        };
        std::size_t at = seed;
        for (;;) {
            const Word m = avail[at];
            const Word seeds = pending[at] & m;
            const Word taken = m == ~Word{0} && seeds != 0 ? m : ExpandInRuns(seeds, m);
            pending[at] = 0;
            avail[at] = m & ~taken;
            region[at] |= taken;
            lowest = std::min(lowest, at);
            highest = std::max(highest, at);
            if (taken == ~Word{0}) {
                m_painter.PaintWhole(static_cast<int>(pw) - 1, static_cast<int>(prow) - 1);
                m_s.paintedWhole[at] = 1;
            }
            EnsureRead(prow - 1);
            EnsureRead(prow + 1);
            reach(at - stride, taken & avail[at - stride]);
            reach(at + stride, taken & avail[at + stride]);
            reach(at - 1, (taken << (kBits - 1)) & avail[at - 1]);
            // A run going on into the next word is followed at once, as a
            // scan-line fill follows a row, rather than through the stack.
            const Word right = (taken >> (kBits - 1)) & avail[at + 1] & 1;
            if (right != 0) {
                pending[at + 1] |= right;
                ++at;
                ++pw;
            } else if (top > 0) {
                at = stack[--top];
                prow = static_cast<std::size_t>((static_cast<unsigned __int128>(reciprocal) * at) >>
                                                64);
                pw = at - prow * stride;
            } else {
                break;
            }
        }
        return Box(lowest / stride - 1, highest / stride - 1);
    }

private:
    std::size_t Index(int word, int y) const {
        return static_cast<std::size_t>(y + 1) * m_s.stride + word + 1;
    }

    // Reads padded row `prow` of the picture unless done; the padding rows
    // count as read, as they stay clear.
    FILL_INLINE void EnsureRead(std::size_t prow) {
        if (m_s.rowRead[prow])
            return;
        m_s.rowRead[prow] = 1;
        m_match.Read(static_cast<int>(prow) - 1, m_s.available.data() + prow * m_s.stride + 1);
    }

    // The exact bounding box of the region, which lies in rows [top, bottom].
    PixelRect Box(std::size_t top, std::size_t bottom) const {
        const int words = m_s.stride - 2;
        PixelRect box{m_s.width, static_cast<int>(top), 0, static_cast<int>(bottom) + 1};
        for (int y = box.top; y < box.bottom; ++y) {
            const Word* row = m_s.RegionRow(y);
            for (int w = 0; w < words; ++w)
                if (row[w] != 0) {
                    box.left = std::min(box.left, w * kBits + std::countr_zero(row[w]));
                    break;
                }
            for (int w = words - 1; w >= 0; --w)
                if (row[w] != 0) {
                    box.right = std::max(box.right, w * kBits + kBits - std::countl_zero(row[w]));
                    break;
                }
        }
        return box;
    }

    const Match& m_match;
    const Painter& m_painter;
    FillScratch& m_s;
};

// Makes the scratch fit the picture with an empty region. Only the rows of
// the previous region are cleared; the available bits are read afresh, and
// every pending word and painted flag was cleared by the search that set it.
void Prepare(FillScratch& s, int width, int height) {
    const int words = (width + kBits - 1) / kBits;
    const std::size_t padded = static_cast<std::size_t>(words + 2) * (height + 2);
    if (s.width != width || s.height != height) {
        s.width = width;
        s.height = height;
        s.stride = words + 2;
        s.region.assign(padded, 0);
        s.available.assign(padded, 0);
        s.pending.assign(padded, 0);
        s.paintedWhole.assign(padded, 0);
        // A word waits at most once, and a word followed into along its row
        // may leave one stale entry behind: twice the words always suffice.
        s.stack.assign(2 * padded, 0);
    } else if (!s.box.IsEmpty()) {
        for (int y = s.box.top; y < s.box.bottom; ++y) {
            Word* row = s.region.data() + static_cast<std::size_t>(y + 1) * s.stride;
            std::fill(row + 1 + s.box.left / kBits, row + 2 + (s.box.right - 1) / kBits, Word{0});
        }
    }
    s.box = {};
    s.rowRead.assign(static_cast<std::size_t>(height) + 2, 0);
    s.rowRead.front() = s.rowRead.back() = 1;
}

template <class Match>
PixelRect Search(const Match& match, const Painter& painter, int x, int y, FillScratch& s) {
    Prepare(s, painter.picture.Width(), painter.picture.Height());
    if (!painter.picture.Contains(x, y))
        return {};
    s.box = WordSearch<Match>(match, painter, s).Run(x, y);
    // The words taken in parts are painted in the order of the rows, not of
    // the search: on thin shapes the search jumps about the picture, and
    // painting as it goes would miss the cache at nearly every word.
    const int w0 = s.box.left / kBits;
    const int w1 = (s.box.right - 1) / kBits;
    for (int row = s.box.top; row < s.box.bottom; ++row) {
        const Word* bits = s.RegionRow(row);
        std::uint8_t* whole = s.paintedWhole.data() + (bits - s.region.data());
        for (int w = w0; w <= w1; ++w) {
            if (bits[w] == 0)
                continue;
            if (whole[w] != 0)
                whole[w] = 0;
            else
                painter.Paint(w, row, bits[w]);
        }
    }
    return s.box;
}

} // namespace

PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour, FillScratch& scratch,
                      std::vector<PixelPatch>* patches) {
    colour &= kRgbMask;
    if (!picture.Contains(x, y) || SameColour(picture.At(x, y), colour)) {
        Prepare(scratch, picture.Width(), picture.Height());
        return {};
    }
    const Pixel seed = picture.At(x, y);
    return Search(SurfaceMatch(picture, seed & kRgbMask), Painter{picture, colour, seed, patches},
                  x, y, scratch);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelMask& overlayWhite, int x, int y,
                        Pixel colour, FillScratch& scratch, std::vector<PixelPatch>* patches) {
    colour &= kRgbMask;
    if (overlayWhite.Width() != picture.Width() || overlayWhite.Height() != picture.Height() ||
        !picture.Contains(x, y) || colour == kBlack) {
        Prepare(scratch, picture.Width(), picture.Height());
        return {};
    }
    return Search(BlackAreaMatch(picture, overlayWhite),
                  Painter{picture, colour, picture.At(x, y), patches}, x, y, scratch);
}

PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour) {
    FillScratch scratch;
    return SurfaceFill(picture, x, y, colour, scratch);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelMask& overlayWhite, int x, int y,
                        Pixel colour) {
    FillScratch scratch;
    return BlackAreaFill(picture, overlayWhite, x, y, colour, scratch);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelBuffer& overlay, int x, int y,
                        Pixel colour) {
    if (overlay.Width() != picture.Width() || overlay.Height() != picture.Height())
        return {};
    return BlackAreaFill(picture, PixelMask(overlay, kRgbMask), x, y, colour);
}
