// stb_image, compiled here with its functions static so that nothing else in
// a program can clash with them. This file is built without warnings (the
// library is not ours to change).
#include "book_tool/stb_decode.h"

#include "book_tool/picture_reader.h"

#include <algorithm>
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

// stb_image as Debian 12 packages it trusts the counts of a JPEG Huffman
// table: counts adding up to more than the 256 symbols a table has make it
// write past the table. Such a file is corrupt anyway, so every table stb
// would read is checked first. The walk follows stb's own: markers found by
// scanning for 0xFF (fill bytes, stuffed zeros and restart markers skipped),
// segments skipped by their length, a table segment read table by table
// while its length lasts, bytes past the end read as zero.
bool JpegTablesFit(std::span<const std::uint8_t> b) {
    const auto at = [&](std::size_t i) -> unsigned { return i < b.size() ? b[i] : 0; };
    std::size_t i = 2; // after the start-of-image marker
    while (i + 1 < b.size()) {
        const unsigned m = b[i + 1];
        if (b[i] != 0xFF || m == 0xFF || m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            ++i;
            continue;
        }
        if (m == 0xD9) // end of image
            return true;
        const long length = static_cast<long>(at(i + 2) << 8 | at(i + 3));
        if (m == 0xC4) {
            std::size_t p = i + 4;
            for (long left = length - 2; left > 0;) {
                unsigned symbols = 0;
                for (std::size_t k = 1; k <= 16; ++k)
                    symbols += at(p + k);
                if (symbols > 256)
                    return false;
                p += 17 + symbols;
                left -= 17 + static_cast<long>(symbols);
            }
        }
        i += 2 + static_cast<std::size_t>(std::max(length, 2L));
    }
    return true;
}

bool IsJpeg(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
}

// False, with the reason, for input stb must not be given.
bool SafeForStb(std::span<const std::uint8_t> bytes, std::string& why) {
    if (IsJpeg(bytes) && !JpegTablesFit(bytes)) {
        why = "corrupt JPEG: a Huffman table with more than 256 symbols";
        return false;
    }
    return true;
}

std::string Reason() {
    const char* reason = stbi_failure_reason();
    return reason ? reason : "unknown error";
}

} // namespace

bool StbPictureSize(std::span<const std::uint8_t> bytes, int& width, int& height,
                    std::string& why) {
    if (!Fits(bytes, why) || !SafeForStb(bytes, why))
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
    if (!Fits(bytes, why) || !SafeForStb(bytes, why))
        return out;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                            &out.width, &out.height, &channels, 4);
    if (!pixels)
        why = Reason();
    out.rgba = {pixels, stbi_image_free};
    return out;
}
