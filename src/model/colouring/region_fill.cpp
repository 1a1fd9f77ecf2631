#include "model/colouring/region_fill.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The helpers below are forced inline: a fill of thin shapes calls them once
// per pixel, and as calls they cost more than the work they do.
#define FILL_INLINE [[gnu::always_inline]] inline

namespace {

constexpr Pixel kBlack = 0;

#if defined(__SSE2__)
FILL_INLINE __m128i Load4(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
FILL_INLINE unsigned LaneMask(__m128i equal) {
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(equal)));
}
#endif

// First index from x on, below end, at which Match4 has a zero bit; end when none has.
template <class Row> FILL_INLINE int FirstMismatch(const Row& row, int x, int end) {
    for (; x + 4 <= end; x += 4) {
        const unsigned m = row.Match4(x);
        if (m != 0xFu)
            return x + std::countr_one(m);
    }
    while (x < end && row.Match(x))
        ++x;
    return x;
}

// One row of a surface fill's region: pixels whose colour is the target's.
class SurfaceRow {
public:
    SurfaceRow(Pixel* pixels, Pixel target) : m_pixels(pixels), m_target(target) {}

    FILL_INLINE bool Match(int x) const { return (m_pixels[x] & kRgbMask) == m_target; }
    // Bit k is set when pixel x + k matches (k = 0..3).
    FILL_INLINE unsigned Match4(int x) const {
#if defined(__SSE2__)
        const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
        const __m128i target = _mm_set1_epi32(static_cast<int>(m_target));
        return LaneMask(_mm_cmpeq_epi32(_mm_and_si128(Load4(m_pixels + x), rgb), target));
#else
        return Match(x) | Match(x + 1) << 1 | Match(x + 2) << 2 | Match(x + 3) << 3;
#endif
    }
    // First index from x on, below end, that does not match; end when all do.
    FILL_INLINE int RunEnd(int x, int end) const {
        return FirstMismatch(*this, x, end);
    }
    FILL_INLINE void Paint(int from, int to, Pixel colour) const {
        std::fill(m_pixels + from, m_pixels + to, colour);
    }
    FILL_INLINE void Prefetch(int x) const {
        __builtin_prefetch(m_pixels + x, 1);
    }

private:
    Pixel* m_pixels;
    Pixel m_target;
};

// Black pixels of a row, the picture's half of the black-area test.
class BlackRow {
public:
    explicit BlackRow(const Pixel* pixels) : m_pixels(pixels) {}
    FILL_INLINE bool Match(int x) const { return (m_pixels[x] & kRgbMask) == kBlack; }
    FILL_INLINE unsigned Match4(int x) const {
#if defined(__SSE2__)
        const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
        const __m128i black = _mm_and_si128(Load4(m_pixels + x), rgb);
        return LaneMask(_mm_cmpeq_epi32(black, _mm_setzero_si128()));
#else
        return Match(x) | Match(x + 1) << 1 | Match(x + 2) << 2 | Match(x + 3) << 3;
#endif
    }

private:
    const Pixel* m_pixels;
};

// One row of a black-area fill's region: black in the picture, white in the overlay.
class BlackAreaRow {
public:
    BlackAreaRow(Pixel* pixels, const WhiteMask::Word* white) : m_pixels(pixels), m_white(white) {}

    // The mask first: it rejects outlines without reading the picture.
    FILL_INLINE bool Match(int x) const {
        return ((m_white[x >> 6] >> (x & 63)) & 1) != 0 && (m_pixels[x] & kRgbMask) == kBlack;
    }
    FILL_INLINE unsigned Match4(int x) const {
        const unsigned blacks = BlackRow{m_pixels}.Match4(x);
        // Four bits from x on, which may straddle two words; the mask's spare
        // word at the end of each row makes the second read safe.
        const int shift = x & 63;
        const WhiteMask::Word* word = m_white + (x >> 6);
        const WhiteMask::Word bits = (word[0] >> shift) | ((word[1] << 1) << (63 - shift));
        return blacks & static_cast<unsigned>(bits & 0xFu);
    }
    // A long run is bounded by the white run of the mask, found 64 pixels at
    // a time, and then checked for black in the picture alone.
    FILL_INLINE int RunEnd(int x, int end) const {
        int white = x;
        while (white < end) {
            const int shift = white & 63;
            const int ones = std::countr_one(m_white[white >> 6] >> shift);
            white += ones;
            if (ones < 64 - shift)
                break;
        }
        return FirstMismatch(BlackRow{m_pixels}, x, std::min(white, end));
    }
    FILL_INLINE void Paint(int from, int to, Pixel colour) const {
        std::fill(m_pixels + from, m_pixels + to, colour);
    }
    FILL_INLINE void Prefetch(int x) const {
        __builtin_prefetch(m_pixels + x, 1);
        __builtin_prefetch(m_white + (x >> 6));
    }

private:
    Pixel* m_pixels;
    const WhiteMask::Word* m_white;
};

class SurfaceRegion {
public:
    SurfaceRegion(PixelBuffer& picture, Pixel target)
        : m_pixels(picture.Data()), m_stride(picture.Width()), m_target(target) {}
    FILL_INLINE SurfaceRow RowAt(int y) const { return {m_pixels + y * m_stride, m_target}; }

private:
    Pixel* m_pixels;
    std::ptrdiff_t m_stride;
    Pixel m_target;
};

class BlackAreaRegion {
public:
    BlackAreaRegion(PixelBuffer& picture, const WhiteMask& white)
        : m_pixels(picture.Data()), m_stride(picture.Width()), m_white(white) {}
    FILL_INLINE BlackAreaRow RowAt(int y) const {
        return {m_pixels + y * m_stride, m_white.Row(y)};
    }

private:
    Pixel* m_pixels;
    std::ptrdiff_t m_stride;
    const WhiteMask& m_white;
};

// First index from x on, below end, that does not match; end when all do.
template <class Row> FILL_INLINE int RunEnd(const Row& row, int x, int end) {
    if (x < end && !row.Match(x)) // thin shapes end here: skip the wide test
        return x;
    return row.RunEnd(x, end);
}

// First index from x on, below end, that matches; end or more when none does.
template <class Row> FILL_INLINE int NextMatch(const Row& row, int x, int end) {
    if (x < end && row.Match(x))
        return x;
    for (; x + 4 <= end; x += 4) {
        const unsigned m = row.Match4(x);
        if (m != 0)
            return x + std::countr_zero(m);
    }
    while (x < end && !row.Match(x))
        ++x;
    return x;
}

// Start of the run of matching pixels that ends just before x.
template <class Row> FILL_INLINE int RunBegin(const Row& row, int x) {
    if (x > 0 && !row.Match(x - 1))
        return x;
    for (; x >= 4; x -= 4) {
        // The pixel at x - 1 is in bit 3; count matches downwards from it.
        const int n = std::countl_one(static_cast<std::uint8_t>(row.Match4(x - 4) << 4));
        if (n < 4)
            return x - n;
    }
    while (x > 0 && row.Match(x - 1))
        --x;
    return x;
}

// A painted run [x0, x1) of row y, found from the run [parent0, parent1) of
// row y - dir. Its row y + dir must be searched wholly; its row y - dir only
// where it reaches beyond the parent, since the rest of that row is the parent.
struct Span {
    int y, x0, x1;
    int parent0, parent1;
    int dir;
};

// The scan-line fill shared by both fills. Painting a run takes its pixels out
// of the region (the fill colour never matches), so each pixel is painted once
// and the stack holds at most one entry per run of the picture.
template <class Region> class SpanFill {
public:
    SpanFill(const Region& region, int width, int height, Pixel colour)
        : m_region(region), m_width(width), m_height(height), m_colour(colour) {}

    PixelRect Run(int x, int y) {
        const auto row = m_region.RowAt(y);
        if (!row.Match(x))
            return {};
        const int x0 = RunBegin(row, x);
        const int x1 = RunEnd(row, x + 1, m_width);
        row.Paint(x0, x1, m_colour);
        m_changed = {x0, y, x1, y + 1};
        m_stack.push_back({y, x0, x1, x0, x1, 1});
        m_stack.push_back({y, x0, x1, x0, x1, -1});
        while (!m_stack.empty()) {
            const Span s = m_stack.back();
            m_stack.pop_back();
            Process(s);
        }
        return m_changed;
    }

private:
    void Process(Span s) {
        Scan(s, s.y - s.dir, s.x0, std::min(s.x1, s.parent0), -s.dir);
        Scan(s, s.y - s.dir, std::max(s.x0, s.parent1), s.x1, -s.dir);
        if (s.x1 - s.x0 == 1)
            s = FollowColumn(s);
        Scan(s, s.y + s.dir, s.x0, s.x1, s.dir);
    }

    // Thin vertical parts (the worst case of a scan-line fill: one run per
    // pixel) go through this loop instead of the stack: while the pixel ahead
    // of a one-pixel run matches and its two neighbours do not, it is the next
    // one-pixel run, with nothing behind it left to search. Returns the last
    // run of the chain; only its row ahead remains to be searched.
    Span FollowColumn(const Span& s) {
        const int x = s.x0;
        int y = s.y;
        for (;;) {
            const int next = y + s.dir;
            if (next < 0 || next >= m_height)
                break;
            const auto row = m_region.RowAt(next);
            if (!row.Match(x) || (x > 0 && row.Match(x - 1)) ||
                (x + 1 < m_width && row.Match(x + 1)))
                break;
            // A column walk reads a new cache line per row: ask for later rows early.
            const int ahead = next + 8 * s.dir;
            if (ahead >= 0 && ahead < m_height)
                m_region.RowAt(ahead).Prefetch(x);
            row.Paint(x, x + 1, m_colour);
            y = next;
        }
        if (y == s.y)
            return s;
        m_changed.top = std::min(m_changed.top, y);
        m_changed.bottom = std::max(m_changed.bottom, y + 1);
        return {y, x, x + 1, x, x + 1, s.dir};
    }

    // Paints every run of row y that touches [a, b) and queues it.
    void Scan(const Span& from, int y, int a, int b, int dir) {
        if (a >= b || y < 0 || y >= m_height)
            return;
        const auto row = m_region.RowAt(y);
        int x = NextMatch(row, a, b);
        while (x < b) {
            // Only a run found at a can reach left of it: before any later
            // find lies a pixel that did not match.
            const int start = x == a ? RunBegin(row, x) : x;
            const int end = RunEnd(row, x + 1, m_width);
            row.Paint(start, end, m_colour);
            m_changed.left = std::min(m_changed.left, start);
            m_changed.right = std::max(m_changed.right, end);
            m_changed.top = std::min(m_changed.top, y);
            m_changed.bottom = std::max(m_changed.bottom, y + 1);
            m_stack.push_back({y, start, end, from.x0, from.x1, dir});
            x = NextMatch(row, end + 1, b);
        }
    }

    Region m_region;
    int m_width;
    int m_height;
    Pixel m_colour;
    PixelRect m_changed;
    std::vector<Span> m_stack;
};

} // namespace

PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour) {
    if (!picture.Contains(x, y))
        return {};
    const Pixel target = picture.At(x, y) & kRgbMask;
    colour &= kRgbMask;
    if (target == colour)
        return {};
    SpanFill fill(SurfaceRegion(picture, target), picture.Width(), picture.Height(), colour);
    return fill.Run(x, y);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const WhiteMask& overlayWhite, int x, int y,
                        Pixel colour) {
    colour &= kRgbMask;
    if (overlayWhite.Width() != picture.Width() || overlayWhite.Height() != picture.Height() ||
        !picture.Contains(x, y) || colour == kBlack)
        return {};
    SpanFill fill(BlackAreaRegion(picture, overlayWhite), picture.Width(), picture.Height(),
                  colour);
    return fill.Run(x, y);
}

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelBuffer& overlay, int x, int y,
                        Pixel colour) {
    if (overlay.Width() != picture.Width() || overlay.Height() != picture.Height())
        return {};
    return BlackAreaFill(picture, WhiteMask(overlay), x, y, colour);
}
