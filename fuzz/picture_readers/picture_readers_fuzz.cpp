// Fuzz target: the book tool's picture readers (PNG, JPEG, bitmap) on any
// bytes, with a small size limit so no input can ask for much memory. A
// failure must come back as a value: a reason and no picture, or a picture
// within the limits and no reason.
#include "book_tool/picture_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PictureLimits limits{1024, 512 * 512};
    const PictureRead read = DecodePicture({data, size}, limits);
    if (read.Ok() == read.picture.IsEmpty())
        std::abort();
    if (read.Ok() &&
        (read.picture.Width() > limits.maxSide || read.picture.Height() > limits.maxSide ||
         read.picture.PixelCount() > limits.maxPixels))
        std::abort();
    return 0;
}
