#include "bench_scenes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <stdexcept>

namespace {

// A closed outline two pixels wide along an ellipse.
void DrawRing(PixelBuffer& picture, double cx, double cy, double rx, double ry) {
    const int steps = std::max(32, static_cast<int>(2 * std::numbers::pi * std::max(rx, ry) / 6));
    auto point = [&](int k) {
        const double a = 2 * std::numbers::pi * k / steps;
        return PixelPoint{static_cast<int>(std::lround(cx + rx * std::cos(a))),
                          static_cast<int>(std::lround(cy + ry * std::sin(a)))};
    };
    for (int k = 0; k < steps; ++k)
        DrawRoundStroke(picture, point(k), point(k + 1), 1, kSceneBlack);
}

// An open zig-zag line: it splits runs without splitting the region.
void DrawZigZag(PixelBuffer& picture, int x0, int x1, int y, int amplitude, int step) {
    for (int x = x0, up = 1; x + step <= x1; x += step, up = -up)
        DrawRoundStroke(picture, {x, y - up * amplitude}, {x + step, y + up * amplitude}, 1,
                        kSceneBlack);
}

// Teeth one pixel wide hanging from a spine along the top row, with walls
// one pixel wide between them: every run below the spine is one pixel.
PixelBuffer MakeComb(int width, int height) {
    PixelBuffer comb(width, height, kSceneWhite);
    for (int y = 1; y < height; ++y)
        for (int x = 1; x < width; x += 2)
            comb.Set(x, y, kSceneBlack);
    return comb;
}

// A perfect maze with corridors and walls one pixel wide, carved by a
// randomised depth-first walk over the cells at odd coordinates.
PixelBuffer MakeMaze(int width, int height) {
    PixelBuffer maze(width, height, kSceneBlack);
    const int cols = (width - 1) / 2;
    const int rows = (height - 1) / 2;
    if (cols < 1 || rows < 1)
        return maze;
    std::vector<bool> visited(static_cast<std::size_t>(cols) * rows, false);
    std::vector<int> stack{0};
    visited[0] = true;
    maze.Set(1, 1, kSceneWhite);
    std::mt19937 random(12345);
    while (!stack.empty()) {
        const int cell = stack.back();
        const int cx = cell % cols;
        const int cy = cell / cols;
        int options[4];
        int n = 0;
        if (cx > 0 && !visited[cell - 1])
            options[n++] = cell - 1;
        if (cx + 1 < cols && !visited[cell + 1])
            options[n++] = cell + 1;
        if (cy > 0 && !visited[cell - cols])
            options[n++] = cell - cols;
        if (cy + 1 < rows && !visited[cell + cols])
            options[n++] = cell + cols;
        if (n == 0) {
            stack.pop_back();
            continue;
        }
        const int next = options[std::uniform_int_distribution<int>(0, n - 1)(random)];
        const int nx = next % cols;
        const int ny = next / cols;
        visited[next] = true;
        maze.Set(2 * nx + 1, 2 * ny + 1, kSceneWhite);
        maze.Set(cx + nx + 1, cy + ny + 1, kSceneWhite); // the wall between the two
        stack.push_back(next);
    }
    return maze;
}

} // namespace

PixelBuffer MakeLineArt(int width, int height) {
    PixelBuffer art(width, height, kSceneWhite);
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    const double unit = std::min(width, height) / 100.0;
    // The big outline, with rings and zig-zags inside it around the centre.
    DrawRing(art, cx, cy, 0.4 * width, 0.4 * height);
    for (int k = 0; k < 8; ++k) {
        const double a = 2 * std::numbers::pi * k / 8;
        DrawRing(art, cx + 20 * unit * std::cos(a), cy + 20 * unit * std::sin(a), 5 * unit,
                 4 * unit);
    }
    for (int k = -3; k <= 3; k += 2)
        DrawZigZag(art, static_cast<int>(cx - 30 * unit), static_cast<int>(cx + 30 * unit),
                   static_cast<int>(cy + k * 9 * unit), static_cast<int>(unit),
                   std::max(2, static_cast<int>(2 * unit)));
    // Small rings scattered over the background, clear of the big outline.
    const double spacing = 10 * unit;
    for (double y = spacing; y < height; y += spacing)
        for (double x = spacing; x < width; x += spacing) {
            const double ex = (x - cx) / (0.4 * width);
            const double ey = (y - cy) / (0.4 * height);
            if (std::hypot(ex, ey) > 1.15)
                DrawRing(art, x, y, 3 * unit, 3 * unit);
        }
    return art;
}

std::vector<std::string> FillSceneNames() {
    return {"empty", "lineart-inner", "lineart-background", "comb", "maze"};
}

FillScene MakeFillScene(const std::string& region, int width, int height) {
    if (region == "empty")
        return {region, PixelBuffer(width, height, kSceneWhite), {width / 2, height / 2}};
    if (region == "lineart-inner")
        return {region, MakeLineArt(width, height), {width / 2, height / 2}};
    if (region == "lineart-background")
        return {region, MakeLineArt(width, height), {1, 1}};
    if (region == "comb")
        return {region, MakeComb(width, height), {0, 0}};
    if (region == "maze")
        return {region, MakeMaze(width, height), {1, 1}};
    throw std::invalid_argument("unknown fill scene " + region);
}
