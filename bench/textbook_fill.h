// The yardstick of the fill benchmarks: the classic scan-line seed fill as
// the graphics literature gives it. One stack of segments (row, left, right,
// direction); popping one fills the runs of the next row that touch it,
// pushing each run found for the row beyond, and for the row it came from
// where the run leaks past the segment's ends. Exact colour match on the low
// 24 bits, 4-connected, every pixel read and written in the picture itself.
#pragma once

#include "model/pixel_buffer.h"

#include <vector>

inline void TextbookFill(PixelBuffer& picture, int seedX, int seedY, Pixel colour) {
    if (!picture.Contains(seedX, seedY))
        return;
    const Pixel old = picture.At(seedX, seedY) & kRgbMask;
    colour &= kRgbMask;
    if (old == colour)
        return;
    const int width = picture.Width();
    const int height = picture.Height();
    struct Segment {
        int y, left, right, dy; // row y's [left, right] was filled; row y + dy is next
    };
    std::vector<Segment> stack;
    const auto push = [&](int y, int left, int right, int dy) {
        if (y + dy >= 0 && y + dy < height)
            stack.push_back({y, left, right, dy});
    };
    push(seedY, seedX, seedX, 1);
    push(seedY + 1, seedX, seedX, -1); // the seed's own row, popped first
    while (!stack.empty()) {
        const Segment s = stack.back();
        stack.pop_back();
        const int y = s.y + s.dy;
        Pixel* row = picture.Row(y);
        const auto inside = [&](int x) { return (row[x] & kRgbMask) == old; };
        // Leftwards from the segment's left end.
        int x = s.left;
        for (; x >= 0 && inside(x); --x)
            row[x] = colour;
        int left = x + 1;
        bool skip = x >= s.left;
        if (!skip) {
            if (left < s.left)
                push(y, left, s.left - 1, -s.dy); // leak on the left
            x = s.left + 1;
        }
        do {
            if (!skip) {
                for (; x < width && inside(x); ++x)
                    row[x] = colour;
                push(y, left, x - 1, s.dy);
                if (x > s.right + 1)
                    push(y, s.right + 1, x - 1, -s.dy); // leak on the right
            }
            skip = false;
            for (++x; x <= s.right && !inside(x); ++x) {
            }
            left = x;
        } while (x <= s.right);
    }
}
