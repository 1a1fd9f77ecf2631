// Reading the pictures a book is made from: PNG, JPEG and bitmap files, told
// apart by their first bytes, never by their names. PNG and JPEG go through
// stb_image, bitmaps through the program's own reader, so a bitmap page
// reads exactly as the program will read it.
#pragma once

#include "model/pixel_buffer.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

// The longest side of a picture the book tool reads.
constexpr int kMaxPictureSide = 16384;

struct PictureLimits {
    int maxSide = kMaxPictureSide;                 // either side, in pixels
    std::uint64_t maxPixels = 16384ull * 16384ull; // width x height
};

// A picture, or why there is none: exactly one of the two is non-empty.
struct PictureRead {
    PixelBuffer picture;
    std::string error; // e.g. "cannot be read as a PNG picture: bad IHDR len"

    bool Ok() const { return error.empty(); }
};

// Decodes the bytes of a PNG, JPEG or bitmap file. A PNG's or JPEG's size is
// read from its header and checked against the limits before anything is
// decoded (a bitmap's by the bitmap reader), so hostile sizes never
// allocate. Transparent and partly transparent pixels are laid over white,
// as line art drawn on a transparent sheet is meant to look. Bytes of any
// other kind give "cannot be read as a picture: not a PNG, JPEG or bitmap
// file". Nothing here throws for bad input.
PictureRead DecodePicture(std::span<const std::uint8_t> bytes, const PictureLimits& limits = {});

// The same for a file on disc: only a regular file is read ("not a regular
// file" for a folder, FIFO or device, at once and without blocking), in one
// allocation of its size.
PictureRead ReadPicture(const std::filesystem::path& path, const PictureLimits& limits = {});
