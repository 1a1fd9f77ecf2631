#include "model/display/colour_match.h"

#include <algorithm>
#include <limits>

int ColourDistance(Pixel a, Pixel b) {
    const int dr = int(PixelRed(a)) - int(PixelRed(b));
    const int dg = int(PixelGreen(a)) - int(PixelGreen(b));
    const int db = int(PixelBlue(a)) - int(PixelBlue(b));
    return dr * dr + dg * dg + db * db;
}

int NearestPaletteIndex(std::span<const Pixel> palette, Pixel colour) {
    int best = -1;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int d = ColourDistance(palette[i], colour);
        if (d < bestDistance) { // strictly less: the first of equals wins
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

int NearestPaletteIndex(const LogPalette& palette, Pixel colour) {
    return NearestPaletteIndex(PaletteColours(palette), colour);
}

std::vector<Pixel> PaletteColours(const LogPalette& palette) {
    std::vector<Pixel> colours;
    colours.reserve(palette.entries.size());
    for (const PaletteEntry& e : palette.entries)
        colours.push_back(PaletteEntryPixel(e));
    return colours;
}

NearestColourMap::NearestColourMap(std::span<const Pixel> palette)
    : m_palette(palette.begin(), palette.end()), m_cacheKeys(kCacheSize, 0),
      m_cacheValues(kCacheSize, 0) {}

namespace {

constexpr int kCellShift = 5; // 8 cells per channel, as NearestColourMap's kCellCount says

int CellOf(Pixel c) {
    return ((PixelRed(c) >> kCellShift) << 6) | ((PixelGreen(c) >> kCellShift) << 3) |
           (PixelBlue(c) >> kCellShift);
}

// Squared distance from a channel value to the nearest and farthest points
// of a cell's range [lo, lo + width - 1] on that channel.
void ChannelSpan(int value, int lo, int& nearSq, int& farSq) {
    const int hi = lo + (1 << kCellShift) - 1;
    const int nearD = value < lo ? lo - value : (value > hi ? value - hi : 0);
    const int farD = std::max(value - lo, hi - value);
    nearSq += nearD * nearD;
    farSq += farD * farD;
}

} // namespace

// A palette colour can be nearest to some colour of a cell only if its
// nearest point of the cell is no farther than the farthest point of the
// cell is from the best colour. The list keeps palette order, so a search
// over it picks the same first-of-equals as a search over the whole palette.
const std::vector<std::uint8_t>& NearestColourMap::Candidates(Pixel colour) {
    const int cell = CellOf(colour);
    if (m_cellReady[cell])
        return m_cells[cell];
    const int lo[3] = {(cell >> 6) << kCellShift, ((cell >> 3) & 7) << kCellShift,
                       (cell & 7) << kCellShift};
    std::vector<int> nearSq(m_palette.size());
    int bound = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        const Pixel p = m_palette[i];
        int farSq = 0;
        ChannelSpan(PixelRed(p), lo[0], nearSq[i], farSq);
        ChannelSpan(PixelGreen(p), lo[1], nearSq[i], farSq);
        ChannelSpan(PixelBlue(p), lo[2], nearSq[i], farSq);
        bound = std::min(bound, farSq);
    }
    std::vector<std::uint8_t>& list = m_cells[cell];
    for (std::size_t i = 0; i < m_palette.size(); ++i)
        if (nearSq[i] <= bound)
            list.push_back(static_cast<std::uint8_t>(i));
    m_cellReady[cell] = true;
    return list;
}

std::uint8_t NearestColourMap::Search(Pixel colour) {
    std::uint8_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::uint8_t i : Candidates(colour)) {
        const int d = ColourDistance(m_palette[i], colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

std::uint8_t NearestColourMap::Index(Pixel colour) {
    colour &= kRgbMask;
    const std::uint32_t key = colour | 0x01000000u;
    const std::size_t slot = ((colour * 2654435761u) >> 20) & (kCacheSize - 1);
    if (m_cacheKeys[slot] == key)
        return m_cacheValues[slot];
    const std::uint8_t index = Search(colour);
    m_cacheKeys[slot] = key;
    m_cacheValues[slot] = index;
    return index;
}
