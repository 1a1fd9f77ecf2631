#include "book_tool/line_art.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

using Mask = std::vector<std::uint8_t>; // one byte a pixel, 1 = black
using Index = std::uint32_t;            // pixel index; pictures stay below 2^32 pixels

constexpr Pixel kBlack = 0x000000;
constexpr Pixel kWhite = 0xFFFFFF;

int Luminance(Pixel p) {
    return (299 * PixelRed(p) + 587 * PixelGreen(p) + 114 * PixelBlue(p) + 500) / 1000;
}

// Otsu's method over a 256-level histogram.
int OtsuThreshold(const std::array<std::uint64_t, 256>& histogram) {
    double total = 0, sum = 0;
    for (int level = 0; level < 256; ++level) {
        total += static_cast<double>(histogram[level]);
        sum += static_cast<double>(level) * static_cast<double>(histogram[level]);
    }
    double below = 0, sumBelow = 0, best = 0;
    int threshold = 127;
    for (int t = 0; t < 255; ++t) {
        below += static_cast<double>(histogram[t]);
        sumBelow += static_cast<double>(t) * static_cast<double>(histogram[t]);
        const double above = total - below;
        if (below == 0 || above == 0)
            continue;
        const double diff = sumBelow / below - (sum - sumBelow) / above;
        const double between = below * above * diff * diff;
        if (between > best) {
            best = between;
            threshold = t;
        }
    }
    return threshold;
}

// The picture's size, for walking neighbours.
struct Grid {
    int width, height;

    Index At(int x, int y) const { return static_cast<Index>(y) * static_cast<Index>(width) + x; }
    int X(Index i) const { return static_cast<int>(i % static_cast<Index>(width)); }
    int Y(Index i) const { return static_cast<int>(i / static_cast<Index>(width)); }

    // Calls fn(neighbour) for the 4 (or 8) neighbours of i inside the picture.
    template <typename Fn> void ForNeighbours(Index i, bool diagonals, Fn&& fn) const {
        const int x = X(i), y = Y(i);
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx == 0 && dy == 0) || (!diagonals && dx != 0 && dy != 0))
                    continue;
                const int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < width && ny < height)
                    fn(At(nx, ny));
            }
        }
    }
};

// Turns white every 8-connected black part of fewer than `speck` pixels;
// returns how many parts went.
std::size_t RemoveSpecks(const Grid& grid, Mask& black, int speck, std::vector<Index>& queue) {
    std::size_t removed = 0;
    Mask seen(black.size(), 0);
    for (Index start = 0; start < black.size(); ++start) {
        if (!black[start] || seen[start])
            continue;
        // The part's pixels end up in queue[0, end): breadth first.
        queue.assign(1, start);
        seen[start] = 1;
        for (std::size_t next = 0; next < queue.size(); ++next) {
            grid.ForNeighbours(queue[next], true, [&](Index n) {
                if (black[n] && !seen[n]) {
                    seen[n] = 1;
                    queue.push_back(n);
                }
            });
        }
        if (queue.size() < static_cast<std::size_t>(speck)) {
            for (Index i : queue)
                black[i] = 0;
            ++removed;
        }
    }
    return removed;
}

// The black pixels grown into discs: 1 where a black pixel lies within
// distance d of the pixel, 4 d^2 <= reach4 (distances in quarter pixels
// squared, so that half pixels stay whole numbers).
Mask GrowBlack(const Grid& grid, const Mask& black, int reach4) {
    int radius = 0;
    while (4 * (radius + 1) * (radius + 1) <= reach4)
        ++radius;
    // Per row, the distance to the nearest black pixel of that row, capped
    // at radius + 1 (anything further cannot count).
    const int cap = radius + 1;
    Mask across(black.size(), static_cast<std::uint8_t>(cap));
    for (int y = 0; y < grid.height; ++y) {
        int last = -cap - 1;
        for (int x = 0; x < grid.width; ++x) {
            if (black[grid.At(x, y)])
                last = x;
            across[grid.At(x, y)] = static_cast<std::uint8_t>(std::min(cap, x - last));
        }
        last = grid.width + cap + 1;
        for (int x = grid.width - 1; x >= 0; --x) {
            if (black[grid.At(x, y)])
                last = x;
            std::uint8_t& d = across[grid.At(x, y)];
            d = static_cast<std::uint8_t>(std::min<int>(d, std::min(cap, last - x)));
        }
    }
    Mask grown(black.size(), 0);
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            const int top = std::max(0, y - radius), bottom = std::min(grid.height - 1, y + radius);
            for (int yy = top; yy <= bottom; ++yy) {
                const int dx = across[grid.At(x, yy)], dy = yy - y;
                if (dx < cap && 4 * (dx * dx + dy * dy) <= reach4) {
                    grown[grid.At(x, y)] = 1;
                    break;
                }
            }
        }
    }
    return grown;
}

// Numbers the 4-connected parts of the pixels where `walls` is 0, from 1;
// 0 elsewhere. The parts that reach the picture's edge all get 1: beyond the
// edge lies more paper, not ink, so they are one and the same white.
std::vector<Index> LabelParts(const Grid& grid, const Mask& walls, std::vector<Index>& queue) {
    std::vector<Index> labels(walls.size(), 0);
    auto flood = [&](Index label) {
        for (std::size_t next = 0; next < queue.size(); ++next) {
            grid.ForNeighbours(queue[next], false, [&](Index n) {
                if (!walls[n] && !labels[n]) {
                    labels[n] = label;
                    queue.push_back(n);
                }
            });
        }
    };
    queue.clear();
    for (Index i = 0; i < walls.size(); ++i) {
        const int x = grid.X(i), y = grid.Y(i);
        const bool edge = x == 0 || y == 0 || x == grid.width - 1 || y == grid.height - 1;
        if (edge && !walls[i]) {
            labels[i] = 1;
            queue.push_back(i);
        }
    }
    flood(1);
    Index count = 1;
    for (Index start = 0; start < walls.size(); ++start) {
        if (walls[start] || labels[start])
            continue;
        labels[start] = ++count;
        queue.assign(1, start);
        flood(count);
    }
    return labels;
}

// Grows the labelled parts through the white of `black`, all at the same
// pace, then blackens one side of every boundary between two parts.
std::size_t CloseGaps(const Grid& grid, Mask& black, int gap, std::vector<Index>& queue) {
    const Mask walls = GrowBlack(grid, black, (gap + 1) * (gap + 1) + 1);
    std::vector<Index> labels = LabelParts(grid, walls, queue);
    queue.clear();
    for (Index i = 0; i < labels.size(); ++i) {
        if (!labels[i])
            continue;
        bool edge = false;
        grid.ForNeighbours(i, false, [&](Index n) { edge |= !labels[n] && !black[n]; });
        if (edge)
            queue.push_back(i);
    }
    for (std::size_t next = 0; next < queue.size(); ++next) {
        const Index from = queue[next];
        grid.ForNeighbours(from, false, [&](Index n) {
            if (!labels[n] && !black[n]) {
                labels[n] = labels[from];
                queue.push_back(n);
            }
        });
    }
    // Every 4-neighbour pair of two parts keeps its pixel of the lower
    // number white and blackens the other, so no 4-connected path crosses.
    std::size_t bridged = 0;
    for (Index i = 0; i < labels.size(); ++i) {
        if (!labels[i] || black[i])
            continue;
        bool seam = false;
        grid.ForNeighbours(i, false, [&](Index n) { seam |= labels[n] && labels[n] < labels[i]; });
        if (seam) {
            black[i] = 1;
            ++bridged;
        }
    }
    return bridged;
}

} // namespace

LineArtResult CleanLineArt(const PixelBuffer& picture, const LineArtOptions& options) {
    LineArtResult result;
    if (picture.IsEmpty())
        return result;
    const Grid grid{picture.Width(), picture.Height()};
    std::array<std::uint64_t, 256> histogram{};
    for (std::size_t i = 0; i < picture.PixelCount(); ++i)
        ++histogram[Luminance(picture.Data()[i])];
    result.threshold = OtsuThreshold(histogram);
    Mask black(picture.PixelCount());
    for (std::size_t i = 0; i < picture.PixelCount(); ++i)
        black[i] = Luminance(picture.Data()[i]) <= result.threshold;

    std::vector<Index> queue;
    const int speck = std::clamp(options.speck, 0, kMaxSpeck);
    if (speck > 1)
        result.specks = RemoveSpecks(grid, black, speck, queue);
    const int gap = std::clamp(options.gap, 0, kMaxGap);
    if (gap > 0)
        result.bridged = CloseGaps(grid, black, gap, queue);

    result.picture = PixelBuffer(grid.width, grid.height);
    for (std::size_t i = 0; i < black.size(); ++i)
        result.picture.Data()[i] = black[i] ? kBlack : kWhite;
    return result;
}
