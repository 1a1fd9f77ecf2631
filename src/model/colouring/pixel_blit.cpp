#include "model/colouring/pixel_blit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

bool SameSize(const PixelBuffer& a, const PixelBuffer& b) {
    return a.Width() == b.Width() && a.Height() == b.Height();
}

// A stretch at least this long is ORed with streaming stores, which write
// around the cache: a whole picture's three buffers then compete for the
// cache with only the two being read, instead of evicting them.
constexpr std::size_t kStreamPixels = std::size_t{1} << 20;

// out[i] := a[i] | b[i] for i in [from, to), `step` pixels (one vector) at a
// time; `Step` does one vector. Returns where it stopped (to - i < step).
template <class Step>
std::size_t OrSteps(std::size_t from, std::size_t to, std::size_t step, Step orStep) {
    std::size_t i = from;
    for (; i + step <= to; i += step)
        orStep(i);
    return i;
}

void OrScalar(const Pixel* a, const Pixel* b, Pixel* out, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        out[i] = a[i] | b[i];
}

// Pixels before out + i is aligned to `bytes` (at most n).
std::size_t AlignGap(const Pixel* out, std::size_t bytes, std::size_t n) {
    const auto misalign = reinterpret_cast<std::uintptr_t>(out) % bytes;
    return std::min(n, misalign == 0 ? 0 : (bytes - misalign) / sizeof(Pixel));
}

void OrRunPortable(const Pixel* a, const Pixel* b, Pixel* out, std::size_t n) {
    std::size_t i = 0;
#if defined(__SSE2__)
    auto load = [](const Pixel* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    if (n >= kStreamPixels && reinterpret_cast<std::uintptr_t>(out) % sizeof(Pixel) == 0) {
        i = AlignGap(out, 16, n);
        OrScalar(a, b, out, 0, i);
        i = OrSteps(i, n, 4, [&](std::size_t k) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + k),
                             _mm_or_si128(load(a + k), load(b + k)));
        });
        _mm_sfence();
    } else {
        i = OrSteps(0, n, 4, [&](std::size_t k) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                             _mm_or_si128(load(a + k), load(b + k)));
        });
    }
#endif
    OrScalar(a, b, out, i, n);
}

#if defined(__x86_64__) && defined(__GNUC__)
// With two loads and a store per step, 16-byte steps leave the OR well behind
// a copy while the buffers sit in cache; 32-byte steps close most of the gap.
// (No lambdas here: they would not inherit the function's target.)
__attribute__((target("avx2"))) void OrRunAvx2(const Pixel* a, const Pixel* b, Pixel* out,
                                               std::size_t n) {
    std::size_t i = 0;
    const bool stream =
        n >= kStreamPixels && reinterpret_cast<std::uintptr_t>(out) % sizeof(Pixel) == 0;
    if (stream) {
        i = AlignGap(out, 32, n);
        OrScalar(a, b, out, 0, i);
    }
    for (; i + 8 <= n; i += 8) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        if (stream)
            _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i), _mm256_or_si256(va, vb));
        else
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_or_si256(va, vb));
    }
    if (stream)
        _mm_sfence();
    OrScalar(a, b, out, i, n);
}

void OrRun(const Pixel* a, const Pixel* b, Pixel* out, std::size_t n) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        OrRunAvx2(a, b, out, n);
    else
        OrRunPortable(a, b, out, n);
}
#else
void OrRun(const Pixel* a, const Pixel* b, Pixel* out, std::size_t n) {
    OrRunPortable(a, b, out, n);
}
#endif

// Calls run(offset, count) for each stretch of contiguous pixels of `rect`,
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
