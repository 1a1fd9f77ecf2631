// Writes the seed corpus of the bitmap reader's fuzz target: one small file
// for every branch of the reader (each header version, depth, compression,
// row order and escape code, the lenient cases) and a few damaged files that
// must be refused.
//
//   make_dib_corpus OUT_FOLDER      (the committed corpus is fuzz/dib/corpus)
#include "bmp_forge.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 13;
constexpr int kHeight = 5;

std::vector<Pixel> Table(int count) {
    std::vector<Pixel> t;
    for (int i = 0; i < count; ++i)
        t.push_back(MakePixel(static_cast<std::uint8_t>(i * 53), static_cast<std::uint8_t>(i * 17),
                              static_cast<std::uint8_t>(255 - i * 29)));
    return t;
}

// A picture of diagonal stripes with runs, so RLE has both runs and literals.
std::vector<std::uint8_t> Indices(int width, int height, int bits) {
    std::vector<std::uint8_t> v;
    const int colours = 1 << bits;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            v.push_back(static_cast<std::uint8_t>(((x / 3 + y) * 5 + (x > 8 ? x : 0)) % colours));
    return v;
}

PixelBuffer Colours(int width, int height) {
    PixelBuffer p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.Set(x, y,
                  MakePixel(static_cast<std::uint8_t>(x * 19), static_cast<std::uint8_t>(y * 61),
                            static_cast<std::uint8_t>((x * y * 7) & 0xFF)));
    return p;
}

BmpRecipe Indexed(int bits, bool topDown, std::uint32_t headerSize = 40) {
    BmpRecipe s;
    s.headerSize = headerSize;
    s.width = kWidth;
    s.height = topDown ? -kHeight : kHeight;
    s.bitCount = static_cast<std::uint16_t>(bits);
    s.colorTable = Table(1 << bits);
    s.bits = PackIndexRows(Indices(kWidth, kHeight, bits), kWidth, kHeight, bits, topDown);
    return s;
}

BmpRecipe TrueColour(int bits, bool topDown, std::uint32_t compression,
                     std::vector<std::uint32_t> masks, std::uint32_t headerSize = 40) {
    BmpRecipe s;
    s.headerSize = headerSize;
    s.width = kWidth;
    s.height = topDown ? -kHeight : kHeight;
    s.bitCount = static_cast<std::uint16_t>(bits);
    s.compression = compression;
    std::array<std::uint32_t, 3> packing{0xFF0000, 0xFF00, 0xFF};
    if (bits == 16)
        packing = {0x7C00, 0x03E0, 0x001F};
    for (std::size_t i = 0; i < 3 && i < masks.size(); ++i)
        packing[i] = masks[i];
    s.masks = std::move(masks);
    s.bits = PackColourRows(Colours(kWidth, kHeight), bits, packing, topDown);
    return s;
}

BmpRecipe Rle(int bits) {
    BmpRecipe s;
    s.width = kWidth;
    s.height = kHeight;
    s.bitCount = static_cast<std::uint16_t>(bits);
    s.compression = bits == 8 ? 1 : 2;
    s.colorTable = Table(1 << bits);
    s.bits = EncodeRle(Indices(kWidth, kHeight, bits), kWidth, kHeight, bits);
    return s;
}

// Every escape: runs, a padded literal, end of row, a move, end of picture.
BmpRecipe RleEscapes(int bits) {
    BmpRecipe s = Rle(bits);
    s.width = 8;
    s.height = 4;
    if (bits == 8)
        s.bits = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 7, 0, 0, 1, 9, 0, 1};
    else
        s.bits = {4, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 1, 1, 0, 5, 0x67, 0x89, 0xA0, 0, 0, 1};
    return s;
}

struct Entry {
    std::string name;
    Bytes bytes;
};

void AddGoodFiles(std::vector<Entry>& out) {
    for (int bits : {1, 2, 4, 8})
        for (bool topDown : {false, true})
            out.push_back({"info40_" + std::to_string(bits) + (topDown ? "_topdown" : "_bottomup"),
                           ForgeBmp(Indexed(bits, topDown))});
    for (int bits : {1, 4, 8})
        out.push_back({"core_" + std::to_string(bits), ForgeBmp(Indexed(bits, false, 12))});
    out.push_back({"core_24", ForgeBmp(TrueColour(24, false, 0, {}, 12))});
    for (int bits : {16, 24, 32})
        for (bool topDown : {false, true})
            out.push_back({"rgb_" + std::to_string(bits) + (topDown ? "_topdown" : "_bottomup"),
                           ForgeBmp(TrueColour(bits, topDown, 0, {}))});
    out.push_back({"fields_16_565", ForgeBmp(TrueColour(16, false, 3, {0xF800, 0x07E0, 0x001F}))});
    out.push_back({"fields_32_101010",
                   ForgeBmp(TrueColour(32, true, 3, {0x3FF00000, 0x000FFC00, 0x000003FF}))});
    out.push_back({"fields_32_alpha",
                   ForgeBmp(TrueColour(32, false, 6, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}))});
    for (std::uint32_t size : {52u, 56u, 64u, 108u, 124u}) {
        out.push_back({"info" + std::to_string(size) + "_8", ForgeBmp(Indexed(8, false, size))});
        out.push_back({"info" + std::to_string(size) + "_fields16",
                       ForgeBmp(TrueColour(16, false, 3, {0xF800, 0x07E0, 0x001F}, size))});
    }
    out.push_back({"rle8", ForgeBmp(Rle(8))});
    out.push_back({"rle4", ForgeBmp(Rle(4))});
    out.push_back({"rle8_escapes", ForgeBmp(RleEscapes(8))});
    out.push_back({"rle4_escapes", ForgeBmp(RleEscapes(4))});
    BmpRecipe noEnd = Rle(8);
    noEnd.bits.resize(noEnd.bits.size() - 2);
    out.push_back({"rle8_no_end", ForgeBmp(noEnd)});
}

void AddLenientFiles(std::vector<Entry>& out) {
    BmpRecipe shortTable = Indexed(8, false);
    shortTable.colorTable.resize(5);
    out.push_back({"short_table", ForgeBmp(shortTable)});
    BmpRecipe lyingCount = Indexed(4, false);
    lyingCount.colorsUsed = 300000;
    out.push_back({"lying_count", ForgeBmp(lyingCount)});
    BmpRecipe countPastOffset = Indexed(8, false);
    countPastOffset.colorTable.resize(7);
    countPastOffset.colorsUsed = 256;
    out.push_back({"count_past_offset", ForgeBmp(countPastOffset)});
    BmpRecipe zeroOffset = Indexed(1, false);
    zeroOffset.offBits = 0;
    out.push_back({"zero_offset", ForgeBmp(zeroOffset)});
    BmpRecipe unpadded = Indexed(8, false);
    unpadded.bits.resize(unpadded.bits.size() - 3);
    out.push_back({"last_row_unpadded", ForgeBmp(unpadded)});
}

void AddBadFiles(std::vector<Entry>& out) {
    Bytes good = ForgeBmp(Indexed(8, false));
    out.push_back({"bad_truncated_header", Bytes(good.begin(), good.begin() + 30)});
    out.push_back({"bad_truncated_pixels", Bytes(good.begin(), good.end() - 20)});
    BmpRecipe pastRow = RleEscapes(8);
    pastRow.bits = {9, 1, 0, 1};
    out.push_back({"bad_rle_past_row", ForgeBmp(pastRow)});
    BmpRecipe pastTop = RleEscapes(4);
    pastTop.bits = {0, 2, 0, 9, 0, 1};
    out.push_back({"bad_rle_past_top", ForgeBmp(pastTop)});
    BmpRecipe jpeg = Indexed(8, false);
    jpeg.compression = 4;
    out.push_back({"bad_jpeg", ForgeBmp(jpeg)});
    BmpRecipe huge = Indexed(8, false);
    huge.width = 0x7FFFFFFF;
    huge.height = -0x7FFFFFFF;
    out.push_back({"bad_huge", ForgeBmp(huge)});
    BmpRecipe offset = Indexed(8, false);
    offset.offBits = 0xFFFFFFF0u;
    out.push_back({"bad_offset", ForgeBmp(offset)});
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_FOLDER\n", argv[0]);
        return 64;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::vector<Entry> entries;
    AddGoodFiles(entries);
    AddLenientFiles(entries);
    AddBadFiles(entries);
    for (const Entry& e : entries) {
        std::ofstream file(folder / (e.name + ".bmp"), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(e.bytes.data()),
                   static_cast<std::streamsize>(e.bytes.size()));
        if (!file) {
            std::fprintf(stderr, "cannot write %s\n", e.name.c_str());
            return 1;
        }
    }
    std::printf("wrote %zu files to %s\n", entries.size(), folder.c_str());
    return 0;
}
