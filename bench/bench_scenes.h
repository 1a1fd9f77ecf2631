// Pictures for the pixel-engine benchmarks: black line art on white, made
// procedurally at any size, each with a seed inside the region a fill takes.
#pragma once

#include "model/colouring/round_stroke.h"
#include "model/pixel_buffer.h"

#include <string>
#include <vector>

constexpr Pixel kSceneBlack = 0x000000;
constexpr Pixel kSceneWhite = 0xFFFFFF;

struct FillScene {
    std::string region; // what the seed's region is, e.g. "lineart-inner"
    PixelBuffer picture;
    PixelPoint seed;
};

// The fill scenes at one size: one empty region, a line-art picture filled
// inside its big outline and in its background, a comb and a maze. The last
// two are the worst cases: regions made of one-pixel runs.
std::vector<std::string> FillSceneNames();
FillScene MakeFillScene(const std::string& region, int width, int height);

// The line-art picture alone (the overlay of the other benchmarks).
PixelBuffer MakeLineArt(int width, int height);
