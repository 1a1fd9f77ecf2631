// Rectangle copies between the picture-sized buffers of the pixel engine.
// Every rectangle is clipped to the buffers it touches, so a rectangle partly
// or wholly outside them reads and writes nothing out of bounds.
#pragma once

#include "model/pixel_buffer.h"

// Copies the pixels of `rect` from `source` to the same place in `target`.
// Returns the rectangle actually copied (inside both buffers; maybe empty).
PixelRect CopyPixels(const PixelBuffer& source, PixelBuffer& target, const PixelRect& rect);

// target := first OR second over `rect`. The three buffers must have the same
// size; otherwise nothing is written and the result is empty. Returns the
// rectangle written.
PixelRect OrPixels(const PixelBuffer& first, const PixelBuffer& second, PixelBuffer& target,
                   const PixelRect& rect);
