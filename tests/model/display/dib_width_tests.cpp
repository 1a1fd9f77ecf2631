// The codec reads and writes many pixels at a time (whole bytes of packed
// indices, eight indices a word, vector registers, runs of one colour,
// slices of a picture) and finishes each row or picture one pixel at a time.
// Pictures of every width up to a few such steps, and large ones, must come
// out as a pixel-by-pixel reading or writing of the same bytes gives.
#include "bmp_forge.h"
#include "decode_paths.h"
#include "expected_pixels.h"
#include "model/display/colour_match.h"
#include "model/display/dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

constexpr int kMaxWidth = 70;
// Over a million pixels, as large as a page may well be.
constexpr int kLargeWidth = 1024;
constexpr int kLargeHeight = 1025;

// Indices in stretches of one value (some long, most short) between
// stretches of noise, so every kind of step meets every kind of data.
std::vector<std::uint8_t> Indices(int width, int height, int colours, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> out;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    while (out.size() < count) {
        const auto value = static_cast<std::uint8_t>(random() % unsigned(colours));
        const unsigned kind = random() % 4;
        const std::size_t length = kind == 0 ? 40 + random() % 300 : 1 + random() % 20;
        for (std::size_t i = 0; i < length && out.size() < count; ++i)
            out.push_back(kind == 3 ? static_cast<std::uint8_t>(random() % unsigned(colours))
                                    : value);
    }
    return out;
}

std::vector<Pixel> Table(int colours) {
    std::vector<Pixel> table;
    for (int i = 0; i < colours; ++i)
        table.push_back(MakePixel(std::uint8_t(i * 37 + 5), std::uint8_t(255 - i * 11),
                                  std::uint8_t(i * 91 + 200)));
    return table;
}

PixelBuffer Decode(const std::vector<std::uint8_t>& file) {
    // A copy holds exactly the file, so reading past its end is caught (with
    // the address sanitizer) rather than landing in spare capacity.
    const std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[file.size()]);
    std::copy(file.begin(), file.end(), exact.get());
    std::string why;
    DibHandle dib = LoadAllWays(std::span<const std::uint8_t>(exact.get(), file.size()), &why);
    EXPECT_TRUE(dib) << why;
    return dib ? DIBToBitmap(*dib) : PixelBuffer();
}

// A file of packed or run-length indices with a table of `colours` entries.
std::vector<std::uint8_t> IndexedFile(const std::vector<std::uint8_t>& indices, int width,
                                      int height, int bitCount, std::uint32_t compression,
                                      int colours, bool topDown) {
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = topDown ? -height : height;
    recipe.bitCount = static_cast<std::uint16_t>(bitCount);
    recipe.compression = compression;
    recipe.colorTable = Table(colours);
    recipe.bits = compression == kDibRgb ? PackIndexRows(indices, width, height, bitCount, topDown)
                                         : EncodeRle(indices, width, height, bitCount);
    return ForgeBmp(recipe);
}

struct Form {
    int bitCount;
    std::uint32_t compression;
    int colours; // fewer than the indices reach for 8 bits: the rest read black
};
constexpr Form kForms[] = {{1, kDibRgb, 2},   {2, kDibRgb, 4},    {4, kDibRgb, 16},
                           {8, kDibRgb, 200}, {8, kDibRle8, 256}, {4, kDibRle4, 16}};

void ExpectIndexedDecodes(const Form& form, int width, int height, bool topDown) {
    const int reach = form.bitCount == 8 ? 256 : 1 << form.bitCount;
    const auto indices = Indices(width, height, reach, unsigned(width * 7 + form.bitCount));
    const auto file =
        IndexedFile(indices, width, height, form.bitCount, form.compression, form.colours, topDown);
    EXPECT_EQ(Decode(file), Expected(indices, Table(form.colours), width, height))
        << form.bitCount << " bits, compression " << form.compression << ", " << width << " x "
        << height << (topDown ? " top-down" : "");
}

} // namespace

TEST(DibWidths, IndexedPicturesOfEveryWidth) {
    for (const Form& form : kForms)
        for (int width = 1; width <= kMaxWidth; ++width)
            ExpectIndexedDecodes(form, width, 3, form.compression == kDibRgb && width % 2 == 0);
}

TEST(DibWidths, LargeIndexedPictures) {
    for (const Form& form : kForms)
        ExpectIndexedDecodes(form, kLargeWidth, kLargeHeight, false);
}

TEST(DibWidths, TrueColourPicturesOfEveryWidth) {
    std::mt19937 random(7);
    for (int width = 1; width <= kMaxWidth; ++width) {
        PixelBuffer picture(width, 3);
        for (std::size_t i = 0; i < picture.PixelCount(); ++i)
            picture.Data()[i] = random() & kRgbMask;
        BmpRecipe recipe;
        recipe.width = width;
        recipe.height = 3;
        recipe.bitCount = 24;
        recipe.bits = PackColourRows(picture, 24, {0, 0, 0}, false);
        // No padding after the last row: its last pixel ends the data.
        recipe.bits.resize(recipe.bits.size() - (4 - 3 * std::size_t(width) % 4) % 4);
        EXPECT_EQ(Decode(ForgeBmp(recipe)), picture) << width;
    }
}

// Runs of two colours in turn, and of one, of every length a run can have.
TEST(DibWidths, Rle4RunsOfEveryLength) {
    BmpRecipe recipe;
    recipe.width = 255;
    recipe.height = 510;
    recipe.bitCount = 4;
    recipe.compression = kDibRle4;
    recipe.colorTable = Table(16);
    std::vector<std::uint8_t> expected;
    for (int length = 1; length <= 255; ++length)
        for (std::uint8_t value : {std::uint8_t(0x3C), std::uint8_t(0x77)}) {
            recipe.bits.insert(recipe.bits.end(), {std::uint8_t(length), value, 0, 0});
            std::vector<std::uint8_t> row(255, 0);
            for (int x = 0; x < length; ++x)
                row[std::size_t(x)] = x % 2 ? value & 0x0F : value >> 4;
            expected.insert(expected.begin(), row.begin(), row.end()); // bottom row first
        }
    recipe.bits.insert(recipe.bits.end(), {0, 1});
    EXPECT_EQ(Decode(ForgeBmp(recipe)), Expected(expected, recipe.colorTable, 255, 510));
}

TEST(DibWidths, NearestColoursOfEveryWidth) {
    const std::vector<Pixel> palette = Table(60);
    LogPalette log;
    for (Pixel c : palette)
        log.entries.push_back(PixelPaletteEntry(c));
    std::vector<int> widths;
    for (int width = 1; width <= kMaxWidth; ++width)
        widths.push_back(width);
    widths.push_back(kLargeWidth);
    for (int width : widths) {
        const int height = width > kMaxWidth ? 40 : 3; // the large one spans several slices
        const auto indices = Indices(width, height, 256, unsigned(width));
        PixelBuffer picture(width, height);
        for (std::size_t i = 0; i < indices.size(); ++i) // unused top bytes are ignored
            picture.Data()[i] = MakePixel(indices[i], std::uint8_t(indices[i] * 3), 90) |
                                (i % 5 == 0 ? 0xFF000000u : 0);
        DibHandle dib = ChangeBitmapFormat(picture, 8, kDibRgb, log);
        ASSERT_TRUE(dib);
        ASSERT_EQ(dib->indices.size(), picture.PixelCount());
        for (std::size_t i = 0; i < indices.size(); ++i)
            ASSERT_EQ(dib->indices[i], NearestPaletteIndex(palette, picture.Data()[i]))
                << width << " x " << height << " at " << i;
        // Mapping straight into the file's rows gives the same file.
        EXPECT_EQ(EncodeDIB8(picture, log), EncodeDIB(*dib)) << width;
    }
}

// The file is exactly what a byte-by-byte writer makes, zero padding included.
TEST(DibWidths, WrittenFilesOfEveryWidth) {
    for (int width = 1; width <= kMaxWidth; ++width) {
        Dib dib;
        dib.header = DibHeader{kDibInfoHeaderSize, width, 3, false, 8, kDibRgb};
        dib.colorTable = Table(9);
        dib.indices = Indices(width, 3, 9, unsigned(width));
        BmpRecipe recipe;
        recipe.width = width;
        recipe.height = 3;
        recipe.colorTable = dib.colorTable;
        recipe.bits = PackIndexRows(dib.indices, width, 3, 8, false);
        EXPECT_EQ(EncodeDIB(dib), ForgeBmp(recipe)) << width;
    }
}

// A bitmap made in memory may claim 4 bits yet hold larger indices: they
// still stand for their table entries, or black past the table.
TEST(DibWidths, HandMadeFourBitBitmapsWithLargerIndices) {
    Dib dib;
    dib.header = DibHeader{kDibInfoHeaderSize, 64, 2, false, 4, kDibRgb};
    dib.colorTable = Table(40);
    dib.indices = Indices(64, 2, 16, 3);
    dib.indices[5] = 20;
    dib.indices[70] = 39;
    dib.indices[100] = 200;
    EXPECT_EQ(DIBToBitmap(dib), Expected(dib.indices, dib.colorTable, 64, 2));
}
