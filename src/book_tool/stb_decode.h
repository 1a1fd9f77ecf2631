// The book tool's one door to stb_image, which is compiled into the book
// tool alone (stb_decode.cpp) with PNG and JPEG only, no file access and
// sides capped at kMaxPictureSide. Private to picture_reader.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// The sides a PNG or JPEG header declares; false, with stb's reason in
// `why`, when the header cannot be read.
bool StbPictureSize(std::span<const std::uint8_t> bytes, int& width, int& height, std::string& why);

// Decoded pixels: 8-bit RGBA, width x height, top row first, owned here.
struct StbPixels {
    std::unique_ptr<std::uint8_t, void (*)(void*)> rgba{nullptr, nullptr};
    int width = 0;
    int height = 0;
};

// Decodes to RGBA (16-bit samples are cut to 8, grey and palette pictures
// expanded). Null pixels, with stb's reason in `why`, when the picture
// cannot be decoded.
StbPixels StbDecodeRgba(std::span<const std::uint8_t> bytes, std::string& why);
