#include "line_drawings.h"

#include "stb_write.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSamples = 4; // per side of a pixel

// Distance from the point to the shape's edge, negative inside.
double SignedDistance(const DrawnShape& s, double x, double y) {
    const double dx = x - s.cx, dy = y - s.cy;
    if (s.kind == DrawnShape::Kind::Circle)
        return std::hypot(dx, dy) - s.halfWidth;
    const double ox = std::abs(dx) - s.halfWidth, oy = std::abs(dy) - s.halfHeight;
    return std::hypot(std::max(ox, 0.0), std::max(oy, 0.0)) + std::min(std::max(ox, oy), 0.0);
}

bool Inked(const DrawnShape& s, double x, double y) {
    if (s.gap > 0 && y < s.cy && std::abs(x - s.cx) < s.gap / 2)
        return false;
    return std::abs(SignedDistance(s, x, y)) <= s.stroke / 2;
}

std::uint8_t Blend(std::uint8_t paper, std::uint8_t ink, double coverage) {
    return static_cast<std::uint8_t>(std::lround(paper + (ink - paper) * coverage));
}

template <typename Covers> void Paint(PixelBuffer& picture, Pixel ink, Covers&& covers) {
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx)
                    hits += covers(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
            if (hits == 0)
                continue;
            const double c = hits / double(kSamples * kSamples);
            const Pixel p = picture.At(x, y);
            picture.Set(x, y,
                        MakePixel(std::min(PixelRed(p), Blend(255, PixelRed(ink), c)),
                                  std::min(PixelGreen(p), Blend(255, PixelGreen(ink), c)),
                                  std::min(PixelBlue(p), Blend(255, PixelBlue(ink), c))));
        }
    }
}

} // namespace

PixelBuffer DrawLineArt(int width, int height, const std::vector<DrawnShape>& shapes,
                        const std::vector<DrawnSpeck>& specks) {
    PixelBuffer picture(width, height, 0xFFFFFF);
    for (const DrawnShape& s : shapes)
        Paint(picture, s.ink, [&](double x, double y) { return Inked(s, x, y); });
    for (const DrawnSpeck& s : specks)
        Paint(picture, MakePixel(s.grey, s.grey, s.grey),
              [&](double x, double y) { return std::hypot(x - s.x, y - s.y) <= s.radius; });
    return picture;
}

bool InsideOuterEdge(const DrawnShape& shape, double x, double y, double margin) {
    return SignedDistance(shape, x, y) <= shape.stroke / 2 + margin;
}

bool InsideInnerEdge(const DrawnShape& shape, double x, double y, double margin) {
    return SignedDistance(shape, x, y) < -shape.stroke / 2 - margin;
}

std::string EncodePng(const PixelBuffer& picture, int alpha) {
    std::vector<std::uint8_t> samples;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Pixel p = picture.Data()[i];
        samples.insert(samples.end(), {PixelRed(p), PixelGreen(p), PixelBlue(p)});
        if (alpha != 255)
            samples.push_back(static_cast<std::uint8_t>(alpha));
    }
    return StbWritePng(picture.Width(), picture.Height(), alpha != 255 ? 4 : 3, samples.data());
}

std::string EncodeJpeg(const PixelBuffer& picture, int quality) {
    std::vector<std::uint8_t> samples;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Pixel p = picture.Data()[i];
        samples.insert(samples.end(), {PixelRed(p), PixelGreen(p), PixelBlue(p)});
    }
    return StbWriteJpeg(picture.Width(), picture.Height(), samples.data(), quality);
}
