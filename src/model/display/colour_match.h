// Finding the palette colour nearest to a picture colour: the rule every
// conversion to a palette follows (saving a page, adapting the palette
// window's wells to a picture's own palette).
#pragma once

#include "model/log_palette.h"
#include "model/pixel_buffer.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

constexpr Pixel PaletteEntryPixel(const PaletteEntry& e) {
    return MakePixel(e.peRed, e.peGreen, e.peBlue);
}
constexpr PaletteEntry PixelPaletteEntry(Pixel p) {
    return {PixelRed(p), PixelGreen(p), PixelBlue(p), 0};
}
// The palette's colours as pixels, in entry order.
std::vector<Pixel> PaletteColours(const LogPalette& palette);

// Squared distance between two colours in RGB space; the top byte is ignored.
int ColourDistance(Pixel a, Pixel b);

// Index of the palette colour nearest to `colour` (least ColourDistance; of
// equally near colours, the first). -1 for an empty palette.
int NearestPaletteIndex(std::span<const Pixel> palette, Pixel colour);
int NearestPaletteIndex(const LogPalette& palette, Pixel colour);

// The same rule for many look-ups against one palette of 1 to 256 colours,
// much faster than NearestPaletteIndex: it remembers recent answers and
// narrows each search to the colours that can win in that part of RGB space.
// Gives exactly NearestPaletteIndex's answer. Keeps a copy of the palette.
class NearestColourMap {
public:
    // `palette` must hold 1 to 256 colours.
    explicit NearestColourMap(std::span<const Pixel> palette);

    std::uint8_t Index(Pixel colour);

private:
    static constexpr int kCellCount = 512; // RGB space cut into 8 x 8 x 8 cells
    static constexpr int kCacheSize = 4096;

    const std::vector<std::uint8_t>& Candidates(Pixel colour);
    std::uint8_t Search(Pixel colour);

    std::vector<Pixel> m_palette;
    std::array<std::vector<std::uint8_t>, kCellCount> m_cells;
    std::array<bool, kCellCount> m_cellReady{};
    // Recent answers: key is the colour with bit 24 set (0 = unused slot).
    std::vector<std::uint32_t> m_cacheKeys;
    std::vector<std::uint8_t> m_cacheValues;
};
