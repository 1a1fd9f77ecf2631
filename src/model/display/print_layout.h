// Where a page's picture lands on a printed sheet.
#pragma once

#include "model/pixel_buffer.h"

// The rectangle, in device pixels of the printable area (origin at its top
// left corner), that a picture of `width` x `height` pixels is drawn into on
// a printable area of `printableWidth` x `printableHeight` device pixels.
//
// A picture that fits is enlarged by the largest whole factor s that fits
// both ways (s = min(printableWidth / width, printableHeight / height)) and
// centred: the centre is (printableWidth / 2, printableHeight / 2), the left
// edge lies width * s / 2 before it and the top edge height * s / 2 above it
// (each quotient truncated); the rectangle is exactly width * s by
// height * s, so every picture pixel covers s x s device pixels.
//
// A picture wider or taller than the printable area is reduced to fit
// instead, keeping its proportions (each side at least one device pixel),
// and centred the same way.
//
// Any size or printable size of 0 or below gives an empty rectangle.
PixelRect PrintLayout(int width, int height, int printableWidth, int printableHeight);
