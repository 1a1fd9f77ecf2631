#include "colouring/region_fill.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr Pixel kBlack = 0;
constexpr Pixel kWhite = kRgbMask;

#if defined(__SSE2__)
__m128i Load4(const Pixel* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
unsigned LaneMask(__m128i equal) {
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(equal)));
}
#endif

// One row of a surface fill's region: pixels whose colour is the target's.
class SurfaceRow {
public:
    SurfaceRow(Pixel* pixels, Pixel target) : m_pixels(pixels), m_target(target) {}

    bool Match(int x) const { return (m_pixels[x] & kRgbMask) == m_target; }
    // Bit k is set when pixel x + k matches (k = 0..3).
    unsigned Match4(int x) const {
#if defined(__SSE2__)
        const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
        const __m128i target = _mm_set1_epi32(static_cast<int>(m_target));
        return LaneMask(_mm_cmpeq_epi32(_mm_and_si128(Load4(m_pixels + x), rgb), target));
#else
        return Match(x) | Match(x + 1) << 1 | Match(x + 2) << 2 | Match(x + 3) << 3;
#endif
    }
    void Paint(int from, int to, Pixel colour) const {
        std::fill(m_pixels + from, m_pixels + to, colour);
    }

private:
    Pixel* m_pixels;
    Pixel m_target;
};

// One row of a black-area fill's region: black in the picture, white in the overlay.
class BlackAreaRow {
public:
    BlackAreaRow(Pixel* pixels, const Pixel* overlay) : m_pixels(pixels), m_overlay(overlay) {}

    bool Match(int x) const {
        return (m_pixels[x] & kRgbMask) == kBlack && (m_overlay[x] & kRgbMask) == kWhite;
    }
    unsigned Match4(int x) const {
#if defined(__SSE2__)
        const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
        const __m128i black = _mm_and_si128(Load4(m_pixels + x), rgb);
        const __m128i white = _mm_xor_si128(_mm_and_si128(Load4(m_overlay + x), rgb), rgb);
        // Both are zero exactly on matching pixels.
        return LaneMask(_mm_cmpeq_epi32(_mm_or_si128(black, white), _mm_setzero_si128()));
#else
        return Match(x) | Match(x + 1) << 1 | Match(x + 2) << 2 | Match(x + 3) << 3;
#endif
    }
    void Paint(int from, int to, Pixel colour) const {
        std::fill(m_pixels + from, m_pixels + to, colour);
    }

private:
    Pixel* m_pixels;
    const Pixel* m_overlay;
};

class SurfaceRegion {
public:
    SurfaceRegion(PixelBuffer& picture, Pixel target) : m_picture(picture), m_target(target) {}
    SurfaceRow RowAt(int y) const { return {m_picture.Row(y), m_target}; }

private:
    PixelBuffer& m_picture;
    Pixel m_target;
};

class BlackAreaRegion {
public:
    BlackAreaRegion(PixelBuffer& picture, const PixelBuffer& overlay)
        : m_picture(picture), m_overlay(overlay) {}
    BlackAreaRow RowAt(int y) const { return {m_picture.Row(y), m_overlay.Row(y)}; }

private:
    PixelBuffer& m_picture;
    const PixelBuffer& m_overlay;
};

// First x in [from, end) that does not match, or end.
template <class Row> int RunEnd(const Row& row, int x, int end) {
    for (; x + 4 <= end; x += 4) {
        const unsigned m = row.Match4(x);
        if (m != 0xFu)
            return x + std::countr_one(m);
    }
    while (x < end && row.Match(x))
        ++x;
    return x;
}

// First x in [from, end) that matches; end or more when none does.
template <class Row> int NextMatch(const Row& row, int x, int end) {
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
template <class Row> int RunBegin(const Row& row, int x) {
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
            Scan(s, s.y + s.dir, s.x0, s.x1, s.dir);
            Scan(s, s.y - s.dir, s.x0, std::min(s.x1, s.parent0), -s.dir);
            Scan(s, s.y - s.dir, std::max(s.x0, s.parent1), s.x1, -s.dir);
        }
        return m_changed;
    }

private:
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

PixelRect BlackAreaFill(PixelBuffer& picture, const PixelBuffer& overlay, int x, int y,
                        Pixel colour) {
    colour &= kRgbMask;
    if (overlay.Width() != picture.Width() || overlay.Height() != picture.Height() ||
        !picture.Contains(x, y) || colour == kBlack)
        return {};
    SpanFill fill(BlackAreaRegion(picture, overlay), picture.Width(), picture.Height(), colour);
    return fill.Run(x, y);
}
