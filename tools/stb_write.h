// stb_image_write, compiled in stb_write.cpp with its functions static:
// PNG and JPEG file bytes of 8-bit samples, rows top first.
#pragma once

#include <cstdint>
#include <string>

std::string StbWritePng(int width, int height, int channels, const std::uint8_t* samples);
std::string StbWriteJpeg(int width, int height, const std::uint8_t* rgb, int quality);
