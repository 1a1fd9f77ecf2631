// The committed pages of the sample book: real files the reader must take,
// drawn as the colouring tools need them.
#include "model/controls/color_table.h"
#include "model/display/dib.h"
#include "model/display/page_picture.h"
#include "platform/host_paths.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

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

struct SamplePage {
    const char* name;
    int bitCount;
};
// The three depths a book's pages come in, two pages each.
constexpr SamplePage kPages[] = {{"CAT.BMP", 1},   {"DOG.BMP", 4}, {"FISH.BMP", 8},
                                 {"HOUSE.BMP", 1}, {"SUN.BMP", 4}, {"TREE.BMP", 8}};

fs::path PageFile(const char* name) {
    return fs::path(TINTAROO_SAMPLE_PAGES) / name;
}

// White and black first, then, as far as the table reaches, the paint
// colours (a 4-bit page has the sixteen standard ones), so a coloured page
// saves without changing a colour.
void ExpectPaintColoursFirst(const LogPalette& palette, int bitCount, const char* name) {
    const std::size_t size = std::size_t{1} << bitCount;
    ASSERT_EQ(palette.entries.size(), size) << name;
    const LogPalette paint = CreateColorTablePalette();
    for (std::size_t i = 0; i < std::min<std::size_t>(size, paint.entries.size()); ++i)
        EXPECT_EQ(palette.entries[i], paint.entries[i]) << name << " entry " << i;
}

} // namespace

TEST(SamplePages, BoldBlackLineArtOnWhite) {
    for (const SamplePage& page : kPages) {
        const char* name = page.name;
        std::string why;
        auto dib = LoadDIB(PageFile(name), &why);
        ASSERT_TRUE(dib) << name << ": " << why;
        EXPECT_EQ(dib->header.bitCount, page.bitCount) << name;
        EXPECT_EQ(dib->header.compression, kDibRgb) << name;
        EXPECT_EQ(DIBWidth(*dib), 600) << name;
        EXPECT_EQ(DIBHeight(*dib), 450) << name;
        ExpectPaintColoursFirst(CreateDIBPalette(*dib), page.bitCount, name);

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

// The colouring view shows every page in black and white, with the thirty
// colours in its wells, and a page coloured in all of them saves them all.
TEST(SamplePages, ColouredInAllThirtyColours) {
    TempDir dir;
    HostPaths paths;
    ScriptedDialogs dialogs;
    ColouringPagePicture picture(paths, dialogs);
    for (const SamplePage& page : kPages) {
        ASSERT_EQ(picture.LoadPicture(PageFile(page.name).string()), 1) << page.name;
        EXPECT_EQ(picture.Buffer(), DIBToBitmap(*LoadDIB(PageFile(page.name)))) << page.name;
        EXPECT_EQ(picture.WorkingPalette(), picture.PristinePalette()) << page.name;
        // The thirty colours for 1- and 4-bit pages, the page's own table for 8-bit ones.
        EXPECT_EQ(picture.PaletteInUse() == &picture.WorkingPalette(), page.bitCount <= 4)
            << page.name;
        for (int colour = 0; colour < kColorCount; ++colour)
            picture.Buffer().Set(10 + colour, 10, ColorTablePixel(colour));
        const fs::path copy = dir / page.name;
        ASSERT_EQ(picture.SavePicture(copy.string()), 1) << page.name;
        EXPECT_EQ(DIBToBitmap(*LoadDIB(copy)), picture.Buffer()) << page.name;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}
