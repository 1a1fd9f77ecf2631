#include "model/colouring/pixel_blit.h"
#include "model/colouring/pixel_mask.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

constexpr Pixel kWhite = 0xFFFFFF;

TEST(PixelBlit, OrAndCopyWriteExactlyTheRectangleClippedToTheBuffers) {
    std::mt19937 random(99);
    auto between = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int n = 0; n < 300; ++n) {
        const int width = between(1, 40);
        const int height = between(1, 12);
        PixelBuffer first(width, height);
        PixelBuffer second(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                first.Set(x, y, static_cast<Pixel>(random()));
                second.Set(x, y, static_cast<Pixel>(random()));
            }
        // Whole rows now and then: those are copied as one stretch.
        const PixelRect rect = n % 4 == 0
                                   ? PixelRect{0, between(-3, height), width, height}
                                   : PixelRect{between(-10, width), between(-3, height),
                                               between(-10, width + 10), between(-3, height + 3)};
        const PixelRect inside = IntersectRect(rect, first.Bounds());
        PixelBuffer ored(width, height, 0x12345678);
        PixelBuffer copied(width, height, 0x12345678);
        ASSERT_EQ(OrPixels(first, second, ored, rect), inside);
        ASSERT_EQ(CopyPixels(first, copied, rect), inside);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool in = inside.Contains(x, y);
                ASSERT_EQ(ored.At(x, y), in ? first.At(x, y) | second.At(x, y) : 0x12345678u);
                ASSERT_EQ(copied.At(x, y), in ? first.At(x, y) : 0x12345678u);
            }
    }
}

// Whole-picture ORs take another path (streaming stores, aligned first).
TEST(PixelBlit, OrOfALargePictureMatchesPixelByPixel) {
    const int width = 1100;
    const int height = 1000;
    PixelBuffer first(width, height);
    PixelBuffer second(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            first.Set(x, y, static_cast<Pixel>(x * 2654435761u + y));
            second.Set(x, y, static_cast<Pixel>(y * 40503u) ^ static_cast<Pixel>(x));
        }
    for (int top : {0, 1}) { // row 1 starts off the vector alignment
        PixelBuffer target(width, height, 0xABCDEF);
        ASSERT_EQ(OrPixels(first, second, target, {0, top, width, height}),
                  (PixelRect{0, top, width, height}));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(target.At(x, y), y < top ? 0xABCDEFu : first.At(x, y) | second.At(x, y))
                    << x << "," << y;
    }
}

TEST(PixelBlit, MismatchedSizesAndFarRectanglesWriteNothing) {
    const PixelBuffer picture(10, 10, 0x00FF00);
    PixelBuffer target(10, 10, 0);
    EXPECT_TRUE(OrPixels(picture, PixelBuffer(9, 10), target, target.Bounds()).IsEmpty());
    EXPECT_TRUE(OrPixels(picture, picture, target, {INT_MIN, 0, INT_MAX, -1}).IsEmpty());
    EXPECT_TRUE(CopyPixels(picture, target, {INT_MIN, INT_MIN, INT_MIN + 5, INT_MAX}).IsEmpty());
    EXPECT_EQ(target, PixelBuffer(10, 10, 0));

    // A smaller source is copied as far as it reaches.
    EXPECT_EQ(CopyPixels(PixelBuffer(4, 20, 7), target, {-5, -5, 100, 100}),
              (PixelRect{0, 0, 4, 10}));
    EXPECT_EQ(target.At(3, 9), 7u);
    EXPECT_EQ(target.At(4, 0), 0u);
}

TEST(PixelMask, MarksExactlyThePixelsOfOneColourAndComposesPartsOfRows) {
    PixelBuffer buffer(130, 2, kWhite);
    buffer.Set(0, 0, 0xFFFFFE);
    buffer.Set(64, 0, 0xFEFFFFFF); // a junk top byte does not matter
    buffer.Set(129, 1, 0x7FFFFF);
    PixelMask mask(buffer, kWhite);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 130; ++x)
            EXPECT_EQ(mask.Test(x, y), SameColour(buffer.At(x, y), kWhite)) << x << "," << y;
    EXPECT_FALSE(mask.Test(-1, 0));
    EXPECT_FALSE(mask.Test(130, 0));
    EXPECT_FALSE(mask.Test(0, 2));
    EXPECT_EQ(mask.Row(0)[3], 0u); // the spare word after the row
    EXPECT_TRUE(PixelMask(PixelBuffer(), kWhite).IsEmpty());

    // Recomposing [60, 70) of row 1 for black touches only those bits, across a word edge.
    buffer.Set(65, 1, 0);
    mask.ComposeRow(1, buffer.Row(1), 0, 60, 70);
    for (int x = 0; x < 130; ++x)
        EXPECT_EQ(mask.Test(x, 1), x == 65 || ((x < 60 || x >= 70) && x != 129)) << x;
    EXPECT_EQ(mask.Count(), 129u + 120u);
}

} // namespace
