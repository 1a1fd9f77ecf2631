#include "model/colouring/region_fill.h"

#include <gtest/gtest.h>

#include <functional>
#include <queue>
#include <random>
#include <vector>

namespace {

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;

// The fill written as plainly as possible: a breadth-first walk over pixels
// that first collects the region, then paints it.
PixelRect ReferenceFill(PixelBuffer& picture, int x, int y, Pixel colour,
                        const std::function<bool(int, int)>& inRegion) {
    if (!picture.Contains(x, y) || !inRegion(x, y))
        return {};
    std::vector<bool> seen(picture.PixelCount(), false);
    std::vector<std::pair<int, int>> region;
    std::queue<std::pair<int, int>> queue;
    queue.push({x, y});
    seen[static_cast<std::size_t>(y) * picture.Width() + x] = true;
    while (!queue.empty()) {
        auto [px, py] = queue.front();
        queue.pop();
        region.push_back({px, py});
        const int dx[] = {1, -1, 0, 0};
        const int dy[] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            const int nx = px + dx[k];
            const int ny = py + dy[k];
            const std::size_t at = static_cast<std::size_t>(ny) * picture.Width() + nx;
            if (picture.Contains(nx, ny) && !seen[at] && inRegion(nx, ny)) {
                seen[at] = true;
                queue.push({nx, ny});
            }
        }
    }
    PixelRect box;
    for (auto [px, py] : region) {
        picture.Set(px, py, colour);
        box = UnionRect(box, {px, py, px + 1, py + 1});
    }
    return box;
}

PixelRect ReferenceSurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour) {
    if (!picture.Contains(x, y) || SameColour(picture.At(x, y), colour))
        return {};
    const PixelBuffer before = picture;
    const Pixel target = before.At(x, y);
    return ReferenceFill(picture, x, y, colour & kRgbMask,
                         [&](int px, int py) { return SameColour(before.At(px, py), target); });
}

PixelRect ReferenceBlackAreaFill(PixelBuffer& picture, const PixelBuffer& overlay, int x, int y,
                                 Pixel colour) {
    if (SameColour(colour, kBlack))
        return {};
    const PixelBuffer before = picture;
    return ReferenceFill(picture, x, y, colour & kRgbMask, [&](int px, int py) {
        return SameColour(before.At(px, py), kBlack) && SameColour(overlay.At(px, py), kWhite);
    });
}

// Random pictures of a few colours: noise, rectangles and one-pixel
// corridors, sometimes with junk in the unused top byte.
class RandomPictures {
public:
    explicit RandomPictures(unsigned seed) : m_random(seed) {}

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }

    PixelBuffer Make(const std::vector<Pixel>& colours) {
        // Widths past 128 cross the 64-pixel words of the overlay's white mask.
        PixelBuffer picture(Between(1, 150), Between(1, 40));
        auto pick = [&] { return colours[Between(0, static_cast<int>(colours.size()) - 1)]; };
        const int density = Between(0, 100);
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                picture.Set(x, y, Between(0, 99) < density ? pick() : colours[0]);
        for (int n = Between(0, 6); n > 0; --n) {
            const int x0 = Between(0, picture.Width() - 1);
            const int y0 = Between(0, picture.Height() - 1);
            const int x1 = Between(x0, picture.Width() - 1);
            const int y1 = Between(y0, picture.Height() - 1);
            const Pixel c = pick();
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    picture.Set(x, y, c);
        }
        for (int n = Between(0, 3); n > 0; --n)
            Corridor(picture, pick());
        if (Between(0, 3) == 0)
            for (int y = 0; y < picture.Height(); ++y)
                for (int x = 0; x < picture.Width(); ++x)
                    picture.Set(x, y, picture.At(x, y) | Pixel(Between(0, 255)) << 24);
        return picture;
    }

private:
    // A random walk of one-pixel steps: thin, winding shapes.
    void Corridor(PixelBuffer& picture, Pixel colour) {
        int x = Between(0, picture.Width() - 1);
        int y = Between(0, picture.Height() - 1);
        for (int steps = Between(1, 400); steps > 0; --steps) {
            picture.Set(x, y, colour);
            const int d = Between(0, 3);
            x = std::clamp(x + (d == 0) - (d == 1), 0, picture.Width() - 1);
            y = std::clamp(y + (d == 2) - (d == 3), 0, picture.Height() - 1);
        }
    }

    std::mt19937 m_random;
};

// Two fills in turn on each picture, with the storage kept between them as
// the engine keeps it.
TEST(RegionFill, SurfaceFillMatchesReferenceOnRandomPictures) {
    RandomPictures random(20240601);
    const std::vector<Pixel> colours = {kWhite, kBlack, 0xFF0000, 0x00FF00, 0x0000FF};
    FillScratch scratch;
    for (int n = 0; n < 2000; ++n) {
        PixelBuffer picture = random.Make(colours);
        PixelBuffer expected = picture;
        for (int fill = 0; fill < 2; ++fill) {
            const int x = random.Between(0, picture.Width() - 1);
            const int y = random.Between(0, picture.Height() - 1);
            const Pixel colour = colours[random.Between(0, 4)] | Pixel(random.Between(0, 1)) << 24;
            const PixelRect expectedBox = ReferenceSurfaceFill(expected, x, y, colour);
            const PixelRect box = SurfaceFill(picture, x, y, colour, scratch);
            ASSERT_EQ(picture, expected) << "case " << n << " fill " << fill;
            ASSERT_EQ(box, expectedBox) << "case " << n << " fill " << fill;
        }
    }
}

TEST(RegionFill, BlackAreaFillMatchesReferenceOnRandomPictures) {
    RandomPictures random(777);
    const std::vector<Pixel> pictureColours = {kBlack, kWhite, 0xFF0000, kBlack, 0x000001};
    const std::vector<Pixel> overlayColours = {kWhite, kBlack, 0x808080, kWhite, 0xFFFFFE};
    for (int n = 0; n < 2000; ++n) {
        PixelBuffer picture = random.Make(pictureColours);
        PixelBuffer overlay = random.Make(overlayColours);
        // Same size as the picture: keep a window of the random overlay.
        PixelBuffer sized(picture.Width(), picture.Height(), kWhite);
        for (int y = 0; y < std::min(picture.Height(), overlay.Height()); ++y)
            for (int x = 0; x < std::min(picture.Width(), overlay.Width()); ++x)
                sized.Set(x, y, overlay.At(x, y));
        PixelBuffer expected = picture;
        const int x = random.Between(0, picture.Width() - 1);
        const int y = random.Between(0, picture.Height() - 1);
        const Pixel colour = random.Between(0, 9) == 0 ? kBlack : 0xFFFF00;
        const PixelRect expectedBox = ReferenceBlackAreaFill(expected, sized, x, y, colour);
        const PixelRect box = BlackAreaFill(picture, sized, x, y, colour);
        ASSERT_EQ(picture, expected) << "case " << n;
        ASSERT_EQ(box, expectedBox) << "case " << n;
    }
}

// Large regions made only of one-pixel runs, which make the deepest span
// stacks: a one-pixel path winding up and down, and a spiral.
TEST(RegionFill, OnePixelRunsOfLargeRegionsMatchReference) {
    PixelBuffer winding(301, 257, kWhite);
    for (int x = 1; x < winding.Width(); x += 2)
        for (int y = (x % 4 == 1) ? 1 : 0; y < winding.Height() - ((x % 4 == 1) ? 0 : 1); ++y)
            winding.Set(x, y, kBlack);
    PixelBuffer spiral(211, 199, kBlack);
    int left = 0, top = 0, right = spiral.Width() - 1, bottom = spiral.Height() - 1;
    while (left <= right && top <= bottom) {
        for (int x = left; x <= right; ++x)
            spiral.Set(x, top, kWhite);
        for (int y = top; y <= bottom; ++y)
            spiral.Set(right, y, kWhite);
        for (int x = left; x <= right; ++x)
            spiral.Set(x, bottom, kWhite);
        for (int y = top + 2; y <= bottom; ++y)
            spiral.Set(left, y, kWhite);
        left += 2, top += 2, right -= 2, bottom -= 2;
    }
    for (PixelBuffer* picture : {&winding, &spiral}) {
        PixelBuffer expected = *picture;
        const PixelRect expectedBox = ReferenceSurfaceFill(expected, 0, 0, 0x123456);
        EXPECT_EQ(SurfaceFill(*picture, 0, 0, 0x123456), expectedBox);
        EXPECT_EQ(*picture, expected);
        EXPECT_GT(expectedBox.Width() * expectedBox.Height(), 10000);
    }
}

TEST(RegionFill, FillThatCannotChangeAnythingLeavesThePictureAlone) {
    PixelBuffer picture(8, 8, kWhite);
    picture.Set(3, 3, kBlack);
    const PixelBuffer before = picture;
    PixelBuffer overlay(8, 8, kWhite);
    EXPECT_TRUE(SurfaceFill(picture, 1, 1, kWhite | 0xAB000000).IsEmpty()); // same colour
    EXPECT_TRUE(SurfaceFill(picture, -1, 1, 0xFF0000).IsEmpty());
    EXPECT_TRUE(SurfaceFill(picture, 1, 8, 0xFF0000).IsEmpty());
    EXPECT_TRUE(BlackAreaFill(picture, overlay, 3, 3, kBlack).IsEmpty());
    EXPECT_TRUE(BlackAreaFill(picture, overlay, 1, 1, 0xFF0000).IsEmpty()); // not black
    EXPECT_TRUE(BlackAreaFill(picture, PixelBuffer(8, 7, kWhite), 3, 3, 0xFF0000).IsEmpty());
    EXPECT_EQ(picture, before);
}

} // namespace
