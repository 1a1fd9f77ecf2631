#include "book_tool/line_art.h"

#include "line_drawings.h"
#include "model/colouring/pixel_engine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kSize = 96;
constexpr Pixel kRed = 0xFF0000;

bool BlackOrWhite(Pixel p) {
    return p == 0x000000 || p == 0xFFFFFF;
}

// An anti-aliased drawing of one shape with grey dust outside it and a dot
// the artist meant; after clean-up, a fill seeded in the middle of the shape
// as the colouring tools do stays inside the shape and reaches all of it.
TEST(LineArtTest, AFillStaysInsideEachCleanedShapeAndLeavesNoGrey) {
    using Kind = DrawnShape::Kind;
    struct Case {
        const char* name;
        DrawnShape shape;
        LineArtOptions options;
        bool leaks; // the break is wider than the clean-up closes
    };
    const double c = kSize / 2.0;
    const std::vector<Case> cases = {
        {"closed circle", {Kind::Circle, c, c, 30, 30, 1.5, 0, 0}, {}, false},
        {"circle, 1 px gap", {Kind::Circle, c, c, 30, 30, 2.5, 1, 0}, {}, false},
        {"thin circle, 2 px gap", {Kind::Circle, c, c, 28, 28, 1.0, 2, 0}, {}, false},
        {"rectangle, 2 px gap", {Kind::Rectangle, c, c, 32, 24, 1.2, 2, 0}, {}, false},
        {"blue rectangle, 3 px gap", {Kind::Rectangle, c, c, 30, 30, 2, 3, 0x203080}, {}, false},
        {"circle, 8 px gap", {Kind::Circle, c, c, 30, 30, 2, 8, 0}, {}, true},
        {"circle, 8 px gap, --gap 10", {Kind::Circle, c, c, 30, 30, 2, 8, 0}, {9, 10}, false},
        {"circle, 2 px gap, --gap 0", {Kind::Circle, c, c, 30, 30, 2, 2, 0}, {9, 0}, true},
    };
    const std::vector<DrawnSpeck> dust = {{5.5, 5.5, 1.2, 40}, {90, 8, 1, 80}, {7, 88, 0.7, 60}};
    const DrawnSpeck dot = {88, 88, 2.5, 0}; // about 20 pixels: stays
    for (const Case& k : cases) {
        std::vector<DrawnSpeck> specks = dust;
        specks.push_back(dot);
        const PixelBuffer drawing = DrawLineArt(kSize, kSize, {k.shape}, specks);
        const LineArtResult cleaned = CleanLineArt(drawing, k.options);
        ASSERT_EQ(cleaned.picture.Width(), kSize) << k.name;
        ASSERT_EQ(cleaned.picture.Height(), kSize) << k.name;
        EXPECT_GE(cleaned.specks, 1u) << k.name;
        EXPECT_EQ(cleaned.picture.At(88, 88), 0x000000u) << k.name;

        PixelBuffer page = cleaned.picture;
        PixelEngine engine;
        ASSERT_TRUE(engine.EnterColouring(page, cleaned.picture));
        ASSERT_EQ(engine.Fill(page, kSize / 2, kSize / 2, kRed).status, FillStatus::Filled);
        int outside = 0, missed = 0, notBlackOrWhite = 0, dirt = 0;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                const bool filled = page.At(x, y) == kRed;
                notBlackOrWhite += !BlackOrWhite(cleaned.picture.At(x, y));
                outside += filled && !InsideOuterEdge(k.shape, px, py, 0.5);
                missed += !filled && InsideInnerEdge(k.shape, px, py, 1.0);
                dirt += cleaned.picture.At(x, y) == 0 && !InsideOuterEdge(k.shape, px, py, 1.0) &&
                        std::hypot(px - dot.x, py - dot.y) > dot.radius + 1;
            }
        }
        EXPECT_EQ(notBlackOrWhite, 0) << k.name;
        EXPECT_EQ(dirt, 0) << k.name; // no speck of dust is left
        if (k.leaks) {
            EXPECT_GT(outside, 0) << k.name;
        } else {
            EXPECT_EQ(outside, 0) << k.name;
            EXPECT_EQ(missed, 0) << k.name;
        }
    }
}

// A picture of one luminance has no outline to find: paper stays white and
// a black sheet black.
TEST(LineArtTest, PicturesOfOneLuminanceKeepTheirLook) {
    for (auto [colour, expected] : {std::pair<Pixel, Pixel>{0xFFFFFF, 0xFFFFFF},
                                    {0xC0C0C0, 0xFFFFFF},
                                    {0x303030, 0x000000}}) {
        const LineArtResult cleaned = CleanLineArt(PixelBuffer(7, 5, colour));
        EXPECT_EQ(cleaned.picture, PixelBuffer(7, 5, expected)) << std::hex << colour;
        EXPECT_EQ(cleaned.bridged, 0u);
    }
    EXPECT_TRUE(CleanLineArt(PixelBuffer()).picture.IsEmpty());
}

} // namespace
