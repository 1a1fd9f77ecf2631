// Decoding run-length compressed pixels (RLE8 and RLE4). Rows are stored
// bottom row first. Each step reads a pair of bytes: a count and a value
// repeat the value (RLE4: the value's two nibbles in turn); a zero count
// starts an escape: 0 ends the row, 1 ends the picture, 2 moves the pen by
// the next two bytes (right, up), 3..255 introduce that many literal pixels,
// padded to an even number of bytes. Pixels that no step reaches keep
// colour-table index 0. A run that leaves its row or the picture is an error,
// never clipped, so damaged data is not shown as a picture.
#include "display/dib_format.h"

#include <algorithm>

namespace dib_detail {

namespace {

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
    if (m_four) {
        const std::uint8_t pair[2] = {static_cast<std::uint8_t>(value >> 4),
                                      static_cast<std::uint8_t>(value & 0x0F)};
        for (int i = 0; i < count; ++i)
            dst[i] = pair[i & 1];
    } else {
        std::fill(dst, dst + count, value);
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
    for (int i = 0; i < count; ++i) {
        if (m_four)
            dst[i] = static_cast<std::uint8_t>((i & 1) ? src[i / 2] & 0x0F : src[i / 2] >> 4);
        else
            dst[i] = src[i];
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
