// Writes the seed corpora of the book tool's fuzz targets:
//   fuzz/picture_readers/corpus  small PNG, JPEG and bitmap files, and a few
//                                damaged ones that must be refused
//   fuzz/cleanup/corpus          small pictures in the clean-up target's own
//                                form (see fuzz/cleanup/cleanup_fuzz.cpp)
//
//   make_picture_corpus REPOSITORY_ROOT
#include "line_drawings.h"
#include "model/display/dib.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

PixelBuffer Drawing(int size, double gap) {
    DrawnShape circle;
    circle.cx = circle.cy = size / 2.0;
    circle.halfWidth = size / 3.0;
    circle.stroke = 1.5;
    circle.gap = gap;
    return DrawLineArt(size, size, {circle}, {{size * 0.1, size * 0.9, 0.8, 140}});
}

std::string Bitmap(const PixelBuffer& picture) {
    DibHandle dib = ChangeBitmapFormat(picture, 8, kDibRgb, {});
    std::vector<std::uint8_t> bytes = EncodeDIB(*dib);
    return {bytes.begin(), bytes.end()};
}

// The clean-up target's form: width - 1, height - 1, speck, gap, then RGB.
std::string CleanupInput(const PixelBuffer& picture, int speck, int gap) {
    std::string bytes = {char(picture.Width() - 1), char(picture.Height() - 1), char(speck),
                         char(gap)};
    for (std::size_t i = 0; i < picture.PixelCount(); ++i) {
        const Pixel p = picture.Data()[i];
        bytes += {char(PixelRed(p)), char(PixelGreen(p)), char(PixelBlue(p))};
    }
    return bytes;
}

void WriteReaderCorpus(const fs::path& dir) {
    const PixelBuffer art = Drawing(12, 2);
    const std::string png = EncodePng(art);
    Write(dir / "line_art.png", png);
    Write(dir / "transparent.png", EncodePng(art, 100));
    Write(dir / "line_art.jpg", EncodeJpeg(art));
    Write(dir / "line_art.bmp", Bitmap(art));
    Write(dir / "bad_truncated.png", png.substr(0, png.size() / 2));
    Write(dir / "bad_truncated.jpg", EncodeJpeg(art).substr(0, 100));
    std::string huge = png; // IHDR claims 20000 x 20000: refused before decoding
    huge.replace(16, 8, std::string("\0\0\x4e\x20\0\0\x4e\x20", 8));
    Write(dir / "bad_huge.png", huge);
    Write(dir / "bad_unknown.txt", "not a picture");
}

void WriteCleanupCorpus(const fs::path& dir) {
    Write(dir / "circle_gap.bin", CleanupInput(Drawing(24, 2), 9, 3));
    Write(dir / "circle_closed.bin", CleanupInput(Drawing(16, 0), 4, 1));
    PixelBuffer noise(9, 7);
    for (std::size_t i = 0; i < noise.PixelCount(); ++i)
        noise.Data()[i] = static_cast<Pixel>(i * 2654435761u) & kRgbMask;
    Write(dir / "noise.bin", CleanupInput(noise, 2, 8));
    Write(dir / "blank.bin", CleanupInput(PixelBuffer(5, 5, 0xFFFFFF), 9, 3));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture_corpus REPOSITORY_ROOT\n");
        return 64;
    }
    const fs::path root = argv[1];
    WriteReaderCorpus(root / "fuzz" / "picture_readers" / "corpus");
    WriteCleanupCorpus(root / "fuzz" / "cleanup" / "corpus");
    return 0;
}
