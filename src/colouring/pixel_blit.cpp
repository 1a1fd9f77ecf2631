#include "colouring/pixel_blit.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool SameSize(const PixelBuffer& a, const PixelBuffer& b) {
    return a.Width() == b.Width() && a.Height() == b.Height();
}

// out[i] := (a[i] | b[i]) & kRgbMask for n pixels.
void OrRun(const Pixel* a, const Pixel* b, Pixel* out, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgbMask));
    auto orAt = [&](int at) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at),
                         _mm_and_si128(_mm_or_si128(va, vb), rgb));
    };
    for (; i + 8 <= n; i += 8) {
        orAt(i);
        orAt(i + 4);
    }
#endif
    for (; i < n; ++i)
        out[i] = (a[i] | b[i]) & kRgbMask;
}

// Whether the mask is white from x to the end of its word or to `to`.
bool WhiteToWordEnd(const WhiteMask::Word* white, int x, int to) {
    const int n = std::min(to, (x | 63) + 1) - x;
    const WhiteMask::Word wanted = n == 64 ? ~WhiteMask::Word{0} : (WhiteMask::Word{1} << n) - 1;
    return ((white[x >> 6] >> (x & 63)) & wanted) == wanted;
}

// One row of ComposeOr over [from, to): stretches of whole 64-pixel words
// that are all white are filled with white, the rest ORed.
void ComposeRow(const Pixel* picture, const Pixel* overlay, const WhiteMask::Word* white,
                Pixel* out, int from, int to) {
    for (int x = from; x < to;) {
        const bool isWhite = WhiteToWordEnd(white, x, to);
        int end = std::min(to, (x | 63) + 1);
        while (end < to && WhiteToWordEnd(white, end, to) == isWhite)
            end = std::min(to, end + 64);
        if (isWhite)
            std::fill(out + x, out + end, kRgbMask);
        else
            OrRun(picture + x, overlay + x, out + x, end - x);
        x = end;
    }
}

} // namespace

PixelRect CopyPixels(const PixelBuffer& source, PixelBuffer& target, const PixelRect& rect) {
    if (&source == &target)
        return {};
    const PixelRect r = IntersectRect(IntersectRect(rect, source.Bounds()), target.Bounds());
    if (r.IsEmpty())
        return {};
    if (SameSize(source, target) && r.left == 0 && r.right == target.Width()) {
        const std::size_t at = static_cast<std::size_t>(r.top) * static_cast<std::size_t>(r.right);
        const std::size_t n =
            static_cast<std::size_t>(r.Height()) * static_cast<std::size_t>(r.right);
        std::memcpy(target.Data() + at, source.Data() + at, n * sizeof(Pixel));
        return r;
    }
    for (int y = r.top; y < r.bottom; ++y)
        std::copy(source.Row(y) + r.left, source.Row(y) + r.right, target.Row(y) + r.left);
    return r;
}

PixelRect ComposeOr(const PixelBuffer& picture, const PixelBuffer& overlay,
                    const WhiteMask& overlayWhite, PixelBuffer& target, const PixelRect& rect) {
    if (!SameSize(picture, target) || !SameSize(overlay, target) ||
        overlayWhite.Width() != target.Width() || overlayWhite.Height() != target.Height())
        return {};
    const PixelRect r = IntersectRect(rect, target.Bounds());
    for (int y = r.top; y < r.bottom; ++y)
        ComposeRow(picture.Row(y), overlay.Row(y), overlayWhite.Row(y), target.Row(y), r.left,
                   r.right);
    return r;
}
