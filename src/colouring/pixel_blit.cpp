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

// out[i] := a[i] | b[i] for n pixels.
void OrRun(const Pixel* a, const Pixel* b, Pixel* out, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
        const auto* pa = reinterpret_cast<const __m128i*>(a + i);
        const auto* pb = reinterpret_cast<const __m128i*>(b + i);
        auto* po = reinterpret_cast<__m128i*>(out + i);
        _mm_storeu_si128(po, _mm_or_si128(_mm_loadu_si128(pa), _mm_loadu_si128(pb)));
        _mm_storeu_si128(po + 1, _mm_or_si128(_mm_loadu_si128(pa + 1), _mm_loadu_si128(pb + 1)));
    }
#endif
    for (; i < n; ++i)
        out[i] = a[i] | b[i];
}

// Calls run(offset, count) for each stretch of contiguous pixels of rect,
// which lies inside a buffer `width` pixels wide: one stretch when the
// rectangle spans whole rows, else one per row.
template <class Run> void ForEachStretch(const PixelRect& rect, int width, Run run) {
    const auto w = static_cast<std::size_t>(width);
    if (rect.left == 0 && rect.right == width) {
        run(static_cast<std::size_t>(rect.top) * w, static_cast<std::size_t>(rect.Height()) * w);
        return;
    }
    for (int y = rect.top; y < rect.bottom; ++y)
        run(static_cast<std::size_t>(y) * w + static_cast<std::size_t>(rect.left),
            static_cast<std::size_t>(rect.Width()));
}

} // namespace

PixelRect CopyPixels(const PixelBuffer& source, PixelBuffer& target, const PixelRect& rect) {
    if (&source == &target)
        return {};
    const PixelRect r = IntersectRect(IntersectRect(rect, source.Bounds()), target.Bounds());
    if (r.IsEmpty())
        return {};
    if (SameSize(source, target)) {
        ForEachStretch(r, target.Width(), [&](std::size_t at, std::size_t n) {
            std::memcpy(target.Data() + at, source.Data() + at, n * sizeof(Pixel));
        });
        return r;
    }
    for (int y = r.top; y < r.bottom; ++y)
        std::copy(source.Row(y) + r.left, source.Row(y) + r.right, target.Row(y) + r.left);
    return r;
}

PixelRect OrPixels(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& target,
                   const PixelRect& rect) {
    if (!SameSize(first, target) || !SameSize(second, target))
        return {};
    const PixelRect r = IntersectRect(rect, target.Bounds());
    if (r.IsEmpty())
        return {};
    ForEachStretch(r, target.Width(), [&](std::size_t at, std::size_t n) {
        OrRun(first.Data() + at, second.Data() + at, target.Data() + at, n);
    });
    return r;
}

PixelBuffer CopyOut(const PixelBuffer& source, const PixelRect& rect) {
    const PixelRect r = IntersectRect(rect, source.Bounds());
    if (r.IsEmpty())
        return {};
    PixelBuffer out(r.Width(), r.Height());
    for (int y = r.top; y < r.bottom; ++y)
        std::copy(source.Row(y) + r.left, source.Row(y) + r.right, out.Row(y - r.top));
    return out;
}

PixelRect CopyIn(const PixelBuffer& pixels, PixelBuffer& target, int left, int top) {
    if (&pixels == &target)
        return {};
    // 64-bit sums: a hostile corner near INT_MAX must not overflow.
    const long long right = static_cast<long long>(left) + pixels.Width();
    const long long bottom = static_cast<long long>(top) + pixels.Height();
    const PixelRect placed{left, top, static_cast<int>(std::min<long long>(right, target.Width())),
                           static_cast<int>(std::min<long long>(bottom, target.Height()))};
    const PixelRect r = IntersectRect(placed, target.Bounds());
    if (r.IsEmpty())
        return {};
    for (int y = r.top; y < r.bottom; ++y) {
        const Pixel* from = pixels.Row(y - top) + (r.left - left);
        std::copy(from, from + r.Width(), target.Row(y) + r.left);
    }
    return r;
}
