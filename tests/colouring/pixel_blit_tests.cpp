#include "colouring/pixel_blit.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

constexpr Pixel kWhite = 0xFFFFFF;

// Mostly white overlays with scattered colour, so that some 64-pixel words of
// the white mask are all white and others are not.
PixelBuffer RandomOverlay(std::mt19937& random, int width, int height) {
    PixelBuffer overlay(width, height, kWhite);
    std::uniform_int_distribution<int> pick(0, 199);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pick(random) == 0)
                overlay.Set(x, y, static_cast<Pixel>(random()) & 0xFF7F7F7F);
    return overlay;
}

TEST(PixelBlit, ComposeOrMatchesPlainOrInsideTheRectangleOnly) {
    std::mt19937 random(99);
    auto between = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int n = 0; n < 300; ++n) {
        const int width = between(1, 300);
        const int height = between(1, 12);
        PixelBuffer picture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.Set(x, y, static_cast<Pixel>(random()));
        const PixelBuffer overlay = RandomOverlay(random, width, height);
        const PixelRect rect{between(-10, width), between(-3, height), between(-10, width + 10),
                             between(-3, height + 3)};
        PixelBuffer target(width, height, 0x12345678);
        const PixelRect written = ComposeOr(picture, overlay, WhiteMask(overlay), target, rect);
        ASSERT_EQ(written, IntersectRect(rect, picture.Bounds()));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Pixel expected = written.Contains(x, y)
                                           ? (picture.At(x, y) | overlay.At(x, y)) & kRgbMask
                                           : 0x12345678;
                ASSERT_EQ(target.At(x, y), expected) << "case " << n << " at " << x << "," << y;
            }
    }
}

TEST(PixelBlit, MismatchedSizesAndFarRectanglesWriteNothing) {
    const PixelBuffer picture(10, 10, 0x00FF00);
    const PixelBuffer overlay(10, 10, kWhite);
    PixelBuffer target(10, 10, 0);
    EXPECT_TRUE(ComposeOr(picture, overlay, WhiteMask(PixelBuffer(10, 9)), target, target.Bounds())
                    .IsEmpty());
    EXPECT_TRUE(ComposeOr(picture, PixelBuffer(9, 10), WhiteMask(overlay), target, target.Bounds())
                    .IsEmpty());
    EXPECT_TRUE(CopyPixels(picture, target, {INT_MIN, INT_MIN, INT_MIN + 5, INT_MAX}).IsEmpty());
    EXPECT_EQ(target, PixelBuffer(10, 10, 0));

    // A smaller source is copied as far as it reaches.
    EXPECT_EQ(CopyPixels(PixelBuffer(4, 20, 7), target, {-5, -5, 100, 100}),
              (PixelRect{0, 0, 4, 10}));
    EXPECT_EQ(target.At(3, 9), 7u);
    EXPECT_EQ(target.At(4, 0), 0u);
}

TEST(WhiteMask, MarksExactlyThePixelsWhoseLowBitsAreAllSet) {
    PixelBuffer buffer(130, 2, kWhite);
    buffer.Set(0, 0, 0xFFFFFE);
    buffer.Set(64, 0, 0xFEFFFFFF); // a junk top byte does not matter
    buffer.Set(129, 1, 0x7FFFFF);
    const WhiteMask mask(buffer);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 130; ++x)
            EXPECT_EQ(mask.IsWhite(x, y), SameColour(buffer.At(x, y), kWhite)) << x << "," << y;
    EXPECT_FALSE(mask.IsWhite(-1, 0));
    EXPECT_FALSE(mask.IsWhite(130, 0));
    EXPECT_FALSE(mask.IsWhite(0, 2));
    EXPECT_TRUE(WhiteMask(PixelBuffer()).IsEmpty());
}

} // namespace
