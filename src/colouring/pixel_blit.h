// Rectangle copies between the picture-sized buffers of the pixel engine.
// Every rectangle is clipped to the buffers it touches, so a rectangle partly
// or wholly outside them reads and writes nothing out of bounds.
#pragma once

#include "colouring/white_mask.h"
#include "model/pixel_buffer.h"

// Copies the pixels of `rect` from `source` to the same place in `target`.
// Returns the rectangle actually copied (inside both buffers; maybe empty).
PixelRect CopyPixels(const PixelBuffer& source, PixelBuffer& target, const PixelRect& rect);

// target := picture OR overlay over `rect`, on the low 24 bits (the unused top
// byte is written as 0). `overlayWhite` is the overlay's white mask: where the
// overlay is white the result is white whatever the picture holds, so those
// pixels are written without reading either buffer. All four must have the
// same size; otherwise nothing is written and the result is empty. Returns
// the rectangle written.
PixelRect ComposeOr(const PixelBuffer& picture, const PixelBuffer& overlay,
                    const WhiteMask& overlayWhite, PixelBuffer& target, const PixelRect& rect);
