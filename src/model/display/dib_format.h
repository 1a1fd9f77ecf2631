// Internal to the bitmap library: byte-level helpers and the layout that
// header parsing hands to the pixel decoders.
#pragma once

#include "model/display/colour_match.h"
#include "model/display/dib.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dib_detail {

constexpr std::size_t kFileHeaderSize = 14;

inline std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
inline void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

// Bytes of one stored row, padded to a multiple of 4. Computed in 64 bits:
// width < 2^31 and bitCount <= 32 cannot overflow.
inline std::uint64_t RowStride(std::uint64_t width, int bitCount) {
    return (width * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}
// Bytes of one row without its padding.
inline std::uint64_t RowBytes(std::uint64_t width, int bitCount) {
    return (width * static_cast<std::uint64_t>(bitCount) + 7) / 8;
}

// Everything the pixel decoders need, checked by the header parser: width,
// height and bit count are valid, the pixel count is within the limit, the
// compression fits the bit count, and `pixelOffset` lies within the data.
struct DibLayout {
    DibHeader header;
    std::array<std::uint32_t, 3> masks{}; // red, green, blue; for 16 and 32 bits
    std::size_t pixelOffset = 0;
};

// Every possible index's colour: the colour table's, black past its end.
using ColourLookup = std::array<Pixel, 256>;
ColourLookup MakeColourLookup(const std::vector<Pixel>& colorTable);
// dst[i] = lookup[src[i]] for `count` indices. `sixteen`: the picture has 4
// bits or fewer a pixel, so its indices are below 16.
void LookUpColours(const std::uint8_t* src, Pixel* dst, std::size_t count,
                   const ColourLookup& lookup, bool sixteen);

// Gives `buffer` the size width x height, keeping its memory (and whatever
// it holds) when it already has that size.
void SizeBuffer(PixelBuffer& buffer, int width, int height);

// Where the decoders put a picture. `dib` has its header and colour table
// set; with `keepData` it receives its indices or pixels as Dib describes.
// `colours`, when set, receives the picture's colours as DIBToBitmap gives
// them. Memory already there is reused when its size fits, and written over
// without being cleared first.
struct DecodeOut {
    Dib& dib;
    PixelBuffer* colours = nullptr;
    bool keepData = true;
};

// Decoders fill `out` from `data`, the whole file. They return false with a
// reason in `why` for data that is truncated or runs outside the picture.
bool DecodeIndexedRows(std::span<const std::uint8_t> data, const DibLayout& layout, DecodeOut& out,
                       std::string& why);
bool DecodeTrueColourRows(std::span<const std::uint8_t> data, const DibLayout& layout,
                          DecodeOut& out, std::string& why);
// Fills out.indices alone (the caller looks the colours up).
bool DecodeRle(std::span<const std::uint8_t> data, const DibLayout& layout, Dib& out,
               std::string& why);

// The colour table ChangeBitmapFormat gives a picture for `palette`.
std::vector<Pixel> TableForPalette(const PixelBuffer& picture, const LogPalette& palette);
// Each of `count` pixels' nearest index in the table `nearest` was made for,
// as ChangeBitmapFormat maps them.
void MapToIndices(const Pixel* src, std::uint8_t* dst, std::size_t count,
                  NearestColourMap& nearest);

// Whether the bitmap keeps the invariants stated with Dib, so that it can be
// converted and written without reading past its vectors.
bool IsWellFormed(const Dib& dib);

} // namespace dib_detail
