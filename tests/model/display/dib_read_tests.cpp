// Reading every kind of bitmap file the program accepts. Files are built in
// code: the forge for pictures packed from known indices or colours, and raw
// bytes where the bit order or an escape code itself is under test.
#include "bmp_forge.h"
#include "decode_paths.h"
#include "expected_pixels.h"
#include "model/display/dib.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

DibHandle Load(const Bytes& bytes, std::string* why = nullptr) {
    return LoadAllWays(std::span<const std::uint8_t>(bytes), why);
}

std::vector<Pixel> DistinctColours(int count) {
    std::vector<Pixel> table;
    for (int i = 0; i < count; ++i)
        table.push_back(MakePixel(static_cast<std::uint8_t>(i * 37 + 11),
                                  static_cast<std::uint8_t>(255 - i),
                                  static_cast<std::uint8_t>(i)));
    return table;
}

std::vector<std::uint8_t> RandomIndices(int count, int limit, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(static_cast<std::size_t>(count));
    for (auto& i : v)
        i = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(limit));
    return v;
}

// One row of pixels, for the hand-made files below.
std::vector<Pixel> RowOf(const PixelBuffer& p, int y) {
    return std::vector<Pixel>(p.Row(y), p.Row(y) + p.Width());
}

} // namespace

TEST(DibRead, IndexedDepthsBothRowOrders) {
    for (int bits : {1, 2, 4, 8}) {
        for (bool topDown : {false, true}) {
            for (int width : {1, 3, 7, 13, 33}) {
                const int height = 5;
                const auto table = DistinctColours(1 << bits);
                const auto indices = RandomIndices(width * height, 1 << bits, width * bits);
                BmpRecipe recipe;
                recipe.width = width;
                recipe.height = topDown ? -height : height;
                recipe.bitCount = static_cast<std::uint16_t>(bits);
                recipe.colorTable = table;
                recipe.bits = PackIndexRows(indices, width, height, bits, topDown);
                auto dib = Load(ForgeBmp(recipe));
                ASSERT_TRUE(dib) << bits << " bits, width " << width;
                EXPECT_EQ(dib->header.bitCount, bits);
                EXPECT_EQ(dib->header.topDown, topDown);
                EXPECT_EQ(DIBWidth(*dib), width);
                EXPECT_EQ(DIBHeight(*dib), height);
                EXPECT_EQ(DIBToBitmap(*dib), Expected(indices, table, width, height))
                    << bits << " bits, width " << width << (topDown ? " top-down" : "");
            }
        }
    }
}

TEST(DibRead, PackedPixelsStartAtTheHighBits) {
    const std::vector<Pixel> two = {0x000000u, 0xFFFFFFu};
    BmpRecipe recipe;
    recipe.width = 10;
    recipe.bitCount = 1;
    recipe.colorTable = two;
    recipe.bits = {0b10110000, 0b01000000, 0, 0};
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{1, 0, 1, 1, 0, 0, 0, 0, 0, 1}));

    recipe.width = 4;
    recipe.bitCount = 2;
    recipe.colorTable = DistinctColours(4);
    recipe.bits = {0b00011011, 0, 0, 0};
    dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{0, 1, 2, 3}));

    recipe.width = 3;
    recipe.bitCount = 4;
    recipe.colorTable = DistinctColours(16);
    recipe.bits = {0x12, 0x30, 0, 0};
    dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(DibRead, CoreHeaderWithThreeByteColourTable) {
    const auto table = DistinctColours(16);
    const auto indices = RandomIndices(6 * 3, 16, 7);
    BmpRecipe recipe;
    recipe.headerSize = 12;
    recipe.width = 6;
    recipe.height = 3;
    recipe.bitCount = 4;
    recipe.colorTable = table;
    recipe.bits = PackIndexRows(indices, 6, 3, 4, false);
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->header.headerSize, 12u);
    EXPECT_EQ(DIBToBitmap(*dib), Expected(indices, table, 6, 3));
    EXPECT_EQ(CreateDIBPalette(*dib).entries.size(), 16u);
    EXPECT_EQ(CreateDIBPalette(*dib).entries[5].peRed, PixelRed(table[5]));

    // A core header of 24 bits has no table at all.
    PixelBuffer picture(2, 2, 0x123456u);
    recipe.bitCount = 24;
    recipe.width = recipe.height = 2;
    recipe.colorTable.clear();
    recipe.bits = PackColourRows(picture, 24, {}, false);
    dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(DIBToBitmap(*dib), picture);
}

TEST(DibRead, EveryInfoHeaderVersion) {
    const auto table = DistinctColours(256);
    const auto indices = RandomIndices(9 * 4, 256, 3);
    // 5-6-5 words: pure red, pure green, pure blue, white.
    const Bytes words = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF};
    for (std::uint32_t size : {40u, 52u, 56u, 64u, 108u, 124u}) {
        BmpRecipe recipe;
        recipe.headerSize = size;
        recipe.width = 9;
        recipe.height = 4;
        recipe.colorTable = table;
        recipe.bits = PackIndexRows(indices, 9, 4, 8, false);
        auto dib = Load(ForgeBmp(recipe));
        ASSERT_TRUE(dib) << size;
        EXPECT_EQ(DIBToBitmap(*dib), Expected(indices, table, 9, 4)) << size;

        BmpRecipe masked;
        masked.headerSize = size;
        masked.width = 4;
        masked.bitCount = 16;
        masked.compression = kDibBitFields;
        masked.masks = {0xF800, 0x07E0, 0x001F};
        masked.bits = words;
        dib = Load(ForgeBmp(masked));
        ASSERT_TRUE(dib) << size;
        EXPECT_EQ(RowOf(DIBToBitmap(*dib), 0),
                  (std::vector<Pixel>{0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFFFFu}))
            << size;
        EXPECT_TRUE(CreateDIBPalette(*dib).entries.empty());
    }
}

TEST(DibRead, TrueColourRowsBothOrders) {
    PixelBuffer picture(7, 3);
    std::mt19937 rng(5);
    for (std::size_t i = 0; i < picture.PixelCount(); ++i)
        picture.Data()[i] = rng() & kRgbMask;
    for (bool topDown : {false, true}) {
        for (int bits : {24, 32}) {
            BmpRecipe recipe;
            recipe.width = 7;
            recipe.height = topDown ? -3 : 3;
            recipe.bitCount = static_cast<std::uint16_t>(bits);
            recipe.bits = PackColourRows(picture, bits, {0xFF0000, 0xFF00, 0xFF}, topDown);
            if (bits == 32)
                recipe.bits[3] = 0xAB; // the unused byte is ignored
            auto dib = Load(ForgeBmp(recipe));
            ASSERT_TRUE(dib) << bits;
            EXPECT_EQ(DIBToBitmap(*dib), picture) << bits << (topDown ? " top-down" : "");
        }
    }
}

TEST(DibRead, SixteenBitsDefaultToFiveFiveFive) {
    BmpRecipe recipe;
    recipe.width = 4;
    recipe.bitCount = 16;
    // Red 31; green 16 and blue 16; the top bit set (ignored); green 31 only.
    recipe.bits = {0x00, 0x7C, 0x10, 0x02, 0xFF, 0xFF, 0xE0, 0x03};
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(RowOf(DIBToBitmap(*dib), 0),
              (std::vector<Pixel>{0xFF0000u, 0x008484u, 0xFFFFFFu, 0x00FF00u}));
}

TEST(DibRead, BitFieldMasksOfAnyWidthAndPlace) {
    // 32 bits with 10-bit channels, red lowest: 1023 reads 255, 512 reads 128.
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.bitCount = 32;
    recipe.compression = kDibBitFields;
    recipe.masks = {0x000003FF, 0x000FFC00, 0x3FF00000};
    const std::uint32_t a = 1023u | (512u << 10);
    const std::uint32_t b = 1023u << 20;
    recipe.bits = {static_cast<std::uint8_t>(a),       static_cast<std::uint8_t>(a >> 8),
                   static_cast<std::uint8_t>(a >> 16), static_cast<std::uint8_t>(a >> 24),
                   static_cast<std::uint8_t>(b),       static_cast<std::uint8_t>(b >> 8),
                   static_cast<std::uint8_t>(b >> 16), static_cast<std::uint8_t>(b >> 24)};
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(RowOf(DIBToBitmap(*dib), 0), (std::vector<Pixel>{0xFF8000u, 0x0000FFu}));

    // Alpha bit fields after a 40-byte header carry four masks.
    recipe.compression = kDibAlphaBitFields;
    recipe.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    recipe.width = 1;
    recipe.bits = {0x03, 0x02, 0x01, 0xFF};
    dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(DIBToBitmap(*dib).At(0, 0), 0x010203u);

    // 16 bits where one channel has no bits: it reads 0.
    BmpRecipe grey;
    grey.width = 1;
    grey.bitCount = 16;
    grey.compression = kDibBitFields;
    grey.masks = {0xFFFF, 0, 0};
    grey.bits = {0xFF, 0xFF, 0, 0};
    dib = Load(ForgeBmp(grey));
    ASSERT_TRUE(dib);
    EXPECT_EQ(DIBToBitmap(*dib).At(0, 0), 0xFF0000u);
}

TEST(DibRead, ShortColourTablesAndLyingCounts) {
    // Two entries declared for an 8-bit picture: indices past them read black.
    BmpRecipe recipe;
    recipe.width = 3;
    recipe.colorTable = {0xFF0000u, 0x00FF00u};
    recipe.bits = {0, 1, 5, 0};
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(RowOf(DIBToBitmap(*dib), 0), (std::vector<Pixel>{0xFF0000u, 0x00FF00u, 0}));
    EXPECT_EQ(CreateDIBPalette(*dib).entries.size(), 2u);

    // A count far beyond the depth is capped at the depth's table.
    recipe.bitCount = 1;
    recipe.colorsUsed = 100000;
    recipe.bits = {0b01000000, 0, 0, 0};
    dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->colorTable.size(), 2u);
    EXPECT_EQ(RowOf(DIBToBitmap(*dib), 0), (std::vector<Pixel>{0xFF0000u, 0x00FF00u, 0xFF0000u}));

    // A count larger than the room before the pixel data: the data offset
    // wins and the table holds only what fits.
    recipe.bitCount = 8;
    recipe.colorsUsed = 256;
    recipe.colorTable = DistinctColours(4);
    recipe.bits = {3, 2, 1, 0};
    dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->colorTable.size(), 4u);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{3, 2, 1}));
}

TEST(DibRead, PixelOffsetZeroMeansRightAfterTheTable) {
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.colorTable = DistinctColours(3);
    recipe.bits = {2, 1, 0, 0};
    recipe.offBits = 0;
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{2, 1}));
}

TEST(DibRead, PixelOffsetMaySkipAGap) {
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.colorTable = DistinctColours(3);
    recipe.bits = {9, 9, 9, 9, 2, 1, 0, 0};
    recipe.offBits = 14 + 40 + 3 * 4 + 4;
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{2, 1}));
}

TEST(DibRead, LastRowMayLackItsPadding) {
    BmpRecipe recipe;
    recipe.width = 5;
    recipe.height = 2;
    recipe.colorTable = DistinctColours(8);
    recipe.bits = {1, 1, 1, 1, 1, 0, 0, 0, 2, 2, 2, 2, 2}; // bottom row, then the top row unpadded
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{2, 2, 2, 2, 2, 1, 1, 1, 1, 1}));
}

TEST(DibRead, Rle8EveryEscape) {
    BmpRecipe recipe;
    recipe.width = 6;
    recipe.height = 4;
    recipe.compression = kDibRle8;
    recipe.colorTable = DistinctColours(16);
    recipe.bits = {
        3, 5,             // bottom row: three pixels of 5
        0, 3, 1, 2, 3, 0, // three literal pixels, padded to an even count
        0, 0,             // end of row
        0, 2, 2, 1,       // move right 2 and up 1: third row from the bottom
        2, 7,             // two pixels of 7
        0, 0,             // end of row: top row
        1, 9,             // one pixel of 9
        0, 1,             // end of picture
        4, 4,             // ignored
    };
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->header.compression, kDibRle8);
    const std::vector<std::uint8_t> expected = {
        9, 0, 0, 0, 0, 0, // top row
        0, 0, 7, 7, 0, 0, //
        0, 0, 0, 0, 0, 0, // skipped row: index 0
        5, 5, 5, 1, 2, 3, // bottom row
    };
    EXPECT_EQ(dib->indices, expected);
}

TEST(DibRead, Rle4AlternatesNibbles) {
    BmpRecipe recipe;
    recipe.width = 7;
    recipe.height = 2;
    recipe.bitCount = 4;
    recipe.compression = kDibRle4;
    recipe.colorTable = DistinctColours(16);
    recipe.bits = {
        4, 0x12,                      // 1 2 1 2
        0, 3,    0x34, 0x50,          // literal 3 4 5 (two bytes, already even)
        0, 0,                         // end of row
        0, 5,    0x67, 0x89, 0xA0, 0, // literal 6 7 8 9 10, three bytes padded to four
        2, 0xBB,                      // 11 11
        0, 1,
    };
    auto dib = Load(ForgeBmp(recipe));
    ASSERT_TRUE(dib);
    const std::vector<std::uint8_t> expected = {6, 7, 8, 9, 10, 11, 11, 1, 2, 1, 2, 3, 4, 5};
    EXPECT_EQ(dib->indices, expected);
}

TEST(DibRead, RleStreamsOfWholePictures) {
    for (int bits : {4, 8}) {
        const int width = 37;
        const int height = 11;
        // Runs of random length and colour, so both runs and literals occur.
        std::mt19937 rng(bits);
        std::vector<std::uint8_t> indices;
        while (indices.size() < std::size_t(width * height)) {
            const auto value = static_cast<std::uint8_t>(rng() % (1u << bits));
            const std::size_t run = rng() % 3 == 0 ? 1 + rng() % 20 : 1;
            for (std::size_t i = 0; i < run && indices.size() < std::size_t(width * height); ++i)
                indices.push_back(value);
        }
        const auto table = DistinctColours(1 << bits);
        BmpRecipe recipe;
        recipe.width = width;
        recipe.height = height;
        recipe.bitCount = static_cast<std::uint16_t>(bits);
        recipe.compression = bits == 8 ? kDibRle8 : kDibRle4;
        recipe.colorTable = table;
        recipe.bits = EncodeRle(indices, width, height, bits);
        auto dib = Load(ForgeBmp(recipe));
        ASSERT_TRUE(dib) << bits;
        EXPECT_EQ(DIBToBitmap(*dib), Expected(indices, table, width, height)) << bits;

        // Without the end-of-picture escape the picture is still complete.
        recipe.bits.resize(recipe.bits.size() - 2);
        dib = Load(ForgeBmp(recipe));
        ASSERT_TRUE(dib) << bits;
        EXPECT_EQ(DIBToBitmap(*dib), Expected(indices, table, width, height)) << bits;
    }
}

TEST(DibRead, FromAFileOnDisc) {
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.colorTable = DistinctColours(2);
    recipe.bits = {1, 0, 0, 0};
    const Bytes bytes = ForgeBmp(recipe);
    TempDir dir;
    const auto path = dir.Write("PAGE.BMP", std::string(bytes.begin(), bytes.end()));
    auto dib = LoadDIB(path);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{1, 0}));

    std::filesystem::remove(path);
    std::string why;
    EXPECT_FALSE(LoadDIB(path, &why));
    EXPECT_EQ(why.rfind(kDibReadFailure, 0), 0u) << why;
}
