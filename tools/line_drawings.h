// Anti-aliased line drawings of known shapes, as a scanner or a drawing
// program makes them (grey edge pixels, breaks in outlines, grey specks),
// for measuring the book tool's line-art clean-up; and the same pictures as
// PNG and JPEG files (stb_image_write), for its picture readers.
#pragma once

#include "model/pixel_buffer.h"

#include <string>
#include <vector>

// A shape's outline, drawn as a stroke centred on its edge.
struct DrawnShape {
    enum class Kind { Circle, Rectangle };
    Kind kind = Kind::Circle;
    double cx = 0, cy = 0;                // centre
    double halfWidth = 0, halfHeight = 0; // a circle's radius is halfWidth
    double stroke = 1.5;                  // outline width, pixels
    double gap = 0;                       // a break this wide at the top (0: closed)
    Pixel ink = 0;                        // colour of the outline
};

// A small grey disc, as dust on a scan.
struct DrawnSpeck {
    double x = 0, y = 0, radius = 1;
    std::uint8_t grey = 128;
};

// White paper with the shapes and specks on it, each pixel the average of
// 4 x 4 samples.
PixelBuffer DrawLineArt(int width, int height, const std::vector<DrawnShape>& shapes,
                        const std::vector<DrawnSpeck>& specks = {});

// Whether the point lies inside the shape's outer edge grown by `margin`
// (the shape and its outline), or inside its inner edge shrunk by `margin`
// (the part a fill must reach).
bool InsideOuterEdge(const DrawnShape& shape, double x, double y, double margin);
bool InsideInnerEdge(const DrawnShape& shape, double x, double y, double margin);

// The picture as PNG file bytes (RGB, or RGBA with `alpha` as every pixel's
// opacity) and as JPEG file bytes.
std::string EncodePng(const PixelBuffer& picture, int alpha = 255);
std::string EncodeJpeg(const PixelBuffer& picture, int quality = 90);
