// Nearest-colour look-ups and the palette built for pictures without one.
#include "model/display/colour_match.h"
#include "model/display/palette_builder.h"

#include <gtest/gtest.h>

#include <random>

TEST(ColourMatch, NearestPaletteIndexRules) {
    const std::vector<Pixel> palette = {0x000000u, 0xFF0000u, 0xFF0000u, 0xFFFFFFu};
    EXPECT_EQ(NearestPaletteIndex(std::span<const Pixel>(), 0x123456u), -1);
    EXPECT_EQ(NearestPaletteIndex(palette, 0xEE0101u), 1); // duplicates: the first
    EXPECT_EQ(NearestPaletteIndex(palette, 0x7F0000u), 0); // a tie: the first
    EXPECT_EQ(NearestPaletteIndex(palette, 0x800000u), 1);
    EXPECT_EQ(NearestPaletteIndex(palette, 0xFFFFFFFFu), 3); // top byte ignored
    LogPalette log;
    log.entries = {{0, 0, 0, 0}, {0, 0, 255, 0}};
    EXPECT_EQ(NearestPaletteIndex(log, 0x0000C0u), 1);
}

// The fast map must give the plain search's answer for every colour, with
// palettes full of near ties and duplicates as well as sparse ones.
TEST(ColourMatch, MapAgreesWithPlainSearch) {
    std::mt19937 rng(42);
    std::vector<std::vector<Pixel>> palettes = {{0x808080u}, {0x000000u, 0xFFFFFFu}};
    std::vector<Pixel> coarse; // a 6 x 6 x 6 cube, many equal distances
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                coarse.push_back(MakePixel(static_cast<std::uint8_t>(r * 51),
                                           static_cast<std::uint8_t>(g * 51),
                                           static_cast<std::uint8_t>(b * 51)));
    palettes.push_back(coarse);
    std::vector<Pixel> random(256);
    for (Pixel& c : random)
        c = rng() & 0xE0E0E0u; // few levels: duplicates and ties
    palettes.push_back(random);
    for (const auto& palette : palettes) {
        NearestColourMap map(palette);
        for (int i = 0; i < 20000; ++i) {
            const Pixel c = rng() & kRgbMask;
            ASSERT_EQ(map.Index(c), NearestPaletteIndex(palette, c)) << std::hex << c;
            ASSERT_EQ(map.Index(c), NearestPaletteIndex(palette, c)) << "cached " << std::hex << c;
        }
        for (Pixel c : {0x000000u, 0xFFFFFFu, 0x1F1F1Fu, 0x202020u, 0xFF00FFu, 0x7F7F80u})
            EXPECT_EQ(map.Index(c), NearestPaletteIndex(palette, c)) << std::hex << c;
    }
}

TEST(PaletteBuilder, FewColoursKeptExactlyInOrderOfAppearance) {
    PixelBuffer picture(4, 2, 0xFFFFFFu);
    picture.Set(3, 0, 0x00FF0000u);
    picture.Set(0, 1, 0x12000000u); // black, whatever the top byte
    picture.Set(2, 1, 0x00FF0000u);
    const LogPalette palette = BuildPalette(picture);
    EXPECT_EQ(palette.palVersion, 0x300);
    EXPECT_EQ(PaletteColours(palette), (std::vector<Pixel>{0xFFFFFFu, 0xFF0000u, 0x000000u}));
    EXPECT_TRUE(BuildPalette(PixelBuffer()).entries.empty());
}

TEST(PaletteBuilder, ManyColoursGetAClosePalette) {
    // A smooth picture of 256 x 64 colours: the palette must cover it all
    // closely, far better than any one colour standing for a large part.
    PixelBuffer picture(256, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            picture.Set(
                x, y, MakePixel(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y * 4), 0));
    const std::vector<Pixel> palette = PaletteColours(BuildPalette(picture));
    ASSERT_LE(palette.size(), 256u);
    EXPECT_GT(palette.size(), 200u);
    int worst = 0;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Pixel c = picture.Data()[i];
        worst = std::max(worst, ColourDistance(c, palette[NearestPaletteIndex(palette, c)]));
    }
    EXPECT_LE(worst, 3 * 24 * 24);

    // Two pixels far from all the others keep a colour of their own.
    picture.Set(0, 0, 0x0000FFu);
    picture.Set(1, 0, 0x0000FDu);
    const std::vector<Pixel> withBlue = PaletteColours(BuildPalette(picture));
    EXPECT_EQ(withBlue[NearestPaletteIndex(withBlue, 0x0000FFu)], 0x0000FEu);
}
