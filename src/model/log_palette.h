// A logical palette: a version and a list of colour entries, as the bitmap
// codec builds one from a file's colour table and the colour table builds the
// thirty-colour palette.
#pragma once

#include <cstdint>
#include <vector>

struct PaletteEntry {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

struct LogPalette {
    std::uint16_t palVersion = 0x300;
    std::vector<PaletteEntry> entries;
    friend bool operator==(const LogPalette&, const LogPalette&) = default;
};
