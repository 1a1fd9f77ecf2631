// The 32-bit picture buffer shared by the bitmap codec and the pixel engine,
// and the two colour encodings that meet at its edge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One pixel of a picture buffer: 0x00RRGGBB (a red fill reads 0x00FF0000).
// The top byte is unused; comparisons look at the low 24 bits only.
using Pixel = std::uint32_t;

// A stored colour value as the volume file and the colour table hold it:
// 0x00BBGGRR, red in the lowest byte.
using ColorRef = std::uint32_t;

constexpr Pixel kRgbMask = 0x00FFFFFFu;

constexpr Pixel MakePixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}
constexpr std::uint8_t PixelRed(Pixel p) {
    return static_cast<std::uint8_t>(p >> 16);
}
constexpr std::uint8_t PixelGreen(Pixel p) {
    return static_cast<std::uint8_t>(p >> 8);
}
constexpr std::uint8_t PixelBlue(Pixel p) {
    return static_cast<std::uint8_t>(p);
}
constexpr bool SameColour(Pixel a, Pixel b) {
    return ((a ^ b) & kRgbMask) == 0;
}

constexpr ColorRef MakeColorRef(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (ColorRef{b} << 16) | (ColorRef{g} << 8) | ColorRef{r};
}
// Swap red and blue; the same operation converts in both directions.
constexpr Pixel ColorRefToPixel(ColorRef c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr ColorRef PixelToColorRef(Pixel p) {
    return ColorRefToPixel(p);
}

// A rectangle of pixels, right and bottom edges outside: [left, right) x [top, bottom).
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool Contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Smallest rectangle holding both; an empty rectangle adds nothing.
PixelRect UnionRect(const PixelRect& a, const PixelRect& b);
// Common part of both, or an empty rectangle.
PixelRect IntersectRect(const PixelRect& a, const PixelRect& b);

// A width x height array of pixels, rows top to bottom, no padding.
// Owns its pixels; copying copies them. A default buffer is empty (0 x 0).
// The constructor does not check sizes: callers that take sizes from a file
// check them against their own limit before building a buffer.
class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, Pixel fill = 0);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_pixels.empty(); }
    PixelRect Bounds() const { return {0, 0, m_width, m_height}; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }

    Pixel* Data() { return m_pixels.data(); }
    const Pixel* Data() const { return m_pixels.data(); }
    std::size_t PixelCount() const { return m_pixels.size(); }
    Pixel* Row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * Stride(); }
    const Pixel* Row(int y) const {
        return m_pixels.data() + static_cast<std::size_t>(y) * Stride();
    }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel p) { Row(y)[x] = p; }
    void Fill(Pixel p);

    friend bool operator==(const PixelBuffer&, const PixelBuffer&) = default;

private:
    std::size_t Stride() const { return static_cast<std::size_t>(m_width); }

    int m_width = 0;
    int m_height = 0;
    std::vector<Pixel> m_pixels;
};
