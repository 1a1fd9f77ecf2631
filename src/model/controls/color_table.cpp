#include "model/controls/color_table.h"

#include "model/resources/string_table.h"

const std::array<ColorTableEntry, kColorCount> kColorTable = {{
    {255, 255, 255}, {0, 0, 0},       {192, 192, 192}, {128, 128, 128}, {255, 0, 0},
    {128, 0, 0},     {255, 255, 0},   {128, 128, 0},   {0, 255, 0},     {0, 128, 0},
    {0, 255, 255},   {0, 128, 128},   {0, 0, 255},     {0, 0, 128},     {255, 0, 255},
    {128, 0, 128},   {255, 255, 128}, {128, 128, 64},  {0, 255, 128},   {0, 64, 64},
    {128, 255, 255}, {0, 128, 255},   {128, 128, 255}, {0, 64, 128},    {255, 0, 128},
    {64, 0, 255},    {255, 128, 64},  {128, 64, 0},    {255, 255, 204}, {204, 204, 102},
}};

namespace {
std::uint8_t LowByte(std::int32_t v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}
} // namespace

Pixel ColorTablePixel(int index) {
    const ColorTableEntry& e = kColorTable.at(static_cast<std::size_t>(index));
    return MakePixel(LowByte(e.red), LowByte(e.green), LowByte(e.blue));
}

ColorRef ColorTableColorRef(int index) {
    return PixelToColorRef(ColorTablePixel(index));
}

std::string_view ColorNameSoundFile(int index) {
    if (!IsValidColorIndex(index))
        return {};
    return LoadString(static_cast<StringId>(IDS_COLOUR_NAME_FIRST + index));
}

LogPalette CreateColorTablePalette() {
    LogPalette pal;
    pal.palVersion = 0x300;
    pal.entries.reserve(kColorCount);
    for (const ColorTableEntry& e : kColorTable)
        pal.entries.push_back({LowByte(e.red), LowByte(e.green), LowByte(e.blue), 0});
    return pal;
}
