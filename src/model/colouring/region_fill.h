// The two region fills of the fill tool. Both are 4-connected scan-line fills
// that recolour each pixel once and report the bounding box of what they
// changed, so an undo step need hold only that rectangle.
#pragma once

#include "model/colouring/white_mask.h"
#include "model/pixel_buffer.h"

// Surface fill: recolours with `colour` the region of pixels whose colour is
// exactly that of the seed (x, y) and that are connected to it through their
// left, right, upper and lower neighbours. Colours are compared on their low
// 24 bits. Returns the bounding box of the changed pixels; it is empty, and
// nothing beyond the seed is read, when the seed lies outside the picture or
// already has `colour`.
PixelRect SurfaceFill(PixelBuffer& picture, int x, int y, Pixel colour);

// Black-area fill: recolours with `colour` the pixels that are black in
// `picture` and white in the overlay and that are 4-connected to (x, y)
// through such pixels; every other pixel keeps its value. The overlay is
// given by its white mask (made once per overlay). Returns the bounding box of
// the changed pixels; it is empty when the mask's size differs from the
// picture's, the seed is outside the picture or is not such a pixel, or
// `colour` is black.
PixelRect BlackAreaFill(PixelBuffer& picture, const WhiteMask& overlayWhite, int x, int y,
                        Pixel colour);
// The same with the overlay itself, whose mask it makes for this one fill.
PixelRect BlackAreaFill(PixelBuffer& picture, const PixelBuffer& overlay, int x, int y,
                        Pixel colour);
