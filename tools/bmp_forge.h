// Builds bitmap files byte by byte, in every form a bitmap reader meets, for
// the tests and the fuzz corpus of the bitmap library. It writes exactly what
// it is told, also when that is inconsistent or damaged, so it can make the
// hostile files a reader must refuse as well as the good ones.
#pragma once

#include "model/pixel_buffer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct BmpRecipe {
    std::uint32_t headerSize = 40; // 12: core header; otherwise an info header of that size
    std::int32_t width = 1;
    std::int32_t height = 1; // negative: rows stored top row first
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::vector<Pixel> colorTable;           // 3 bytes an entry after a core header, else 4
    std::optional<std::uint32_t> colorsUsed; // default: the table's size (0 for none)
    std::vector<std::uint32_t> masks;        // inside a header of 52+ bytes (not 64), else after it
    std::vector<std::uint8_t> bits;          // the pixel data as stored
    std::optional<std::uint32_t> offBits;    // default: right after the colour table
};

// The whole file: file header, bitmap header, masks, colour table, bits.
std::vector<std::uint8_t> ForgeBmp(const BmpRecipe& recipe);

// Stored rows of a picture of colour-table indices (width x height, top row
// first) at 1, 2, 4 or 8 bits, each row padded to 4 bytes.
std::vector<std::uint8_t> PackIndexRows(std::span<const std::uint8_t> indices, int width,
                                        int height, int bitCount, bool topDown);

// Stored rows of a true-colour picture at 24 bits, or at 16 or 32 bits with
// the given red, green and blue masks (each channel rounded to its mask's
// range).
std::vector<std::uint8_t> PackColourRows(const PixelBuffer& picture, int bitCount,
                                         std::array<std::uint32_t, 3> masks, bool topDown);

// Run-length data (bitCount 8: RLE8, 4: RLE4) for a picture of indices: runs
// of equal pixels, literal runs for the rest, an end of row after each row,
// bottom row first, and an end of picture.
std::vector<std::uint8_t> EncodeRle(std::span<const std::uint8_t> indices, int width, int height,
                                    int bitCount);
