// Decoding run-length compressed pixels (RLE8 and RLE4). Rows are stored
// bottom row first. Each step reads a pair of bytes: a count and a value
// repeat the value (RLE4: the value's two nibbles in turn); a zero count
// starts an escape: 0 ends the row, 1 ends the picture, 2 moves the pen by
// the next two bytes (right, up), 3..255 introduce that many literal pixels,
// padded to an even number of bytes. Pixels that no step reaches keep
// colour-table index 0. A run that leaves its row or the picture is an error,
// never clipped, so damaged data is not shown as a picture.
#include "model/display/dib_format.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dib_detail {

namespace {

// `count` (at most 255) copies of `value`. Runs are short, and the library's
// fill, which the compiler inlines here as a string store, takes longer to
// start than these few wide stores, the last of which may overlap the one
// before.
void FillRun(std::uint8_t* dst, int count, std::uint8_t value) {
    const auto n = static_cast<std::size_t>(count);
    if (n < 8) {
        for (std::size_t i = 0; i < n; ++i)
            dst[i] = value;
        return;
    }
#if defined(__SSE2__)
    if (n >= 16) {
        const __m128i v = _mm_set1_epi8(static_cast<char>(value));
        for (std::size_t i = 0; i + 16 <= n; i += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + n - 16), v);
        return;
    }
#endif
    const std::uint64_t word = value * 0x0101010101010101ull;
    for (std::size_t i = 0; i + 8 <= n; i += 8)
        std::memcpy(dst + i, &word, sizeof word);
    std::memcpy(dst + n - 8, &word, sizeof word);
}

class RleDecoder {
public:
    RleDecoder(std::span<const std::uint8_t> data, const DibLayout& layout, Dib& out)
        : m_data(data), m_pos(layout.pixelOffset), m_width(layout.header.width),
          m_height(layout.header.height), m_four(layout.header.bitCount == 4), m_out(out) {}

    bool Run(std::string& why);

private:
    bool Repeat(int count, std::uint8_t value);
    bool Literal(int count);
    bool Delta();
    bool Fail(const char* reason) {
        m_why = reason;
        return false;
    }
    // Whether every pixel has been placed: the data may end there without
    // the end-of-picture escape.
    bool Complete() const { return m_row >= m_height || (m_row == m_height - 1 && m_x == m_width); }
    bool Fits(int count) const { return m_row < m_height && count <= m_width - m_x; }
    std::uint8_t* Dest() {
        const int y = m_height - 1 - m_row;
        return m_out.indices.data() + static_cast<std::size_t>(y) * std::size_t(m_width) + m_x;
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos;
    int m_width;
    int m_height;
    bool m_four;
    Dib& m_out;
    int m_x = 0;
    int m_row = 0; // counted from the bottom row
    const char* m_why = "";
};

bool RleDecoder::Repeat(int count, std::uint8_t value) {
    if (!Fits(count))
        return Fail("run past the end of a row");
    std::uint8_t* dst = Dest();
    const auto first = static_cast<std::uint8_t>(value >> 4);
    const auto second = static_cast<std::uint8_t>(value & 0x0F);
    // A run of one colour, the common case, is one fill; so is RLE8's.
    if (!m_four || first == second) {
        FillRun(dst, count, m_four ? first : value);
    } else {
        for (int i = 0; i + 1 < count; i += 2) {
            dst[i] = first;
            dst[i + 1] = second;
        }
        if (count & 1)
            dst[count - 1] = first;
    }
    m_x += count;
    return true;
}

bool RleDecoder::Literal(int count) {
    const std::size_t bytes = m_four ? static_cast<std::size_t>(count + 1) / 2 : std::size_t(count);
    if (m_data.size() - m_pos < bytes)
        return Fail("truncated run-length data");
    if (!Fits(count))
        return Fail("literal run past the end of a row");
    const std::uint8_t* src = m_data.data() + m_pos;
    std::uint8_t* dst = Dest();
    if (m_four) {
        for (int i = 0; i + 1 < count; i += 2, ++src) {
            dst[i] = static_cast<std::uint8_t>(*src >> 4);
            dst[i + 1] = static_cast<std::uint8_t>(*src & 0x0F);
        }
        if (count & 1)
            dst[count - 1] = static_cast<std::uint8_t>(*src >> 4);
    } else {
        std::memcpy(dst, src, static_cast<std::size_t>(count));
    }
    m_x += count;
    // Literal runs are padded to a whole number of 16-bit words; a missing
    // pad byte at the very end of the data is tolerated.
    m_pos += std::min(bytes + (bytes & 1), m_data.size() - m_pos);
    return true;
}

bool RleDecoder::Delta() {
    if (m_data.size() - m_pos < 2)
        return Fail("truncated run-length data");
    const int dx = m_data[m_pos];
    const int dy = m_data[m_pos + 1];
    m_pos += 2;
    if (dx > m_width - m_x || m_row + dy >= m_height)
        return Fail("move past the edge of the picture");
    m_x += dx;
    m_row += dy;
    return true;
}

bool RleDecoder::Run(std::string& why) {
    m_out.indices.assign(std::size_t(m_width) * std::size_t(m_height), 0);
    bool ok = true;
    while (ok) {
        if (m_data.size() - m_pos < 2) {
            if (Complete())
                return true;
            ok = Fail("truncated run-length data");
            break;
        }
        const int count = m_data[m_pos];
        const std::uint8_t value = m_data[m_pos + 1];
        m_pos += 2;
        if (count > 0) {
            ok = Repeat(count, value);
        } else if (value == 0) { // end of row
            if (m_row >= m_height)
                ok = Fail("row past the top of the picture");
            m_x = 0;
            ++m_row;
        } else if (value == 1) { // end of picture
            return true;
        } else if (value == 2) {
            ok = Delta();
        } else {
            ok = Literal(value);
        }
    }
    why = m_why;
    return false;
}

} // namespace

bool DecodeRle(std::span<const std::uint8_t> data, const DibLayout& layout, Dib& out,
               std::string& why) {
    return RleDecoder(data, layout, out).Run(why);
}

} // namespace dib_detail
