// Fuzz target: the line-art clean-up on any small picture with any options.
// Input: width - 1, height - 1 (each taken modulo 64), the speck size
// (modulo 32), the gap width (modulo 9), then the pixels as RGB triples, top
// row first; missing pixels are white. The result must have the picture's
// size and hold only black and white.
#include "book_tool/line_art.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    const int width = data[0] % 64 + 1, height = data[1] % 64 + 1;
    const LineArtOptions options{data[2] % 32, data[3] % 9};
    PixelBuffer picture(width, height, 0xFFFFFF);
    for (std::size_t i = 0; i < picture.PixelCount() && 4 + 3 * i + 2 < size; ++i) {
        const std::uint8_t* p = data + 4 + 3 * i;
        picture.Data()[i] = MakePixel(p[0], p[1], p[2]);
    }
    const LineArtResult result = CleanLineArt(picture, options);
    if (result.picture.Width() != width || result.picture.Height() != height)
        std::abort();
    for (std::size_t i = 0; i < result.picture.PixelCount(); ++i) {
        const Pixel p = result.picture.Data()[i];
        if (p != 0x000000 && p != 0xFFFFFF)
            std::abort();
    }
    return 0;
}
