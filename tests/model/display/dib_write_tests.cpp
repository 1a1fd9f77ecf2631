// Turning a picture buffer into an 8-bit bitmap and writing bitmap files.
#include "bmp_forge.h"
#include "model/display/dib.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

LogPalette PaletteOf(std::initializer_list<Pixel> colours) {
    LogPalette palette;
    for (Pixel c : colours)
        palette.entries.push_back({PixelRed(c), PixelGreen(c), PixelBlue(c), 0});
    return palette;
}

PixelBuffer RandomPicture(int width, int height, unsigned seed) {
    PixelBuffer p(width, height);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < p.PixelCount(); ++i)
        p.Data()[i] = rng() & kRgbMask;
    return p;
}

std::size_t FilesIn(const std::filesystem::path& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                  std::filesystem::directory_iterator()));
}

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

} // namespace

TEST(DibWrite, NearestPaletteColourFirstOfEqualsWins) {
    PixelBuffer picture(5, 1);
    picture.Set(0, 0, 0x00FF00u);   // exactly entry 1
    picture.Set(1, 0, 0xF01010u);   // nearest to red
    picture.Set(2, 0, 0x808080u);   // a little nearer white than black
    picture.Set(3, 0, 0x7F0000u);   // equally near black (0) and red (2): the first wins
    picture.Set(4, 0, 0xFF00FF00u); // the top byte is ignored
    const LogPalette palette = PaletteOf({0x000000u, 0x00FF00u, 0xFE0000u, 0xFFFFFFu});
    auto dib = ChangeBitmapFormat(picture, 8, kDibRgb, palette);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->header.bitCount, 8);
    EXPECT_EQ(dib->indices, (std::vector<std::uint8_t>{1, 2, 3, 0, 1}));
    EXPECT_EQ(CreateDIBPalette(*dib), palette);
}

TEST(DibWrite, RefusesWhatItCannotMake) {
    const PixelBuffer picture(2, 2, 0xFFFFFFu);
    const LogPalette palette = PaletteOf({0xFFFFFFu});
    EXPECT_FALSE(ChangeBitmapFormat(picture, 4, kDibRgb, palette));
    EXPECT_FALSE(ChangeBitmapFormat(picture, 8, kDibRle8, palette));
    EXPECT_FALSE(ChangeBitmapFormat(PixelBuffer(), 8, kDibRgb, palette));
    LogPalette tooBig;
    tooBig.entries.resize(257);
    EXPECT_FALSE(ChangeBitmapFormat(picture, 8, kDibRgb, tooBig));
    EXPECT_TRUE(EncodeDIB8(PixelBuffer(), palette).empty());
    EXPECT_TRUE(EncodeDIB8(picture, tooBig).empty());

    Dib broken;
    broken.header = DibHeader{40, 3, 3, false, 8, kDibRgb};
    broken.indices.resize(8); // one short
    EXPECT_TRUE(EncodeDIB(broken).empty());
    EXPECT_TRUE(DIBToBitmap(broken).IsEmpty());
    TempDir dir;
    EXPECT_EQ(SaveDIB(broken, dir / "X.BMP"), DibSaveResult::BadBitmap);
    EXPECT_EQ(SaveDIB8(picture, tooBig, dir / "X.BMP"), DibSaveResult::BadBitmap);
    EXPECT_EQ(FilesIn(dir.Path()), 0u);
}

TEST(DibWrite, PictureWithoutPaletteKeepsUpTo256ColoursExactly) {
    PixelBuffer picture(16, 16);
    for (int i = 0; i < 256; ++i)
        picture.Data()[i] =
            MakePixel(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7),
                      static_cast<std::uint8_t>(255 - i));
    auto dib = ChangeBitmapFormat(picture, 8, kDibRgb, LogPalette{});
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->colorTable.size(), 256u);
    EXPECT_EQ(DIBToBitmap(*dib), picture);
    EXPECT_EQ(EncodeDIB8(picture, LogPalette{}), EncodeDIB(*dib));
}

TEST(DibWrite, SavedFileReadsBackIdentically) {
    TempDir dir;
    const PixelBuffer picture = RandomPicture(31, 17, 1);
    LogPalette palette;
    for (int i = 0; i < 200; ++i)
        palette.entries.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(3 * i),
                                   static_cast<std::uint8_t>(i * i), 0});
    auto dib = ChangeBitmapFormat(picture, 8, kDibRgb, palette);
    ASSERT_TRUE(dib);
    ASSERT_EQ(SaveDIB(*dib, dir / "PAGE.BMP"), DibSaveResult::Saved);
    auto back = LoadDIB(dir / "PAGE.BMP");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->header.bitCount, 8);
    EXPECT_EQ(back->header.compression, kDibRgb);
    EXPECT_EQ(DIBWidth(*back), 31);
    EXPECT_EQ(DIBHeight(*back), 17);
    EXPECT_EQ(back->indices, dib->indices);
    EXPECT_EQ(CreateDIBPalette(*back), palette);
    EXPECT_EQ(DIBToBitmap(*back), DIBToBitmap(*dib));

    // The header says exactly what is there: 200 entries, data right after.
    const auto bytes = EncodeDIB(*dib);
    EXPECT_EQ(U32At(bytes, 2), bytes.size());
    EXPECT_EQ(U32At(bytes, 10), 14u + 40u + 200u * 4u);
    EXPECT_EQ(U32At(bytes, 46), 200u);
}

TEST(DibWrite, FourBitPageComesBackAsEightBit) {
    BmpRecipe recipe;
    recipe.width = 5;
    recipe.height = 3;
    recipe.bitCount = 4;
    for (int i = 0; i < 16; ++i)
        recipe.colorTable.push_back(MakePixel(static_cast<std::uint8_t>(i * 16), 0, 0));
    std::vector<std::uint8_t> indices;
    for (int i = 0; i < 15; ++i)
        indices.push_back(static_cast<std::uint8_t>(i));
    recipe.bits = PackIndexRows(indices, 5, 3, 4, false);
    const auto bytes = ForgeBmp(recipe);
    auto dib = LoadDIB(std::span<const std::uint8_t>(bytes));
    ASSERT_TRUE(dib);
    TempDir dir;
    ASSERT_EQ(SaveDIB(*dib, dir / "PAGE.BMP"), DibSaveResult::Saved);
    auto back = LoadDIB(dir / "PAGE.BMP");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->header.bitCount, 8);
    EXPECT_EQ(DIBToBitmap(*back), DIBToBitmap(*dib));
    EXPECT_EQ(back->colorTable, dib->colorTable);
}

TEST(DibWrite, TrueColourBitmapSavesAsTwentyFourBits) {
    Dib dib;
    dib.header = DibHeader{40, 6, 2, false, 32, kDibRgb};
    dib.pixels = RandomPicture(6, 2, 9);
    TempDir dir;
    ASSERT_EQ(SaveDIB(dib, dir / "TRUE.BMP"), DibSaveResult::Saved);
    auto back = LoadDIB(dir / "TRUE.BMP");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->header.bitCount, 24);
    EXPECT_EQ(DIBToBitmap(*back), dib.pixels);
}

TEST(DibWrite, SavingReplacesTheTargetWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    const auto target = dir / "COPY.BMP";
    dir.Write("COPY.BMP", "old contents");
    auto dib = ChangeBitmapFormat(PixelBuffer(4, 4, 0xFFFFFFu), 8, kDibRgb, LogPalette{});
    ASSERT_TRUE(dib);
    ASSERT_EQ(SaveDIB(*dib, target), DibSaveResult::Saved);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
    const auto bytes = EncodeDIB(*dib);
    EXPECT_EQ(ReadFileBytes(target), std::string(bytes.begin(), bytes.end()));

    // A folder that does not exist: nothing is written anywhere.
    EXPECT_EQ(SaveDIB(*dib, dir / "missing" / "COPY.BMP"), DibSaveResult::CannotCreate);
    // A target that is a folder is left alone.
    dir.MakeDir("FOLDER.BMP");
    EXPECT_EQ(SaveDIB(*dib, dir / "FOLDER.BMP"), DibSaveResult::NotRegularFile);
    EXPECT_EQ(FilesIn(dir.Path()), 2u);
    EXPECT_EQ(ReadFileBytes(target), std::string(bytes.begin(), bytes.end()));
}
