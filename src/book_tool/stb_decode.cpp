// stb_image, compiled here with its functions static so that nothing else in
// a program can clash with them. This file is built without warnings (the
// library is not ours to change).
#include "book_tool/stb_decode.h"

#include "book_tool/picture_reader.h"

#include <climits>
#include <cstdlib>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS kMaxPictureSide
#include <stb/stb_image.h>

namespace {

bool Fits(std::span<const std::uint8_t> bytes, std::string& why) {
    if (bytes.size() <= static_cast<std::size_t>(INT_MAX))
        return true;
    why = "the file is too large";
    return false;
}

std::string Reason() {
    const char* reason = stbi_failure_reason();
    return reason ? reason : "unknown error";
}

} // namespace

bool StbPictureSize(std::span<const std::uint8_t> bytes, int& width, int& height,
                    std::string& why) {
    if (!Fits(bytes, why))
        return false;
    int channels = 0;
    if (stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                              &channels))
        return true;
    why = Reason();
    return false;
}

StbPixels StbDecodeRgba(std::span<const std::uint8_t> bytes, std::string& why) {
    StbPixels out;
    if (!Fits(bytes, why))
        return out;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                            &out.width, &out.height, &channels, 4);
    if (!pixels)
        why = Reason();
    out.rgba = {pixels, stbi_image_free};
    return out;
}
