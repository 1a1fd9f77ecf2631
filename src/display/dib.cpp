// The bitmap operations that neither read nor write files: measuring,
// palettes, and conversion between bitmaps and picture buffers.
#include "display/dib.h"
#include "display/colour_match.h"
#include "display/dib_format.h"
#include "display/palette_builder.h"

#include <array>

namespace dib_detail {

bool IsWellFormed(const Dib& dib) {
    const DibHeader& h = dib.header;
    if (h.width <= 0 || h.height <= 0)
        return false;
    const std::size_t count = std::size_t(h.width) * std::size_t(h.height);
    if (h.IsIndexed())
        return dib.indices.size() == count && dib.colorTable.size() <= 256 && dib.pixels.IsEmpty();
    return dib.pixels.Width() == h.width && dib.pixels.Height() == h.height &&
           dib.indices.empty() && dib.colorTable.empty();
}

} // namespace dib_detail

int DIBWidth(const Dib& dib) {
    return dib.header.width;
}

int DIBHeight(const Dib& dib) {
    return dib.header.height;
}

LogPalette CreateDIBPalette(const Dib& dib) {
    LogPalette palette;
    palette.palVersion = 0x300;
    if (dib.header.IsIndexed())
        for (Pixel c : dib.colorTable)
            palette.entries.push_back(PixelPaletteEntry(c));
    return palette;
}

PixelBuffer DIBToBitmap(const Dib& dib) {
    if (!dib_detail::IsWellFormed(dib))
        return {};
    if (!dib.header.IsIndexed())
        return dib.pixels;
    // Every index has an entry: the ones past the colour table stay black.
    std::array<Pixel, 256> lookup{};
    for (std::size_t i = 0; i < dib.colorTable.size(); ++i)
        lookup[i] = dib.colorTable[i] & kRgbMask;
    PixelBuffer out(dib.header.width, dib.header.height);
    Pixel* dst = out.Data();
    for (std::uint8_t index : dib.indices)
        *dst++ = lookup[index];
    return out;
}

DibHandle ChangeBitmapFormat(const PixelBuffer& picture, int bitCount, std::uint32_t compression,
                             const LogPalette& palette) {
    if (bitCount != 8 || compression != kDibRgb || picture.IsEmpty() ||
        palette.entries.size() > 256)
        return nullptr;
    auto dib = std::make_unique<Dib>();
    // A picture without a palette of its own (read from a true-colour file)
    // would otherwise have nothing to map to.
    dib->colorTable = PaletteColours(palette.entries.empty() ? BuildPalette(picture) : palette);
    dib->header =
        DibHeader{kDibInfoHeaderSize, picture.Width(), picture.Height(), false, 8, kDibRgb};
    dib->indices.resize(picture.PixelCount());
    NearestColourMap nearest(dib->colorTable);
    const Pixel* src = picture.Data();
    for (std::uint8_t& index : dib->indices)
        index = nearest.Index(*src++);
    return dib;
}

void DestroyDIB(DibHandle& dib) {
    dib.reset();
}
