#include "model/colouring/round_stroke.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

constexpr Pixel kPaper = 0xFFFFFF;
constexpr Pixel kInk = 0x00AA00;

// Pixel (i, j) is covered when its centre lies within r of the disc at a, the
// disc at b, or the band between them; tested in doubled coordinates, so
// that every quantity is an integer.
bool ReferenceCovers(PixelPoint a, PixelPoint b, int r, int i, int j) {
    const long long px = 2LL * i + 1, py = 2LL * j + 1;
    const long long ax = 2LL * a.x, ay = 2LL * a.y, bx = 2LL * b.x, by = 2LL * b.y;
    const long long r2 = 4LL * r * r;
    auto nearPoint = [&](long long qx, long long qy) {
        return (px - qx) * (px - qx) + (py - qy) * (py - qy) <= r2;
    };
    if (nearPoint(ax, ay) || nearPoint(bx, by))
        return true;
    const long long dx = bx - ax, dy = by - ay;
    const long long along = (px - ax) * dx + (py - ay) * dy;
    if (along <= 0 || along >= dx * dx + dy * dy)
        return false;
    const __int128 across =
        static_cast<__int128>(px - ax) * dy - static_cast<__int128>(py - ay) * dx;
    return across * across <= static_cast<__int128>(r2) * (dx * dx + dy * dy);
}

PixelBuffer ReferenceStroke(int width, int height, PixelPoint a, PixelPoint b, int r) {
    PixelBuffer picture(width, height, kPaper);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            if (ReferenceCovers(a, b, r, i, j))
                picture.Set(i, j, kInk);
    return picture;
}

PixelRect PaintedBox(const PixelBuffer& picture) {
    PixelRect box;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.At(x, y) != kPaper)
                box = UnionRect(box, {x, y, x + 1, y + 1});
    return box;
}

TEST(RoundStroke, DotIsASolidDiscTwoRadiiAcross) {
    for (int r : {1, 3, 5}) {
        PixelBuffer picture(30, 30, kPaper);
        const PixelRect drawn = DrawRoundStroke(picture, {12, 15}, {12, 15}, r, kInk);
        EXPECT_EQ(drawn, (PixelRect{12 - r, 15 - r, 12 + r, 15 + r}));
        EXPECT_EQ(PaintedBox(picture), drawn) << "radius " << r;
        EXPECT_EQ(picture, ReferenceStroke(30, 30, {12, 15}, {12, 15}, r)) << "radius " << r;
    }
    // The smallest dot is the 2 x 2 square up and left of the point.
    PixelBuffer picture(4, 4, kPaper);
    DrawRoundStroke(picture, {2, 2}, {2, 2}, 1, kInk);
    EXPECT_EQ(PaintedBox(picture), (PixelRect{1, 1, 3, 3}));
}

TEST(RoundStroke, RandomStrokesMatchReferenceAndAreClippedToThePicture) {
    std::mt19937 random(4242);
    auto between = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    for (int n = 0; n < 3000; ++n) {
        const int width = between(1, 48);
        const int height = between(1, 40);
        // Mostly near the picture, sometimes far away (long, shallow or steep lines).
        const int reach = n % 5 == 0 ? 5000 : 30;
        const PixelPoint a{between(-reach, width + reach), between(-reach, height + reach)};
        const PixelPoint b{between(-reach, width + reach), between(-reach, height + reach)};
        const int r = between(1, 7);
        PixelBuffer picture(width, height, kPaper);
        const PixelRect drawn = DrawRoundStroke(picture, a, b, r, kInk);
        ASSERT_EQ(picture, ReferenceStroke(width, height, a, b, r))
            << "case " << n << ": (" << a.x << "," << a.y << ")-(" << b.x << "," << b.y << ") r "
            << r;
        ASSERT_EQ(drawn, IntersectRect(RoundStrokeBounds(a, b, r), picture.Bounds()));
        const PixelRect painted = PaintedBox(picture);
        ASSERT_EQ(IntersectRect(painted, drawn), painted) << "painted outside its bounds";
    }
}

TEST(RoundStroke, PointsAtTheLimitsOfIntDrawOnlyInsideThePicture) {
    PixelBuffer picture(20, 10, kPaper);
    EXPECT_EQ(DrawRoundStroke(picture, {INT_MIN, 5}, {INT_MAX, 5}, 3, kInk),
              (PixelRect{0, 2, 20, 8}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(picture.At(x, y), y >= 2 && y < 8 ? kInk : kPaper) << x << "," << y;

    PixelBuffer untouched(20, 10, kPaper);
    EXPECT_TRUE(DrawRoundStroke(untouched, {INT_MIN, INT_MIN}, {INT_MIN, INT_MAX}, INT_MAX, kInk)
                    .IsEmpty());
    EXPECT_TRUE(
        DrawRoundStroke(untouched, {INT_MAX, INT_MAX}, {INT_MAX, INT_MAX}, 5, kInk).IsEmpty());
    EXPECT_EQ(untouched, PixelBuffer(20, 10, kPaper));

    // A diagonal from far above-left to far below-right crosses the corner to corner.
    PixelBuffer diagonal(20, 20, kPaper);
    DrawRoundStroke(diagonal, {-1000000, -1000000}, {1000000, 1000000}, 1, kInk);
    EXPECT_EQ(diagonal, ReferenceStroke(20, 20, {-1000000, -1000000}, {1000000, 1000000}, 1));
}

} // namespace
