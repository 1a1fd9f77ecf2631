// Line-art clean-up: turns a scanned or anti-aliased drawing into pure black
// outlines on pure white whose shapes are closed, so that a child's fill
// stays inside a shape and leaves no grey halo along its outline.
//
// The steps, in order:
// 1. Threshold. Each pixel's luminance is Y = (299 R + 587 G + 114 B) / 1000
//    (ITU-R BT.601 weights, rounded). The threshold is chosen by Otsu's
//    method: the level t that best separates the histogram into two classes
//    (largest between-class variance; the lowest such t on a tie). A pixel
//    with Y <= t becomes black, every other pixel white. A picture of a
//    single luminance has no two classes; there t = 127. Only luminance
//    counts: coloured lines come out black or white like grey ones (a light
//    yellow line on white may turn black or white depending on what else the
//    picture holds), and the result is always black and white.
// 2. Specks. Black parts (8-connected) of fewer than `speck` pixels become
//    white: dust and scanner noise. A dot the artist meant, such as an eye,
//    must be at least that large to stay.
// 3. Gaps. Two black pixels at most gap + 1 pixels apart (centre to centre,
//    so a straight outline missing up to `gap` pixels) are taken as one
//    outline. The white parts of the picture are found with every black
//    pixel grown into a disc of radius (gap + 1) / 2 (and half a pixel more
//    across, so a slanted gap closes too); each such part then grows back,
//    one pixel a step through the white of the thresholded picture, until
//    the white is shared out. Where two parts meet, a one-pixel seam turns
//    black: it lies in the middle of each gap, joining the outline's ends,
//    so the 4-connected fill of the colouring tools cannot pass. The
//    picture's edge is not an outline: all white reaching it counts as one
//    part (more paper lies beyond), so nothing is ever joined to the edge.
//    Nothing else changes: no outline gets thicker, no corner rounder. Like
//    any closing of gaps, it also cuts a shape's neck at most `gap` pixels
//    wide into two.
//
// Toolkit-free; the picture is taken by reference and not changed. Working
// memory is about 11 bytes a pixel besides the input and the result.
#pragma once

#include "model/pixel_buffer.h"

#include <cstddef>

constexpr int kMaxSpeck = 1 << 20;
constexpr int kMaxGap = 32;

struct LineArtOptions {
    int speck = 9; // black parts of fewer pixels go; 9 keeps a 3 x 3 dot; 0 keeps all
    int gap = 3;   // widest break in an outline that is closed; 0 closes none
};

struct LineArtResult {
    PixelBuffer picture;     // the picture's size, every pixel 0x000000 or 0xFFFFFF
    int threshold = 127;     // luminance at or below which a pixel turned black
    std::size_t specks = 0;  // black parts removed
    std::size_t bridged = 0; // pixels turned black to close gaps
};

// Cleans `picture` as described above. Options outside 0..kMaxSpeck and
// 0..kMaxGap are clamped to those ranges. An empty picture gives an empty
// result.
LineArtResult CleanLineArt(const PixelBuffer& picture, const LineArtOptions& options = {});
