// The round brush: a disc of radius r swept along a straight segment, drawn
// without anti-aliasing. Pixel (i, j) is covered when its centre
// (i + 1/2, j + 1/2) lies within r of the segment, so a segment of length zero
// is a solid disc 2r pixels across, and everything drawn for a segment from a
// to b lies inside [min - r, max + r) in each direction.
#pragma once

#include "model/pixel_buffer.h"

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Coordinates are clamped to +-kMaxStrokeCoordinate before any arithmetic, so a
// point far outside the picture (a captured mouse) cannot overflow; no screen
// is that large, so the clamp never moves a real mouse position.
constexpr int kMaxStrokeCoordinate = 1 << 24;
// Radii are clamped to [1, kMaxStrokeRadius].
constexpr int kMaxStrokeRadius = 1024;

PixelPoint ClampStrokePoint(PixelPoint p);
int ClampStrokeRadius(int radius);

// Bounding rectangle of everything a stroke from a to b with radius r may
// cover (not clipped to any picture): [min - r, max + r) in each direction.
PixelRect RoundStrokeBounds(PixelPoint a, PixelPoint b, int radius);

// Paints the stroke from a to b with `colour` into `picture`. Points may lie
// anywhere, also far outside the picture; only pixels inside it are written
// and nothing else is read. Returns the stroke's bounds clipped to the
// picture: the rectangle to repaint (empty when the stroke misses it).
PixelRect DrawRoundStroke(PixelBuffer& picture, PixelPoint a, PixelPoint b, int radius,
                          Pixel colour);
