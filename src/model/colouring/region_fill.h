// The two region fills of the fill tool. Both are 4-connected fills that work
// on bit masks, 64 pixels a word, reading each row of the picture once, when
// the fill first reaches it, and painting each word of the region as they
// take it. Each leaves the bits of the pixels it changed and reports their
// bounding box, so an undo step need hold no more than those bits.
#pragma once

#include "model/colouring/pixel_mask.h"
#include "model/pixel_buffer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The storage of a region search, kept between searches so that a large
// picture's masks are not made afresh for every fill. The masks have one
// clear word before and after each row and one clear row above and below the
// picture, so the search reads a word's neighbours without bounds checks.
struct FillScratch {
    using Word = PixelMask::Word;

    int width = 0;
    int height = 0;
    int stride = 0;              // words per padded row
    std::vector<Word> region;    // the last search's pixels; clear outside `box`
    PixelRect box;               // bounding box of the set bits of `region` (maybe empty)
    std::vector<Word> available; // pixels of the region not yet taken, per row once read
    std::vector<Word> pending;   // per word, the bits it has been reached at, until searched
    std::vector<std::uint8_t> paintedWhole; // per word, painted whole by the search, until
                                            // the paint pass
    std::vector<std::uint8_t> rowRead;      // per padded row, whether its available bits were read
    std::vector<std::uint32_t> stack;       // words with pending bits

    // Row y (0 <= y < height) of `region`, pixel x in bit x % 64 of word x / 64.
    const Word* RegionRow(int y) const {
        return region.data() + static_cast<std::size_t>(y + 1) * stride + 1;
    }
};

// A pixel to write back after the rest of an undo step.
struct PixelPatch {
    int x = 0;
    int y = 0;
    Pixel value = 0;
};

// Surface fill: recolours with `colour` the region of pixels whose colour is
// exactly that of the seed (x, y), compared on their low 24 bits, and that
// are connected to it through their left, right, upper and lower neighbours.
// Leaves the region's bits in `scratch` and returns their bounding box; it is
// empty, and nothing beyond the seed is read, when the seed lies outside the
// picture or already has `colour`. When `patches` is given, every changed
// pixel whose old value was not exactly the seed's (they can differ in the
// unused top byte) is added to it with that value, so the region's bits, the
// seed's value and the patches give back the picture as it was.
PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour, FillScratch& scratch,
                      std::vector<PixelPatch>* patches = nullptr);

// Black-area fill: recolours with `colour` the pixels that are black in
// `picture` and white in the overlay, given by its white mask (made once per
// overlay), and that are 4-connected to (x, y) through such pixels; every
// other pixel keeps its value. Otherwise as SurfaceFill; the box is empty
// when the mask's size differs from the picture's, the seed is outside the
// picture or is not such a pixel, or `colour` is black.
PixelRect BlackAreaFill(PixelBuffer& picture, const PixelMask& overlayWhite, int x, int y,
                        Pixel colour, FillScratch& scratch,
                        std::vector<PixelPatch>* patches = nullptr);

// The same two with storage of their own, for a single fill.
PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour);
PixelRect BlackAreaFill(PixelBuffer& picture, const PixelMask& overlayWhite, int x, int y,
                        Pixel colour);
// The black-area fill with the overlay itself, whose white mask it makes for this one fill.
PixelRect BlackAreaFill(PixelBuffer& picture, const PixelBuffer& overlay, int x, int y,
                        Pixel colour);
