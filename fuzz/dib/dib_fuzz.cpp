// Fuzz target of the bitmap reader. Any input must either load or fail with
// the reader's reason; a loaded bitmap must convert, and what is written of
// it must read back to the same picture and palette. The pixel limit is kept
// small so that inputs claiming huge run-length pictures stay within the
// fuzzer's memory limit.
#include "model/display/dib.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::uint64_t kFuzzMaxPixels = 1u << 18;
constexpr std::size_t kRoundTripMaxPixels = 1u << 14;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckRoundTrip(const Dib& dib, const PixelBuffer& picture) {
    const std::vector<std::uint8_t> bytes = EncodeDIB(dib);
    Check(!bytes.empty());
    DibHandle back = LoadDIB(std::span<const std::uint8_t>(bytes));
    Check(back != nullptr);
    Check(DIBToBitmap(*back) == picture);
    Check(CreateDIBPalette(*back) == CreateDIBPalette(dib));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string why;
    DibHandle dib = LoadDIB(std::span<const std::uint8_t>(data, size), &why, {kFuzzMaxPixels});
    if (!dib) {
        Check(why.rfind(kDibReadFailure, 0) == 0);
        return 0;
    }
    const int width = DIBWidth(*dib);
    const int height = DIBHeight(*dib);
    Check(width > 0 && height > 0);
    Check(std::uint64_t(width) * std::uint64_t(height) <= kFuzzMaxPixels);
    const PixelBuffer picture = DIBToBitmap(*dib);
    Check(picture.Width() == width && picture.Height() == height);
    if (picture.PixelCount() <= kRoundTripMaxPixels) {
        CheckRoundTrip(*dib, picture);
        Check(ChangeBitmapFormat(picture, 8, kDibRgb, CreateDIBPalette(*dib)) != nullptr);
    }
    return 0;
}
