// The two region fills of the fill tool. Both are 4-connected fills in two
// stages. A scan-line fill takes the runs of at least kWideRun pixels: it
// finds each run's ends a few pixels at a time and paints the run at once,
// a long one in the same pass that reads it, as wide regions are cheapest
// filled row by row. The runs of single pixels it meets are left to a search
// on bit masks, 64 pixels a word, which takes many such runs of a word in one
// step and so fills combs and mazes far faster than any scan-line fill. Each
// fill leaves the bits of the pixels it changed and reports their bounding
// box, so an undo step need hold no more than those bits.
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
    std::vector<Word> searched;  // pixels the bit search took, until the paint pass
    std::vector<Word> available; // pixels of the region not yet taken, per word once read
    std::vector<Word> pending;   // per word, the bits it has been reached at, until searched
    std::vector<std::uint8_t> wordState;     // per word, flags of the search (read, painted);
                                             // clear outside the padding between searches
    std::vector<std::uint32_t> rowWordsRead; // per padded row, words read one at a time;
                                             // clear between searches
    std::vector<std::uint32_t> stack;        // words with pending bits

    // A run [left, right) of row y; for the scan-line stage, taken, with row
    // y + dy still to be searched above or below it.
    struct Span {
        int y, left, right, dy;
    };
    std::vector<Span> spans;  // the scan-line stage's runs still to search from
    std::vector<Span> narrow; // runs it left to the bit search

    // Row y (0 <= y < height) of `region`, pixel x in bit x % 64 of word x / 64.
    const Word* RegionRow(int y) const {
        return region.data() + static_cast<std::size_t>(y + 1) * stride + 1;
    }
};

// Runs at least this long are taken by the scan-line stage; shorter ones by
// the bit search.
constexpr int kWideRun = 2;

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
