// The committed pages of the sample book: real files the reader must take,
// drawn as the colouring tools need them.
#include "display/dib.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// White areas a fill would take: 4-connected runs of white pixels.
int WhiteAreas(const PixelBuffer& p) {
    std::vector<bool> seen(p.PixelCount());
    std::vector<std::pair<int, int>> stack;
    int areas = 0;
    for (int y = 0; y < p.Height(); ++y) {
        for (int x = 0; x < p.Width(); ++x) {
            const std::size_t at = std::size_t(y) * p.Width() + x;
            if (seen[at] || p.At(x, y) != 0xFFFFFFu)
                continue;
            ++areas;
            stack.push_back({x, y});
            seen[at] = true;
            while (!stack.empty()) {
                const auto [cx, cy] = stack.back();
                stack.pop_back();
                const int next[4][2] = {{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}};
                for (const auto& n : next) {
                    if (!p.Contains(n[0], n[1]))
                        continue;
                    const std::size_t i = std::size_t(n[1]) * p.Width() + n[0];
                    if (!seen[i] && p.At(n[0], n[1]) == 0xFFFFFFu) {
                        seen[i] = true;
                        stack.push_back({n[0], n[1]});
                    }
                }
            }
        }
    }
    return areas;
}

} // namespace

TEST(SamplePages, BoldBlackLineArtOnWhite) {
    for (const char* name :
         {"CAT.BMP", "DOG.BMP", "FISH.BMP", "HOUSE.BMP", "SUN.BMP", "TREE.BMP"}) {
        std::string why;
        auto dib = LoadDIB(std::filesystem::path(TINTAROO_SAMPLE_PAGES) / name, &why);
        ASSERT_TRUE(dib) << name << ": " << why;
        EXPECT_EQ(dib->header.bitCount, 8) << name;
        EXPECT_EQ(DIBWidth(*dib), 600) << name;
        EXPECT_EQ(DIBHeight(*dib), 450) << name;
        // The palette holds the paint colours, white and black first, so a
        // coloured page saves without changing a colour.
        const LogPalette palette = CreateDIBPalette(*dib);
        ASSERT_EQ(palette.entries.size(), 256u) << name;
        EXPECT_EQ(palette.entries[0], (PaletteEntry{255, 255, 255, 0})) << name;
        EXPECT_EQ(palette.entries[1], (PaletteEntry{0, 0, 0, 0})) << name;
        EXPECT_EQ(palette.entries[29], (PaletteEntry{204, 204, 102, 0})) << name;

        const PixelBuffer picture = DIBToBitmap(*dib);
        std::size_t black = 0;
        for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
            const Pixel c = picture.Data()[i];
            ASSERT_TRUE(c == 0xFFFFFFu || c == 0) << name << ": a shade at pixel " << i;
            black += c == 0;
        }
        EXPECT_GT(black, picture.PixelCount() / 50) << name << ": outlines too thin";
        EXPECT_LT(black, picture.PixelCount() / 5) << name << ": too much black";
        EXPECT_GE(WhiteAreas(picture), 8) << name << ": too few areas to fill";
    }
}
