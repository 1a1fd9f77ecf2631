#include "bmp_forge.h"

#include <bit>

namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    Put16(out, at, v);
    Put16(out, at + 2, v >> 16);
}

bool MasksInHeader(std::uint32_t headerSize) {
    return headerSize >= 52 && headerSize != 64;
}

std::size_t RowStride(int width, int bitCount) {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

int StoredRow(int y, int height, bool topDown) {
    return topDown ? y : height - 1 - y;
}

} // namespace

std::vector<std::uint8_t> ForgeBmp(const BmpRecipe& recipe) {
    const bool core = recipe.headerSize == 12;
    const std::size_t entrySize = core ? 3 : 4;
    const std::size_t masksAfter = MasksInHeader(recipe.headerSize) ? 0 : 4 * recipe.masks.size();
    const std::size_t tableAt = 14 + recipe.headerSize + masksAfter;
    const std::size_t bitsAt = tableAt + entrySize * recipe.colorTable.size();
    std::vector<std::uint8_t> out(bitsAt, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 10, recipe.offBits.value_or(static_cast<std::uint32_t>(bitsAt)));
    Put32(out, 14, recipe.headerSize);
    if (core) {
        Put16(out, 18, static_cast<std::uint32_t>(recipe.width));
        Put16(out, 20, static_cast<std::uint32_t>(recipe.height));
        Put16(out, 22, 1);
        Put16(out, 24, recipe.bitCount);
    } else {
        Put32(out, 18, static_cast<std::uint32_t>(recipe.width));
        Put32(out, 22, static_cast<std::uint32_t>(recipe.height));
        Put16(out, 26, 1);
        Put16(out, 28, recipe.bitCount);
        Put32(out, 30, recipe.compression);
        Put32(out, 34, static_cast<std::uint32_t>(recipe.bits.size()));
        Put32(out, 46,
              recipe.colorsUsed.value_or(static_cast<std::uint32_t>(recipe.colorTable.size())));
    }
    const std::size_t masksAt = MasksInHeader(recipe.headerSize) ? 14 + 40 : 14 + recipe.headerSize;
    for (std::size_t i = 0; i < recipe.masks.size(); ++i)
        if (masksAt + 4 * i + 4 <= out.size())
            Put32(out, masksAt + 4 * i, recipe.masks[i]);
    for (std::size_t i = 0; i < recipe.colorTable.size(); ++i) {
        const Pixel c = recipe.colorTable[i];
        out[tableAt + entrySize * i] = PixelBlue(c);
        out[tableAt + entrySize * i + 1] = PixelGreen(c);
        out[tableAt + entrySize * i + 2] = PixelRed(c);
    }
    out.insert(out.end(), recipe.bits.begin(), recipe.bits.end());
    Put32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

std::vector<std::uint8_t> PackIndexRows(std::span<const std::uint8_t> indices, int width,
                                        int height, int bitCount, bool topDown) {
    const std::size_t stride = RowStride(width, bitCount);
    std::vector<std::uint8_t> out(stride * static_cast<std::size_t>(height), 0);
    const int perByte = 8 / bitCount;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + stride * StoredRow(y, height, topDown);
        for (int x = 0; x < width; ++x) {
            const unsigned v = indices[static_cast<std::size_t>(y) * width + x];
            const int shift = 8 - bitCount * (x % perByte + 1);
            row[x / perByte] |= static_cast<std::uint8_t>((v & ((1u << bitCount) - 1)) << shift);
        }
    }
    return out;
}

namespace {

std::uint32_t PackMasked(Pixel c, const std::array<std::uint32_t, 3>& masks) {
    const std::uint8_t channel[3] = {PixelRed(c), PixelGreen(c), PixelBlue(c)};
    std::uint32_t word = 0;
    for (int i = 0; i < 3; ++i) {
        if (masks[i] == 0)
            continue;
        const int shift = std::countr_zero(masks[i]);
        const std::uint64_t max = masks[i] >> shift;
        word |= static_cast<std::uint32_t>((channel[i] * max + 127) / 255) << shift;
    }
    return word;
}

} // namespace

std::vector<std::uint8_t> PackColourRows(const PixelBuffer& picture, int bitCount,
                                         std::array<std::uint32_t, 3> masks, bool topDown) {
    const int width = picture.Width();
    const int height = picture.Height();
    const std::size_t stride = RowStride(width, bitCount);
    std::vector<std::uint8_t> out(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = stride * StoredRow(y, height, topDown);
        for (int x = 0; x < width; ++x) {
            const Pixel c = picture.At(x, y);
            if (bitCount == 24) {
                out[row + 3 * x] = PixelBlue(c);
                out[row + 3 * x + 1] = PixelGreen(c);
                out[row + 3 * x + 2] = PixelRed(c);
            } else if (bitCount == 16) {
                Put16(out, row + 2 * x, PackMasked(c, masks));
            } else {
                Put32(out, row + 4 * x, PackMasked(c, masks));
            }
        }
    }
    return out;
}

namespace {

// Appends one row of RLE data for `row` (width pixels).
void EncodeRleRow(std::vector<std::uint8_t>& out, const std::uint8_t* row, int width, bool four) {
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 2 || width - x < 3) {
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(four ? static_cast<std::uint8_t>(row[x] << 4 | row[x]) : row[x]);
            x += run;
            continue;
        }
        // Literal pixels up to the next pair of equal ones.
        int n = 1;
        while (x + n < width && n < 255 && !(x + n + 1 < width && row[x + n] == row[x + n + 1]))
            ++n;
        if (n < 3)
            n = 3;
        out.push_back(0);
        out.push_back(static_cast<std::uint8_t>(n));
        std::size_t bytes = 0;
        for (int i = 0; i < n; i += four ? 2 : 1, ++bytes) {
            if (four)
                out.push_back(
                    static_cast<std::uint8_t>(row[x + i] << 4 | (i + 1 < n ? row[x + i + 1] : 0)));
            else
                out.push_back(row[x + i]);
        }
        if (bytes & 1)
            out.push_back(0);
        x += n;
    }
}

} // namespace

std::vector<std::uint8_t> EncodeRle(std::span<const std::uint8_t> indices, int width, int height,
                                    int bitCount) {
    std::vector<std::uint8_t> out;
    for (int y = height - 1; y >= 0; --y) {
        EncodeRleRow(out, indices.data() + static_cast<std::size_t>(y) * width, width,
                     bitCount == 4);
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}
