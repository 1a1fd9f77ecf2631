// Decoding uncompressed pixel rows: packed colour-table indices of 1 to 8
// bits, and true colours of 16, 24 and 32 bits with or without bit-field
// masks.
#include "model/display/dib_format.h"

#include <array>
#include <bit>
#include <cstring>

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

void Decode24Row(const std::uint8_t* src, Pixel* dst, int width) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
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

} // namespace

bool DecodeIndexedRows(std::span<const std::uint8_t> data, const DibLayout& layout, Dib& out,
                       std::string& why) {
    const std::uint64_t stride = CheckRows(data, layout, why);
    if (stride == 0)
        return false;
    const DibHeader& h = layout.header;
    const auto width = static_cast<std::size_t>(h.width);
    out.indices.resize(width * static_cast<std::size_t>(h.height));
    const std::uint8_t* src = data.data() + layout.pixelOffset;
    for (int r = 0; r < h.height; ++r, src += stride) {
        std::uint8_t* dst = out.indices.data() + width * static_cast<std::size_t>(PictureRow(h, r));
        UnpackIndices(src, dst, h.width, h.bitCount);
    }
    return true;
}

bool DecodeTrueColourRows(std::span<const std::uint8_t> data, const DibLayout& layout, Dib& out,
                          std::string& why) {
    const std::uint64_t stride = CheckRows(data, layout, why);
    if (stride == 0)
        return false;
    const DibHeader& h = layout.header;
    const auto masks = EffectiveMasks(layout);
    const bool plain32 =
        h.bitCount == 32 && masks == std::array<std::uint32_t, 3>{0xFF0000u, 0xFF00u, 0xFFu};
    const std::array<Channel, 3> channels{Channel(masks[0]), Channel(masks[1]), Channel(masks[2])};
    out.pixels = PixelBuffer(h.width, h.height);
    const std::uint8_t* src = data.data() + layout.pixelOffset;
    for (int r = 0; r < h.height; ++r, src += stride) {
        Pixel* dst = out.pixels.Row(PictureRow(h, r));
        if (h.bitCount == 24)
            Decode24Row(src, dst, h.width);
        else if (plain32)
            DecodePlain32Row(src, dst, h.width);
        else
            DecodeMaskedRow(src, dst, h.width, h.bitCount, channels);
    }
    return true;
}

} // namespace dib_detail
