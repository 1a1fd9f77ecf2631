// Built without warnings: the library is not ours to change.
#include "stb_write.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace {

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

} // namespace

std::string StbWritePng(int width, int height, int channels, const std::uint8_t* samples) {
    std::string bytes;
    stbi_write_png_to_func(Append, &bytes, width, height, channels, samples, width * channels);
    return bytes;
}

std::string StbWriteJpeg(int width, int height, const std::uint8_t* rgb, int quality) {
    std::string bytes;
    stbi_write_jpg_to_func(Append, &bytes, width, height, 3, rgb, quality);
    return bytes;
}
