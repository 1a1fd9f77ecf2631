#include "model/display/palette_builder.h"

#include "model/controls/color_table.h"
#include "model/display/colour_match.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::size_t kMaxColours = 256;

// The picture's distinct colours in order of appearance, or false once there
// are more than 256 of them. A small open-addressing set: four times the
// colours it may hold, so probes stay short.
bool CollectDistinct(const PixelBuffer& picture, std::vector<Pixel>& colours) {
    std::array<std::uint32_t, 4 * kMaxColours> slots{}; // colour | bit 24; 0 = empty
    const std::uint32_t mask = slots.size() - 1;
    Pixel last = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Pixel c = picture.Data()[i] & kRgbMask;
        if (c == last)
            continue;
        last = c;
        const std::uint32_t key = c | 0x01000000u;
        std::uint32_t slot = (c * 2654435761u) >> 22;
        while (slots[slot] != 0 && slots[slot] != key)
            slot = (slot + 1) & mask;
        if (slots[slot] == key)
            continue;
        if (colours.size() == kMaxColours)
            return false;
        slots[slot] = key;
        colours.push_back(c);
    }
    return true;
}

// With more colours than that, the colours are grouped in boxes of RGB
// space, splitting first the box whose colours lie farthest from their mean
// (largest sum of squared errors), at the cut that leaves the least error in
// its two halves. Unlike a cut at the median, this gives a small group of
// colours far from the rest a palette entry of its own. Boxes are made of
// histogram bins of 5 bits a channel; each bin also sums its real colours,
// so a box's colour is their exact mean.
constexpr int kLevels = 32;

// Pixel count, channel sums and sum of squared channels of a set of colours.
struct Moments {
    std::uint64_t n = 0;
    std::array<std::uint64_t, 3> sum{};
    double squares = 0;

    void Add(const Moments& m) {
        n += m.n;
        for (int a = 0; a < 3; ++a)
            sum[a] += m.sum[a];
        squares += m.squares;
    }
    // Sum over the colours of the squared distance to their mean.
    double Error() const {
        if (n == 0)
            return 0;
        double mean2 = 0;
        for (int a = 0; a < 3; ++a)
            mean2 += double(sum[a]) * double(sum[a]);
        return squares - mean2 / double(n);
    }
};

// The occupied bins of a histogram at 5 bits a channel, each with the
// moments of the real colours that fall into it.
struct Bin {
    std::array<int, 3> at; // red, green, blue in 0..31
    Moments moments;
};

std::vector<Bin> OccupiedBins(const PixelBuffer& picture) {
    std::vector<Moments> grid(kLevels * kLevels * kLevels);
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Pixel c = picture.Data()[i];
        const int rgb[3] = {PixelRed(c), PixelGreen(c), PixelBlue(c)};
        Moments& m = grid[((rgb[0] >> 3) * kLevels + (rgb[1] >> 3)) * kLevels + (rgb[2] >> 3)];
        ++m.n;
        for (int a = 0; a < 3; ++a) {
            m.sum[a] += rgb[a];
            m.squares += double(rgb[a] * rgb[a]);
        }
    }
    std::vector<Bin> bins;
    for (int i = 0; i < kLevels * kLevels * kLevels; ++i)
        if (grid[i].n != 0)
            bins.push_back(
                {{i / (kLevels * kLevels), i / kLevels % kLevels, i % kLevels}, grid[i]});
    return bins;
}

// A box holds a run [first, last) of the bin list; splitting a box reorders
// its run so that each half is a run again. Work is in proportion to the
// bins a box holds, however sparse they lie.
struct Box {
    std::size_t first = 0;
    std::size_t last = 0;
    std::array<int, 3> lo{};
    std::array<int, 3> hi{};
    Moments moments;
    double error = 0;

    bool Splittable() const { return lo != hi; }
};

Box MakeBox(const std::vector<Bin>& bins, std::size_t first, std::size_t last) {
    Box box;
    box.first = first;
    box.last = last;
    box.lo = {kLevels, kLevels, kLevels};
    box.hi = {-1, -1, -1};
    for (std::size_t i = first; i < last; ++i) {
        box.moments.Add(bins[i].moments);
        for (int a = 0; a < 3; ++a) {
            box.lo[a] = std::min(box.lo[a], bins[i].at[a]);
            box.hi[a] = std::max(box.hi[a], bins[i].at[a]);
        }
    }
    box.error = box.moments.Error();
    return box;
}

// Among all cuts across the three axes, the one whose two halves keep the
// least error. Both halves hold bins: the box has bins at its lowest and
// highest level on the cut axis, and the cut lies between them.
std::array<Box, 2> Split(std::vector<Bin>& bins, const Box& box) {
    int bestAxis = 0;
    int bestCut = 0;
    double bestError = -1;
    for (int axis = 0; axis < 3; ++axis) {
        if (box.lo[axis] == box.hi[axis])
            continue;
        std::array<Moments, kLevels> slice{};
        for (std::size_t i = box.first; i < box.last; ++i)
            slice[bins[i].at[axis]].Add(bins[i].moments);
        Moments low;
        for (int cut = box.lo[axis]; cut < box.hi[axis]; ++cut) {
            low.Add(slice[cut]);
            Moments high = box.moments;
            high.n -= low.n;
            for (int a = 0; a < 3; ++a)
                high.sum[a] -= low.sum[a];
            high.squares -= low.squares;
            const double e = low.Error() + high.Error();
            if (bestError < 0 || e < bestError) {
                bestError = e;
                bestAxis = axis;
                bestCut = cut;
            }
        }
    }
    const auto middle = std::partition(bins.begin() + std::ptrdiff_t(box.first),
                                       bins.begin() + std::ptrdiff_t(box.last),
                                       [&](const Bin& b) { return b.at[bestAxis] <= bestCut; });
    const auto split = static_cast<std::size_t>(middle - bins.begin());
    return {MakeBox(bins, box.first, split), MakeBox(bins, split, box.last)};
}

Pixel MeanColour(const Box& box) {
    const Moments& m = box.moments;
    std::uint8_t c[3];
    for (int a = 0; a < 3; ++a)
        c[a] = static_cast<std::uint8_t>((m.sum[a] + m.n / 2) / m.n);
    return MakePixel(c[0], c[1], c[2]);
}

std::vector<Pixel> CutBoxes(const PixelBuffer& picture) {
    std::vector<Bin> bins = OccupiedBins(picture);
    std::vector<Box> boxes{MakeBox(bins, 0, bins.size())};
    while (boxes.size() < kMaxColours) {
        Box* pick = nullptr;
        for (Box& b : boxes)
            if (b.Splittable() && (!pick || b.error > pick->error))
                pick = &b;
        if (!pick)
            break;
        const auto halves = Split(bins, *pick);
        *pick = halves[0];
        boxes.push_back(halves[1]);
    }
    std::vector<Pixel> palette;
    for (const Box& b : boxes)
        palette.push_back(MeanColour(b));
    return palette;
}

} // namespace

LogPalette BuildPalette(const PixelBuffer& picture) {
    std::vector<Pixel> colours;
    if (!CollectDistinct(picture, colours))
        colours = CutBoxes(picture);
    LogPalette palette;
    palette.palVersion = 0x300;
    for (Pixel c : colours)
        palette.entries.push_back(PixelPaletteEntry(c));
    return palette;
}

namespace {

bool HasColour(const LogPalette& palette, Pixel colour) {
    return std::any_of(palette.entries.begin(), palette.entries.end(),
                       [&](const PaletteEntry& e) { return PaletteEntryPixel(e) == colour; });
}

} // namespace

// An 8-bit page is shown and saved with its own colours; a black-and-white
// drawing alone would save every colour a child painted as black or white,
// and the palette window's wells, which take the nearest colours of the
// palette, would show nothing else either.
LogPalette WithPaintColours(LogPalette palette) {
    for (int i = 0; i < kColorCount && palette.entries.size() < kMaxColours; ++i) {
        const Pixel paint = ColorTablePixel(i);
        if (!HasColour(palette, paint))
            palette.entries.push_back(PixelPaletteEntry(paint));
    }
    return palette;
}

bool HoldsPaintColours(const LogPalette& palette) {
    for (int i = 0; i < kColorCount; ++i)
        if (!HasColour(palette, ColorTablePixel(i)))
            return false;
    return true;
}
