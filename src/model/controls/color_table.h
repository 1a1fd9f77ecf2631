// The thirty colours a child can paint with, in their fixed order, and the
// thirty-colour palette built from them. Every colour of the program is named
// by its index 0..29 into this table.
#pragma once

#include "model/log_palette.h"
#include "model/pixel_buffer.h"

#include <array>
#include <cstdint>
#include <string_view>

struct ColorTableEntry {
    std::int32_t red; // only the low byte is used
    std::int32_t green;
    std::int32_t blue;
};

constexpr int kColorCount = 30;
extern const std::array<ColorTableEntry, kColorCount> kColorTable;

// True for 0..29.
constexpr bool IsValidColorIndex(int index) {
    return index >= 0 && index < kColorCount;
}

// The colour as a picture-buffer pixel and as a stored colour value. The
// index must be valid.
Pixel ColorTablePixel(int index);
ColorRef ColorTableColorRef(int index);

// The sound file that speaks the colour's name ("WHITE.WAV" for 0); empty for
// an index outside 0..29.
std::string_view ColorNameSoundFile(int index);

// A palette of version 0x300 with the thirty entries in table order, flags 0.
LogPalette CreateColorTablePalette();
