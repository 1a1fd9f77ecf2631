// The bitmap operations that neither read nor write files: measuring,
// palettes, and conversion between bitmaps and picture buffers.
#include "model/display/dib.h"
#include "model/display/colour_match.h"
#include "model/display/dib_format.h"
#include "model/display/palette_builder.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace dib_detail {

bool IsWellFormed(const Dib& dib) {
    const DibHeader& h = dib.header;
    if (h.width <= 0 || h.height <= 0)
        return false;
    const std::size_t count = std::size_t(h.width) * std::size_t(h.height);
    if (h.IsIndexed())
        return dib.indices.size() == count && dib.colorTable.size() <= 256 && dib.pixels.IsEmpty();
    return dib.pixels.Width() == h.width && dib.pixels.Height() == h.height &&
           dib.indices.empty() && dib.colorTable.empty();
}

} // namespace dib_detail

using namespace dib_detail;

namespace {

// A word whose eight bytes are all one index is that index times this.
constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;

// Eight indices a step, read as one word. The plain loop is slower: the
// compiler vectorises it into lookups done lane by lane. Pages are mostly
// wide areas of one colour, so eight equal indices are common and take one
// lookup and two wide stores.
void LookUpEach(const std::uint8_t* src, Pixel* dst, std::size_t count,
                const ColourLookup& lookup) {
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, src + i, sizeof word);
        if (word == (word & 0xFF) * kEveryByte) {
            std::fill_n(dst + i, 8, lookup[word & 0xFF]);
            continue;
        }
        for (std::size_t k = 0; k < 8; ++k)
            dst[i + k] = lookup[src[i + k]];
    }
    for (; i < count; ++i)
        dst[i] = lookup[src[i]];
}

#if defined(__x86_64__) && defined(__GNUC__)
// Indices of pictures of 4 bits or fewer, 32 a step: a byte shuffle
// looks up the blue, the green and the red of all 32 at once, about four
// times faster than the lookups one by one. Unpacking interleaves the three
// into pixels but works within each 128-bit half, so the halves are put back
// in picture order before they are stored.
__attribute__((target("avx2"))) void LookUpSixteenAvx2(const std::uint8_t* src, Pixel* dst,
                                                       std::size_t count,
                                                       const ColourLookup& lookup) {
    alignas(16) std::uint8_t planes[3][16];
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
            planes[c][i] = static_cast<std::uint8_t>(lookup[std::size_t(i)] >> (8 * c));
    // (No lambda: it would not inherit the function's target.)
    const __m128i* table = reinterpret_cast<const __m128i*>(planes);
    const __m256i blues = _mm256_broadcastsi128_si256(_mm_load_si128(table));
    const __m256i greens = _mm256_broadcastsi128_si256(_mm_load_si128(table + 1));
    const __m256i reds = _mm256_broadcastsi128_si256(_mm_load_si128(table + 2));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i highNibble = _mm256_set1_epi8(static_cast<char>(0xF0));
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        // Decoded pictures never have larger indices; a bitmap made by hand
        // might, and they are looked up one by one as everywhere else.
        if (!_mm256_testz_si256(index, highNibble)) {
            for (std::size_t k = i; k < i + 32; ++k)
                dst[k] = lookup[src[k]];
            continue;
        }
        const __m256i b = _mm256_shuffle_epi8(blues, index);
        const __m256i g = _mm256_shuffle_epi8(greens, index);
        const __m256i r = _mm256_shuffle_epi8(reds, index);
        const __m256i bgLow = _mm256_unpacklo_epi8(b, g), bgHigh = _mm256_unpackhi_epi8(b, g);
        const __m256i rLow = _mm256_unpacklo_epi8(r, zero), rHigh = _mm256_unpackhi_epi8(r, zero);
        const __m256i p0 = _mm256_unpacklo_epi16(bgLow, rLow);   // pixels 0-3 and 16-19
        const __m256i p1 = _mm256_unpackhi_epi16(bgLow, rLow);   // 4-7 and 20-23
        const __m256i p2 = _mm256_unpacklo_epi16(bgHigh, rHigh); // 8-11 and 24-27
        const __m256i p3 = _mm256_unpackhi_epi16(bgHigh, rHigh); // 12-15 and 28-31
        auto* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out, _mm256_permute2x128_si256(p0, p1, 0x20));
        _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(p2, p3, 0x20));
        _mm256_storeu_si256(out + 2, _mm256_permute2x128_si256(p0, p1, 0x31));
        _mm256_storeu_si256(out + 3, _mm256_permute2x128_si256(p2, p3, 0x31));
    }
    LookUpEach(src + i, dst + i, count - i, lookup);
}
#endif

#if defined(__SSE2__)
// Whether the 4 x `blocks` pixels at `src` all have the colour `same`.
bool AllSame(const Pixel* src, int blocks, __m128i same) {
    const __m128i mask = _mm_set1_epi32(static_cast<int>(kRgbMask));
    __m128i equal = _mm_set1_epi32(-1);
    for (int b = 0; b < blocks; ++b) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * b));
        equal = _mm_and_si128(equal, _mm_cmpeq_epi32(_mm_and_si128(p, mask), same));
    }
    return _mm_movemask_epi8(equal) == 0xFFFF;
}
#endif

} // namespace

namespace dib_detail {

void LookUpColours(const std::uint8_t* src, Pixel* dst, std::size_t count,
                   const ColourLookup& lookup, [[maybe_unused]] bool sixteen) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (sixteen && avx2)
        return LookUpSixteenAvx2(src, dst, count, lookup);
#endif
    LookUpEach(src, dst, count, lookup);
}

ColourLookup MakeColourLookup(const std::vector<Pixel>& colorTable) {
    ColourLookup lookup{};
    const std::size_t n = std::min(colorTable.size(), lookup.size());
    for (std::size_t i = 0; i < n; ++i)
        lookup[i] = colorTable[i] & kRgbMask;
    return lookup;
}

void SizeBuffer(PixelBuffer& buffer, int width, int height) {
    if (buffer.Width() != width || buffer.Height() != height)
        buffer = PixelBuffer(width, height);
}

std::vector<Pixel> TableForPalette(const PixelBuffer& picture, const LogPalette& palette) {
    // A picture without a palette of its own (read from a true-colour file)
    // would otherwise have nothing to map to.
    return PaletteColours(palette.entries.empty() ? BuildPalette(picture) : palette);
}

// Neighbouring pixels mostly have the same colour, so the last answer is
// reused until the colour changes; the map, though fast, costs several times
// more a pixel. Sixteen pixels of the last colour are recognised at once.
void MapToIndices(const Pixel* src, std::uint8_t* dst, std::size_t count,
                  NearestColourMap& nearest) {
    constexpr std::size_t kStep = 16;
    Pixel last = src[0] & kRgbMask;
    std::uint8_t index = nearest.Index(last);
    std::size_t i = 0;
    while (i < count) {
#if defined(__SSE2__)
        const __m128i same = _mm_set1_epi32(static_cast<int>(last));
        for (; i + kStep <= count && AllSame(src + i, kStep / 4, same); i += kStep)
            std::memset(dst + i, index, kStep);
#endif
        // Pixel by pixel through the step where the colour changes.
        const std::size_t stop = std::min(count, i + kStep);
        for (; i < stop; ++i) {
            const Pixel c = src[i] & kRgbMask;
            if (c != last) {
                last = c;
                index = nearest.Index(c);
            }
            dst[i] = index;
        }
    }
}

} // namespace dib_detail

int DIBWidth(const Dib& dib) {
    return dib.header.width;
}

int DIBHeight(const Dib& dib) {
    return dib.header.height;
}

LogPalette CreateDIBPalette(const Dib& dib) {
    LogPalette palette;
    palette.palVersion = 0x300;
    if (dib.header.IsIndexed())
        for (Pixel c : dib.colorTable)
            palette.entries.push_back(PixelPaletteEntry(c));
    return palette;
}

PixelBuffer DIBToBitmap(const Dib& dib) {
    if (!dib_detail::IsWellFormed(dib))
        return {};
    if (!dib.header.IsIndexed())
        return dib.pixels;
    PixelBuffer out(dib.header.width, dib.header.height);
    LookUpColours(dib.indices.data(), out.Data(), dib.indices.size(),
                  MakeColourLookup(dib.colorTable), dib.header.bitCount <= 4);
    return out;
}

DibHandle ChangeBitmapFormat(const PixelBuffer& picture, int bitCount, std::uint32_t compression,
                             const LogPalette& palette) {
    if (bitCount != 8 || compression != kDibRgb || picture.IsEmpty() ||
        palette.entries.size() > 256)
        return nullptr;
    auto dib = std::make_unique<Dib>();
    dib->colorTable = TableForPalette(picture, palette);
    dib->header =
        DibHeader{kDibInfoHeaderSize, picture.Width(), picture.Height(), false, 8, kDibRgb};
    NearestColourMap nearest(dib->colorTable);
    // Mapped a slice at a time into a small buffer and appended: sizing the
    // vector first would clear all of it only to overwrite it.
    std::uint8_t slice[16384];
    const std::size_t count = picture.PixelCount();
    dib->indices.reserve(count);
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(count - done, sizeof slice);
        MapToIndices(picture.Data() + done, slice, n, nearest);
        dib->indices.insert(dib->indices.end(), slice, slice + n);
        done += n;
    }
    return dib;
}

void DestroyDIB(DibHandle& dib) {
    dib.reset();
}
