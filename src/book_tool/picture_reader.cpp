#include "book_tool/picture_reader.h"

#include "book_tool/stb_decode.h"
#include "model/display/dib.h"
#include "platform/atomic_file.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

enum class PictureKind { Png, Jpeg, Other };

PictureKind KindOf(std::span<const std::uint8_t> bytes) {
    static constexpr std::array<std::uint8_t, 8> kPng = {0x89, 'P',  'N',  'G',
                                                         '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= kPng.size() && std::equal(kPng.begin(), kPng.end(), bytes.begin()))
        return PictureKind::Png;
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return PictureKind::Jpeg;
    return PictureKind::Other;
}

PictureRead Failure(std::string error) {
    return {PixelBuffer(), std::move(error)};
}

// A pixel of colour c with opacity a (0..255) laid over white.
std::uint8_t OverWhite(unsigned c, unsigned a) {
    return static_cast<std::uint8_t>((c * a + 255u * (255u - a) + 127u) / 255u);
}

// A PNG's sides as its header states them (stb refuses sides above its own
// cap without saying so), or none when the header is cut short.
bool PngHeaderSize(std::span<const std::uint8_t> bytes, int& width, int& height) {
    if (bytes.size() < 24 ||
        std::string_view(reinterpret_cast<const char*>(&bytes[12]), 4) != "IHDR")
        return false;
    auto big = [&](std::size_t at) {
        return std::min<std::uint32_t>((std::uint32_t{bytes[at]} << 24) | (bytes[at + 1] << 16) |
                                           (bytes[at + 2] << 8) | bytes[at + 3],
                                       0x7FFFFFFF);
    };
    width = static_cast<int>(big(16));
    height = static_cast<int>(big(20));
    return true;
}

PictureRead DecodeWithStb(std::span<const std::uint8_t> bytes, const char* what,
                          const PictureLimits& limits) {
    const std::string failure = std::string("cannot be read as a ") + what + " picture: ";
    std::string why;
    int width = 0, height = 0;
    const bool png = what == std::string_view("PNG");
    if (!(png && PngHeaderSize(bytes, width, height)) && !StbPictureSize(bytes, width, height, why))
        return Failure(failure + why);
    if (width <= 0 || height <= 0 || width > limits.maxSide || height > limits.maxSide ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > limits.maxPixels)
        return Failure(failure + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels is larger than the book tool reads");
    StbPixels decoded = StbDecodeRgba(bytes, why);
    if (!decoded.rgba)
        return Failure(failure + why);
    PictureRead read{PixelBuffer(decoded.width, decoded.height), {}};
    const std::uint8_t* p = decoded.rgba.get();
    for (std::size_t i = 0; i < read.picture.PixelCount(); ++i, p += 4)
        read.picture.Data()[i] =
            MakePixel(OverWhite(p[0], p[3]), OverWhite(p[1], p[3]), OverWhite(p[2], p[3]));
    return read;
}

PictureRead DecodeBitmap(std::span<const std::uint8_t> bytes, const PictureLimits& limits) {
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return Failure("cannot be read as a picture: not a PNG, JPEG or bitmap file");
    std::string why;
    DibHandle dib = LoadDIB(bytes, &why, DibLimits{limits.maxPixels});
    if (!dib)
        return Failure(why);
    if (DIBWidth(*dib) > limits.maxSide || DIBHeight(*dib) > limits.maxSide)
        return Failure(std::string(kDibReadFailure) + ": " + std::to_string(DIBWidth(*dib)) +
                       " x " + std::to_string(DIBHeight(*dib)) +
                       " pixels is larger than the book tool reads");
    return {DIBToBitmap(*dib), {}};
}

} // namespace

PictureRead DecodePicture(std::span<const std::uint8_t> bytes, const PictureLimits& limits) {
    switch (KindOf(bytes)) {
    case PictureKind::Png:
        return DecodeWithStb(bytes, "PNG", limits);
    case PictureKind::Jpeg:
        return DecodeWithStb(bytes, "JPEG", limits);
    case PictureKind::Other:
        break;
    }
    return DecodeBitmap(bytes, limits);
}

PictureRead ReadPicture(const std::filesystem::path& path, const PictureLimits& limits) {
    // No picture within the limits needs more than 8 bytes a pixel, plus
    // headers and tables; a larger file is refused before it is read.
    const std::uint64_t maxBytes = limits.maxPixels * 8 + (1u << 20);
    std::string bytes;
    switch (ReadRegularFile(path, maxBytes, bytes)) {
    case ReadFileResult::Read:
        break;
    case ReadFileResult::NotRegularFile:
        return Failure("cannot be read as a picture: not a regular file");
    case ReadFileResult::TooLarge:
        return Failure("cannot be read as a picture: the file is larger than any picture the "
                       "book tool reads");
    default:
        return Failure("cannot be read as a picture: the file cannot be opened or read");
    }
    return DecodePicture({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                         limits);
}
