// Decoding uncompressed pixel rows: packed colour-table indices of 1 to 8
// bits, and true colours of 16, 24 and 32 bits with or without bit-field
// masks.
#include "model/display/dib_format.h"

#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace dib_detail {

namespace {

// Checks that the rows are all there. The last row's padding may be missing:
// it holds no pixels. Returns the stride, or 0 when the data is short.
std::uint64_t CheckRows(std::span<const std::uint8_t> data, const DibLayout& layout,
                        std::string& why) {
    const DibHeader& h = layout.header;
    const std::uint64_t stride = RowStride(std::uint64_t(h.width), h.bitCount);
    const std::uint64_t avail = data.size() - layout.pixelOffset;
    const auto fullRows = std::uint64_t(h.height - 1);
    // Divide before multiplying: the product of two file sizes may overflow.
    if ((fullRows > 0 && stride > avail / fullRows) ||
        avail - stride * fullRows < RowBytes(std::uint64_t(h.width), h.bitCount)) {
        why = "truncated pixel data";
        return 0;
    }
    return stride;
}

// Stored row r (in file order) as picture row y (top row 0).
int PictureRow(const DibHeader& h, int r) {
    return h.topDown ? r : h.height - 1 - r;
}

// Each possible byte of packed indices spread out to one byte a pixel. Pixels
// are packed from the most significant bits of each byte down.
template <int Bits> struct SpreadTable {
    static constexpr int kPerByte = 8 / Bits;
    std::array<std::array<std::uint8_t, kPerByte>, 256> pixels{};

    constexpr SpreadTable() {
        for (unsigned byte = 0; byte < 256; ++byte)
            for (int k = 0; k < kPerByte; ++k)
                pixels[byte][k] =
                    static_cast<std::uint8_t>((byte >> (8 - Bits * (k + 1))) & ((1u << Bits) - 1));
    }
};

// A whole byte's pixels are copied in one go from the table; the shifts and
// masks a pixel at a time cost several times more.
template <int Bits> void UnpackRow(const std::uint8_t* src, std::uint8_t* dst, int width) {
    static constexpr SpreadTable<Bits> kTable;
    constexpr int kPerByte = SpreadTable<Bits>::kPerByte;
    int x = 0;
    for (; x + kPerByte <= width; x += kPerByte, ++src)
        std::memcpy(dst + x, kTable.pixels[*src].data(), kPerByte);
    for (int k = 0; x < width; ++x, ++k)
        dst[x] = kTable.pixels[*src][static_cast<std::size_t>(k)];
}

// Sixteen bytes, 32 pixels, a step: the high and the low halves of the
// bytes, interleaved.
void UnpackNibbles(const std::uint8_t* src, std::uint8_t* dst, int width) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi8(0x0F);
    for (; x + 32 <= width; x += 32, src += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
        const __m128i first = _mm_and_si128(_mm_srli_epi16(bytes, 4), low);
        const __m128i second = _mm_and_si128(bytes, low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), _mm_unpacklo_epi8(first, second));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x + 16),
                         _mm_unpackhi_epi8(first, second));
    }
#endif
    UnpackRow<4>(src, dst + x, width - x);
}

void UnpackIndices(const std::uint8_t* src, std::uint8_t* dst, int width, int bits) {
    switch (bits) {
    case 1:
        UnpackRow<1>(src, dst, width);
        break;
    case 2:
        UnpackRow<2>(src, dst, width);
        break;
    case 4:
        UnpackNibbles(src, dst, width);
        break;
    default:
        std::memcpy(dst, src, static_cast<std::size_t>(width));
    }
}

// One colour channel of a bit-field pixel: the masked bits, widened to 8 bits
// by repeating them (a 5-bit 31 reads 255, 16 reads 132) or cut to their top
// 8 bits, as other readers do, so the same file shows the same colours.
class Channel {
public:
    explicit Channel(std::uint32_t mask) : m_mask(mask) {
        if (mask == 0)
            return;
        m_shift = std::countr_zero(mask);
        // Bits of a mask with holes count up to its highest bit.
        m_bits = 32 - std::countl_zero(mask >> m_shift);
        if (m_bits <= 8) {
            m_table.resize(std::size_t{1} << m_bits);
            for (std::uint32_t v = 0; v < m_table.size(); ++v)
                m_table[v] = Widen(v);
        }
    }

    std::uint8_t operator()(std::uint32_t value) const {
        if (m_mask == 0)
            return 0;
        const std::uint32_t v = (value & m_mask) >> m_shift;
        return m_table.empty() ? static_cast<std::uint8_t>(v >> (m_bits - 8)) : m_table[v];
    }

private:
    std::uint8_t Widen(std::uint32_t v) const {
        std::uint32_t out = 0;
        for (int shift = 8 - m_bits; shift > -m_bits; shift -= m_bits)
            out |= shift >= 0 ? v << shift : v >> -shift;
        return static_cast<std::uint8_t>(out);
    }

    std::uint32_t m_mask = 0;
    int m_shift = 0;
    int m_bits = 0;
    std::vector<std::uint8_t> m_table;
};

std::array<std::uint32_t, 3> EffectiveMasks(const DibLayout& layout) {
    const DibHeader& h = layout.header;
    if (h.compression == kDibBitFields || h.compression == kDibAlphaBitFields)
        return layout.masks;
    if (h.bitCount == 16)
        return {0x7C00u, 0x03E0u, 0x001Fu}; // 5-5-5
    return {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
}

void DecodeMaskedRow(const std::uint8_t* src, Pixel* dst, int width, int bits,
                     const std::array<Channel, 3>& ch) {
    const int step = bits / 8;
    for (int x = 0; x < width; ++x, src += step) {
        const std::uint32_t v = bits == 16 ? ReadU16(src) : ReadU32(src);
        dst[x] = MakePixel(ch[0](v), ch[1](v), ch[2](v));
    }
}

// Blue, green, red: read as a little-endian word with the next pixel's first
// byte on top, the low 24 bits are the pixel. The last pixel of the row is
// read byte by byte, since its word could reach past the data.
void Decode24RowScalar(const std::uint8_t* src, Pixel* dst, int width) {
    int x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 1 < width; ++x, src += 3) {
            std::uint32_t word;
            std::memcpy(&word, src, sizeof word);
            dst[x] = word & kRgbMask;
        }
    }
    for (; x < width; ++x, src += 3)
        dst[x] = MakePixel(src[2], src[1], src[0]);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Eight pixels a step: each 128-bit half loads four pixels' twelve bytes (and
// four more, which the step's limit keeps inside the row), and one byte
// shuffle spreads every three bytes to a pixel's low three, zeroing the top.
__attribute__((target("avx2"))) void Decode24RowAvx2(const std::uint8_t* src, Pixel* dst,
                                                     int width) {
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 0,
                                            1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    int x = 0;
    // The second half reads bytes 12..27 of the step: the step's 24 and the
    // first four of the next two pixels.
    for (; x + 10 <= width; x += 8, src += 24) {
        const __m256i bytes = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(src + 12),
                                                  reinterpret_cast<const __m128i*>(src));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x),
                            _mm256_shuffle_epi8(bytes, spread));
    }
    Decode24RowScalar(src, dst + x, width - x);
}

// Sixteen pixels a step: one load of their 48 bytes and one byte
// permutation across the whole register put every three bytes in a pixel's
// low three and clear its top. Masked loads and stores finish the row, so no
// byte past it is read or written.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void
Decode24RowAvx512(const std::uint8_t* src, Pixel* dst, int width) {
    alignas(64) static constexpr std::array<std::uint8_t, 64> kSpread = [] {
        std::array<std::uint8_t, 64> spread{};
        for (std::size_t i = 0; i < 64; ++i)
            spread[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 0 : i / 4 * 3 + i % 4);
        return spread;
    }();
    const __m512i spread = _mm512_load_si512(kSpread.data());
    constexpr __mmask64 kColourBytes = 0x7777777777777777ull;
    constexpr __mmask64 kStepBytes = (__mmask64{1} << 48) - 1;
    int x = 0;
    for (; x + 16 <= width; x += 16, src += 48) {
        const __m512i bytes = _mm512_maskz_loadu_epi8(kStepBytes, src);
        _mm512_storeu_si512(dst + x, _mm512_maskz_permutexvar_epi8(kColourBytes, spread, bytes));
    }
    const int rest = width - x;
    if (rest == 0)
        return;
    const __m512i bytes = _mm512_maskz_loadu_epi8((__mmask64{1} << (3 * rest)) - 1, src);
    _mm512_mask_storeu_epi32(dst + x, static_cast<__mmask16>((1u << rest) - 1),
                             _mm512_maskz_permutexvar_epi8(kColourBytes, spread, bytes));
}

void Decode24Row(const std::uint8_t* src, Pixel* dst, int width) {
    static const bool avx512 =
        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx512)
        Decode24RowAvx512(src, dst, width);
    else if (avx2)
        Decode24RowAvx2(src, dst, width);
    else
        Decode24RowScalar(src, dst, width);
}
#else
void Decode24Row(const std::uint8_t* src, Pixel* dst, int width) {
    Decode24RowScalar(src, dst, width);
}
#endif

// The common 32-bit layout (blue, green, red, unused): the low 24 bits of
// the little-endian word are the pixel.
void DecodePlain32Row(const std::uint8_t* src, Pixel* dst, int width) {
    for (int x = 0; x < width; ++x, src += 4)
        dst[x] = ReadU32(src) & kRgbMask;
}

// Each possible byte of 1- or 2-bit indices as the colours of its pixels:
// one copy a byte replaces the unpacking and the lookups.
template <int Bits> class SpreadColours {
public:
    static constexpr int kPerByte = 8 / Bits;

    explicit SpreadColours(const ColourLookup& lookup) {
        static constexpr SpreadTable<Bits> kIndices;
        for (std::size_t byte = 0; byte < 256; ++byte)
            for (std::size_t k = 0; k < std::size_t{kPerByte}; ++k)
                m_colours[byte][k] = lookup[kIndices.pixels[byte][k]];
    }

    void Row(const std::uint8_t* src, Pixel* dst, int width) const {
        int x = 0;
        for (; x + kPerByte <= width; x += kPerByte, ++src)
            std::memcpy(dst + x, m_colours[*src].data(), sizeof m_colours[0]);
        for (std::size_t k = 0; x < width; ++x, ++k)
            dst[x] = m_colours[*src][k];
    }

private:
    std::array<std::array<Pixel, kPerByte>, 256> m_colours;
};

// The colours of a stored row of 1-, 2- or 8-bit indices, straight from the
// file's bytes.
class IndexedColourRows {
public:
    IndexedColourRows(const DibHeader& h, const ColourLookup& lookup)
        : m_bits(h.bitCount), m_lookup(lookup) {
        if (m_bits == 1)
            m_one.emplace(lookup);
        else if (m_bits == 2)
            m_two.emplace(lookup);
    }

    void Row(const std::uint8_t* src, Pixel* dst, int width) const {
        if (m_one)
            return m_one->Row(src, dst, width);
        if (m_two)
            return m_two->Row(src, dst, width);
        LookUpColours(src, dst, static_cast<std::size_t>(width), m_lookup, false);
    }

private:
    int m_bits;
    const ColourLookup& m_lookup;
    std::optional<SpreadColours<1>> m_one;
    std::optional<SpreadColours<2>> m_two;
};

} // namespace

bool DecodeIndexedRows(std::span<const std::uint8_t> data, const DibLayout& layout, DecodeOut& out,
                       std::string& why) {
    const std::uint64_t stride = CheckRows(data, layout, why);
    if (stride == 0)
        return false;
    const DibHeader& h = layout.header;
    const auto width = static_cast<std::size_t>(h.width);
    const std::size_t count = width * static_cast<std::size_t>(h.height);
    const ColourLookup lookup = MakeColourLookup(out.dib.colorTable);
    if (out.colours)
        SizeBuffer(*out.colours, h.width, h.height);
    // 4-bit indices are looked up all at once after unpacking: the vector
    // lookup costs too much to set up for each row. Other depths go row by
    // row, so a row's indices are still in the cache for their colours.
    const bool wholeLookUp = h.bitCount == 4;
    std::unique_ptr<std::uint8_t[]> scratch; // unpacked indices that are not kept
    std::uint8_t* indices = nullptr;
    if (out.keepData) {
        out.dib.indices.resize(count);
        indices = out.dib.indices.data();
    } else if (wholeLookUp) {
        scratch.reset(new std::uint8_t[count]);
        indices = scratch.get();
    }
    std::optional<IndexedColourRows> colourRows;
    if (out.colours && !indices)
        colourRows.emplace(h, lookup);
    const std::uint8_t* src = data.data() + layout.pixelOffset;
    for (int r = 0; r < h.height; ++r, src += stride) {
        const int y = PictureRow(h, r);
        if (!indices) {
            colourRows->Row(src, out.colours->Row(y), h.width);
            continue;
        }
        std::uint8_t* row = indices + width * static_cast<std::size_t>(y);
        UnpackIndices(src, row, h.width, h.bitCount);
        if (out.colours && !wholeLookUp)
            LookUpColours(row, out.colours->Row(y), width, lookup, h.bitCount <= 4);
    }
    if (out.colours && wholeLookUp)
        LookUpColours(indices, out.colours->Data(), count, lookup, true);
    return true;
}

bool DecodeTrueColourRows(std::span<const std::uint8_t> data, const DibLayout& layout,
                          DecodeOut& out, std::string& why) {
    const std::uint64_t stride = CheckRows(data, layout, why);
    if (stride == 0)
        return false;
    const DibHeader& h = layout.header;
    const auto masks = EffectiveMasks(layout);
    const bool plain32 =
        h.bitCount == 32 && masks == std::array<std::uint32_t, 3>{0xFF0000u, 0xFF00u, 0xFFu};
    // Building the channels' tables costs microseconds, a noticeable part of
    // a small picture's decode: only the pixels that need them get them.
    std::optional<std::array<Channel, 3>> channels;
    if (h.bitCount != 24 && !plain32)
        channels.emplace(
            std::array<Channel, 3>{Channel(masks[0]), Channel(masks[1]), Channel(masks[2])});
    PixelBuffer& target = out.colours ? *out.colours : out.dib.pixels;
    SizeBuffer(target, h.width, h.height);
    const std::uint8_t* src = data.data() + layout.pixelOffset;
    for (int r = 0; r < h.height; ++r, src += stride) {
        Pixel* dst = target.Row(PictureRow(h, r));
        if (h.bitCount == 24)
            Decode24Row(src, dst, h.width);
        else if (plain32)
            DecodePlain32Row(src, dst, h.width);
        else
            DecodeMaskedRow(src, dst, h.width, h.bitCount, *channels);
    }
    // The bitmap and the colours shown are two copies of the same pixels.
    if (out.colours && out.keepData)
        out.dib.pixels = *out.colours;
    return true;
}

} // namespace dib_detail
