#include "display/palette_builder.h"
#include "display/colour_match.h"

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

// Otherwise the colours are grouped in boxes over a histogram at 5 bits a
// channel, splitting first the box whose colours lie farthest from their mean
// (largest sum of squared errors), at the cut that leaves the least error in
// its two halves. Unlike a cut at the median, this gives a small group of
// colours far from the rest a palette entry of its own. Each bin also sums
// its real colours, so a box's colour is their exact mean.
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

struct Histogram {
    std::vector<Moments> bins = std::vector<Moments>(kLevels * kLevels * kLevels);

    static int Bin(int r, int g, int b) { return (r * kLevels + g) * kLevels + b; }
};

struct Box {
    std::array<int, 3> lo{0, 0, 0};
    std::array<int, 3> hi{kLevels - 1, kLevels - 1, kLevels - 1};
    Moments moments;
    double error = 0;

    bool Splittable() const { return lo != hi; }
};

Histogram MakeHistogram(const PixelBuffer& picture) {
    Histogram h;
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Pixel c = picture.Data()[i];
        const int rgb[3] = {PixelRed(c), PixelGreen(c), PixelBlue(c)};
        Moments& m = h.bins[Histogram::Bin(rgb[0] >> 3, rgb[1] >> 3, rgb[2] >> 3)];
        ++m.n;
        for (int a = 0; a < 3; ++a) {
            m.sum[a] += rgb[a];
            m.squares += double(rgb[a] * rgb[a]);
        }
    }
    return h;
}

// Calls f(moments, {r, g, b}) for every bin of the box.
template <typename F> void ForEachBin(const Histogram& h, const Box& box, F f) {
    for (int r = box.lo[0]; r <= box.hi[0]; ++r)
        for (int g = box.lo[1]; g <= box.hi[1]; ++g)
            for (int b = box.lo[2]; b <= box.hi[2]; ++b)
                f(h.bins[Histogram::Bin(r, g, b)], std::array<int, 3>{r, g, b});
}

// Shrinks the box to the bins that hold colours and sums them up.
void Shrink(const Histogram& h, Box& box) {
    Box tight;
    tight.lo = {kLevels, kLevels, kLevels};
    tight.hi = {-1, -1, -1};
    ForEachBin(h, box, [&](const Moments& m, const std::array<int, 3>& at) {
        if (m.n == 0)
            return;
        tight.moments.Add(m);
        for (int a = 0; a < 3; ++a) {
            tight.lo[a] = std::min(tight.lo[a], at[a]);
            tight.hi[a] = std::max(tight.hi[a], at[a]);
        }
    });
    tight.error = tight.moments.Error();
    box = tight;
}

// Among all cuts across the three axes, the one whose two halves keep the
// least error. Both halves hold colours: a shrunk box has colours on every
// face, and a cut lies strictly between two faces.
std::array<Box, 2> Split(const Histogram& h, const Box& box) {
    int bestAxis = 0;
    int bestCut = box.lo[0];
    double bestError = -1;
    for (int axis = 0; axis < 3; ++axis) {
        if (box.lo[axis] == box.hi[axis])
            continue;
        std::array<Moments, kLevels> slice{};
        ForEachBin(h, box,
                   [&](const Moments& m, const std::array<int, 3>& at) { slice[at[axis]].Add(m); });
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
    Box low = box;
    Box high = box;
    low.hi[bestAxis] = bestCut;
    high.lo[bestAxis] = bestCut + 1;
    Shrink(h, low);
    Shrink(h, high);
    return {low, high};
}

Pixel MeanColour(const Box& box) {
    const Moments& m = box.moments;
    std::uint8_t c[3];
    for (int a = 0; a < 3; ++a)
        c[a] = static_cast<std::uint8_t>((m.sum[a] + m.n / 2) / m.n);
    return MakePixel(c[0], c[1], c[2]);
}

std::vector<Pixel> CutBoxes(const PixelBuffer& picture) {
    const Histogram h = MakeHistogram(picture);
    std::vector<Box> boxes(1);
    Shrink(h, boxes[0]);
    while (boxes.size() < kMaxColours) {
        Box* pick = nullptr;
        for (Box& b : boxes)
            if (b.Splittable() && (!pick || b.error > pick->error))
                pick = &b;
        if (!pick)
            break;
        const auto halves = Split(h, *pick);
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
