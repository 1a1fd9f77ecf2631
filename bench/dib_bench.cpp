// Benchmarks of the bitmap codec. Decoding to 32-bit pixels (DecodeDIBPixels)
// of 1-, 4-, 8- and 24-bit files and of RLE8 and RLE4 files at 640 x 480,
// against stb_image (to 4 channels; it reads no run-length files) and
// OpenCV's cv::imdecode (to 3 channels, and widened to 4 with cvtColor for
// comparison) on the same bytes. Ours and OpenCV decode into the buffer the
// previous decode left, as a view does that shows one page after another
// (OpenCV's own form of that call); stb_image always allocates. An 8-bit file
// at 4096 x 4096 decoded into a new buffer is compared with allocating and
// writing a picture buffer of that size.
// Encoding (EncodeDIB8: nearest colours straight into an 8-bit file) at both
// sizes, against the least any encoder does: allocating the file and writing
// one byte for each pixel read; ChangeBitmapFormat alone is shown beside it.
// After the runs it prints the ratios with their targets, taken from each
// benchmark's recorded time, and warns when the decoders disagree on a
// file's pixels or the encoders on a file's bytes.
//
// DIB_BENCH_FRESH_MEMORY=1 leaves the allocator's defaults alone (see main).
#include "bench_scenes.h"
#include "bench_timing.h"
#include "bmp_forge.h"
#include "model/colouring/region_fill.h"
#include "model/controls/color_table.h"
#include "model/display/dib.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <malloc.h>
#include <time.h>

namespace {

using bench::RecordingReporter;
using bench::TimedLoop;

using Bytes = std::vector<std::uint8_t>;

struct Size {
    int width;
    int height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
constexpr Size kSmall{640, 480};
constexpr Size kLarge{4096, 4096};

// ---- the pictures -------------------------------------------------------------

// A page as a child leaves it: the line art with its background, its big
// outline and a few rings filled in paint colours.
PixelBuffer ColouredPage(const Size& size) {
    PixelBuffer page = MakeLineArt(size.width, size.height);
    SurfaceFill(page, 1, 1, ColorTablePixel(20));
    SurfaceFill(page, size.width / 2, size.height / 2, ColorTablePixel(6));
    const int step = std::max(1, size.width / 40);
    for (int x = 0, colour = 4; x < size.width; x += step, colour = (colour + 1) % 16)
        if (page.At(x, size.height / 3) == ColorTablePixel(6))
            SurfaceFill(page, x, size.height / 3, ColorTablePixel(colour));
    return page;
}

// Smooth shades in every part: as many colours as a photograph.
PixelBuffer ManyColours(const Size& size) {
    PixelBuffer picture(size.width, size.height);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            picture.Set(x, y,
                        MakePixel(std::uint8_t(x * 255 / size.width),
                                  std::uint8_t(y * 255 / size.height),
                                  std::uint8_t((x ^ y) & 0xFF)));
    return picture;
}

// The thirty paint colours, then a cube of others: the table a coloured
// 8-bit page is saved with.
LogPalette PaintPalette() {
    LogPalette palette = CreateColorTablePalette();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6 && palette.entries.size() < 256; ++b)
                palette.entries.push_back(
                    {std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51), 0});
    return palette;
}

struct Picture {
    std::string kind; // "8-bit", "RLE4", ...
    Size size;
    Bytes file;
};

// The page as a bitmap file of one kind. Indexed files map the page to the
// first 2, 16 or 256 colours of the paint palette.
Bytes PageFile(const PixelBuffer& page, int bitCount, std::uint32_t compression) {
    BmpRecipe recipe;
    recipe.width = page.Width();
    recipe.height = page.Height();
    recipe.bitCount = static_cast<std::uint16_t>(bitCount);
    recipe.compression = compression;
    if (bitCount == 24) {
        recipe.bits = PackColourRows(page, 24, {0, 0, 0}, false);
        return ForgeBmp(recipe);
    }
    LogPalette palette = PaintPalette();
    palette.entries.resize(std::size_t{1} << bitCount);
    DibHandle indexed = ChangeBitmapFormat(page, 8, kDibRgb, palette);
    recipe.colorTable = indexed->colorTable;
    recipe.bits =
        compression == kDibRgb
            ? PackIndexRows(indexed->indices, page.Width(), page.Height(), bitCount, false)
            : EncodeRle(indexed->indices, page.Width(), page.Height(), bitCount);
    return ForgeBmp(recipe);
}

const std::vector<Picture>& Pictures() {
    static const std::vector<Picture> pictures = [] {
        const PixelBuffer small = ColouredPage(kSmall);
        std::vector<Picture> list = {
            {"1-bit", kSmall, PageFile(MakeLineArt(kSmall.width, kSmall.height), 1, kDibRgb)},
            {"4-bit", kSmall, PageFile(small, 4, kDibRgb)},
            {"8-bit", kSmall, PageFile(small, 8, kDibRgb)},
            {"RLE8", kSmall, PageFile(small, 8, kDibRle8)},
            {"RLE4", kSmall, PageFile(small, 4, kDibRle4)},
            {"24-bit", kSmall, PageFile(small, 24, kDibRgb)},
            {"8-bit", kLarge, PageFile(ColouredPage(kLarge), 8, kDibRgb)}};
        return list;
    }();
    return pictures;
}

std::string Name(const char* what, const Picture& p) {
    return std::string(what) + "/" + p.kind + "/" + p.size.Name();
}

bool IsRle(const Picture& p) {
    return p.kind.rfind("RLE", 0) == 0;
}

// ---- the three decoders ------------------------------------------------------

// Into `pixels`, reusing its memory when it has the picture's size.
void DecodeOurs(const Bytes& file, PixelBuffer& pixels) {
    DecodeDIBPixels(std::span<const std::uint8_t>(file), pixels);
}

PixelBuffer DecodeOurs(const Bytes& file) {
    PixelBuffer pixels;
    DecodeOurs(file, pixels);
    return pixels;
}

// RGBA bytes, or null.
stbi_uc* DecodeStb(const Bytes& file) {
    int w = 0, h = 0, channels = 0;
    return stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &channels, 4);
}

// Into `bgr`, reusing its memory when it has the picture's size and type.
void DecodeOpenCv(const Bytes& file, cv::Mat& bgr) {
    cv::imdecode(
        cv::Mat(1, static_cast<int>(file.size()), CV_8UC1, const_cast<std::uint8_t*>(file.data())),
        cv::IMREAD_COLOR, &bgr);
}

cv::Mat DecodeOpenCv(const Bytes& file) {
    cv::Mat bgr;
    DecodeOpenCv(file, bgr);
    return bgr;
}

// All decoders must give the same pixels, or the comparison means nothing.
void CheckSamePixels(const Picture& p) {
    const PixelBuffer ours = DecodeOurs(p.file);
    if (ours.IsEmpty()) {
        std::fprintf(stderr, "WARNING: %s: our decoder refused it\n", Name("", p).c_str());
        return;
    }
    if (!IsRle(p)) {
        stbi_uc* rgba = DecodeStb(p.file);
        bool same = rgba != nullptr;
        for (std::size_t i = 0; same && i < ours.PixelCount(); ++i)
            same = MakePixel(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2]) == ours.Data()[i];
        stbi_image_free(rgba);
        if (!same)
            std::fprintf(stderr, "WARNING: %s: stb_image gives other pixels\n",
                         Name("", p).c_str());
    }
    const cv::Mat bgr = DecodeOpenCv(p.file);
    bool same = bgr.rows == ours.Height() && bgr.cols == ours.Width() && bgr.type() == CV_8UC3;
    for (int y = 0; same && y < bgr.rows; ++y)
        for (int x = 0; same && x < bgr.cols; ++x) {
            const auto c = bgr.at<cv::Vec3b>(y, x);
            same = MakePixel(c[2], c[1], c[0]) == ours.At(x, y);
        }
    if (!same)
        std::fprintf(stderr, "WARNING: %s: OpenCV gives other pixels\n", Name("", p).c_str());
}

// ---- timing --------------------------------------------------------------------

// Into the buffer the previous iteration decoded into.
void OursBench(benchmark::State& state, const Picture* p) {
    PixelBuffer pixels = DecodeOurs(p->file);
    TimedLoop(state, [&] {
        DecodeOurs(p->file, pixels);
        benchmark::DoNotOptimize(pixels.Data());
    });
}

// Into a new buffer each time.
void OursFreshBench(benchmark::State& state, const Picture* p) {
    TimedLoop(state, [&] {
        PixelBuffer pixels = DecodeOurs(p->file);
        benchmark::DoNotOptimize(pixels.Data());
    });
}

void StbBench(benchmark::State& state, const Picture* p) {
    TimedLoop(state, [&] {
        stbi_uc* rgba = DecodeStb(p->file);
        benchmark::DoNotOptimize(rgba);
        stbi_image_free(rgba);
    });
}

void OpenCvBench(benchmark::State& state, const Picture* p) {
    cv::Mat bgr = DecodeOpenCv(p->file);
    TimedLoop(state, [&] {
        DecodeOpenCv(p->file, bgr);
        benchmark::DoNotOptimize(bgr.data);
    });
}

// The same, widened to four channels: the output ours gives.
void OpenCvFourBench(benchmark::State& state, const Picture* p) {
    cv::Mat bgr = DecodeOpenCv(p->file);
    cv::Mat bgra;
    cv::cvtColor(bgr, bgra, cv::COLOR_BGR2BGRA);
    TimedLoop(state, [&] {
        DecodeOpenCv(p->file, bgr);
        cv::cvtColor(bgr, bgra, cv::COLOR_BGR2BGRA);
        benchmark::DoNotOptimize(bgra.data);
    });
}

// What any decoder to a picture buffer must do at least.
void AllocateBench(benchmark::State& state, Size size) {
    TimedLoop(state, [&] {
        PixelBuffer pixels(size.width, size.height, 0x00FFFFFF);
        benchmark::DoNotOptimize(pixels.Data());
        benchmark::ClobberMemory();
    });
}

void EncodeBench(benchmark::State& state, const PixelBuffer* picture, const LogPalette* palette) {
    TimedLoop(state, [&] {
        Bytes file = EncodeDIB8(*picture, *palette);
        benchmark::DoNotOptimize(file.data());
    });
}

// The conversion alone: the 8-bit bitmap in memory, without its file bytes.
void ConvertBench(benchmark::State& state, const PixelBuffer* picture, const LogPalette* palette) {
    TimedLoop(state, [&] {
        DibHandle dib = ChangeBitmapFormat(*picture, 8, kDibRgb, *palette);
        benchmark::DoNotOptimize(dib->indices.data());
    });
}

// What any encoder to an 8-bit file must do at least: read every pixel and
// write one byte for it into a new buffer of the file's size.
void EncodeFloorBench(benchmark::State& state, const PixelBuffer* picture) {
    const auto width = static_cast<std::size_t>(picture->Width());
    const std::size_t stride = (width + 3) & ~std::size_t{3};
    TimedLoop(state, [&] {
        std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[stride * picture->Height()]);
        for (int y = 0; y < picture->Height(); ++y) {
            const Pixel* src = picture->Row(y);
            std::uint8_t* dst = file.get() + stride * std::size_t(y);
            for (std::size_t x = 0; x < width; ++x)
                dst[x] = static_cast<std::uint8_t>(src[x]);
        }
        benchmark::DoNotOptimize(file.get());
        benchmark::ClobberMemory();
    });
}

// ---- registering and reporting -----------------------------------------------

struct EncodeCase {
    std::string name;
    Size size;
    PixelBuffer picture;
};

const LogPalette& EncodePalette() {
    static const LogPalette palette = PaintPalette();
    return palette;
}

std::vector<EncodeCase>& EncodeCases() {
    static std::vector<EncodeCase> cases;
    return cases;
}

std::string EncodeName(const char* what, const EncodeCase& c) {
    return std::string(what) + "/" + c.name + "/" + c.size.Name();
}

void Configure(benchmark::internal::Benchmark* b, double minTime) {
    b->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(minTime);
}

void Register() {
    for (const Picture& p : Pictures()) {
        CheckSamePixels(p);
        const double minTime = p.size.width > 2000 ? 0.5 : 0.2;
        Configure(benchmark::RegisterBenchmark(Name("Ours", p).c_str(), OursBench, &p), minTime);
        if (p.kind == "8-bit")
            Configure(
                benchmark::RegisterBenchmark(Name("OursFresh", p).c_str(), OursFreshBench, &p),
                minTime);
        if (!IsRle(p))
            Configure(benchmark::RegisterBenchmark(Name("Stb", p).c_str(), StbBench, &p), minTime);
        Configure(benchmark::RegisterBenchmark(Name("OpenCv", p).c_str(), OpenCvBench, &p),
                  minTime);
        Configure(benchmark::RegisterBenchmark(Name("OpenCvFour", p).c_str(), OpenCvFourBench, &p),
                  minTime);
    }
    EncodeCases() = {{"page", kSmall, ColouredPage(kSmall)},
                     {"many-colours", kSmall, ManyColours(kSmall)},
                     {"page", kLarge, ColouredPage(kLarge)}};
    for (const EncodeCase& c : EncodeCases()) {
        // The one-pass encoder must write the file the two steps write.
        DibHandle dib = ChangeBitmapFormat(c.picture, 8, kDibRgb, EncodePalette());
        if (!dib || EncodeDIB8(c.picture, EncodePalette()) != EncodeDIB(*dib))
            std::fprintf(stderr, "WARNING: %s: the encoders write other bytes\n",
                         EncodeName("", c).c_str());
        const double minTime = c.size.width > 2000 ? 0.5 : 0.2;
        Configure(benchmark::RegisterBenchmark(EncodeName("Encode", c).c_str(), EncodeBench,
                                               &c.picture, &EncodePalette()),
                  minTime);
        Configure(benchmark::RegisterBenchmark(EncodeName("Convert", c).c_str(), ConvertBench,
                                               &c.picture, &EncodePalette()),
                  minTime);
        Configure(benchmark::RegisterBenchmark(EncodeName("EncodeFloor", c).c_str(),
                                               EncodeFloorBench, &c.picture),
                  minTime);
    }
    for (const Size& size : {kSmall, kLarge})
        Configure(
            benchmark::RegisterBenchmark(("Allocate/" + size.Name()).c_str(), AllocateBench, size),
            0.5);
}

void PrintRatio(const std::string& label, double ours, double theirs, double target,
                double other = -1.0) {
    if (ours < 0 || theirs <= 0) {
        std::printf("%-26s  (not run)\n", label.c_str());
        return;
    }
    const double ratio = ours / theirs;
    std::printf("%-26s %9.3f %9.3f %7.2f  %-6s", label.c_str(), ours, theirs, ratio,
                target <= 0       ? ""
                : ratio <= target ? "ok"
                                  : "MISSED");
    if (other > 0)
        std::printf(" %9.3f %7.2f", other, ours / other);
    std::printf("\n");
}

void PrintDecodeRatios(const RecordingReporter& times) {
    std::printf("\nDecode to 32-bit / stb_image (4 channels), target <= 0.25\n"
                "%-26s %9s %9s %7s\n",
                "file", "ours ms", "stb ms", "ratio");
    for (const Picture& p : Pictures())
        if (p.size.width == kSmall.width && !IsRle(p))
            PrintRatio(p.kind + " " + p.size.Name(), times.Ms(Name("Ours", p)),
                       times.Ms(Name("Stb", p)), 0.25);
    std::printf("\nDecode to 32-bit / cv::imdecode (3 channels), both into the buffers of the "
                "previous decode,\ntarget <= 1.00 at %s; last columns: cv::imdecode and cvtColor "
                "to 4 channels, as ours gives\n"
                "%-26s %9s %9s %7s  %-6s %9s %7s\n",
                kSmall.Name().c_str(), "file", "ours ms", "OpenCV ms", "ratio", "", "OCV4 ms",
                "ratio");
    for (const Picture& p : Pictures())
        PrintRatio(p.kind + " " + p.size.Name(), times.Ms(Name("Ours", p)),
                   times.Ms(Name("OpenCv", p)), p.size.width == kSmall.width ? 1.0 : 0,
                   times.Ms(Name("OpenCvFour", p)));
    std::printf("\nDecode into a new buffer / allocating and writing the picture buffer, "
                "target <= 1.30 at %s\n%-26s %9s %9s %7s\n",
                kLarge.Name().c_str(), "file", "ours ms", "alloc ms", "ratio");
    for (const Picture& p : Pictures())
        if (p.kind == "8-bit")
            PrintRatio(p.kind + " " + p.size.Name(), times.Ms(Name("OursFresh", p)),
                       times.Ms("Allocate/" + p.size.Name()),
                       p.size.width == kLarge.width ? 1.3 : 0);
}

void PrintEncodeRatios(const RecordingReporter& times) {
    std::printf("\nEncode to an 8-bit file with nearest colours (EncodeDIB8)\n"
                "/ allocating the file and writing one byte for each pixel read, target <= 1.30 "
                "at %s;\nlast columns: ChangeBitmapFormat alone\n"
                "%-26s %9s %9s %7s  %-6s %9s %7s\n",
                kLarge.Name().c_str(), "picture", "ours ms", "floor ms", "ratio", "", "conv ms",
                "ratio");
    for (const EncodeCase& c : EncodeCases()) {
        const double floorMs = times.Ms(EncodeName("EncodeFloor", c));
        const double convertMs = times.Ms(EncodeName("Convert", c));
        PrintRatio(c.name + " " + c.size.Name(), times.Ms(EncodeName("Encode", c)), floorMs,
                   c.size.width == kLarge.width ? 1.3 : 0);
        if (convertMs > 0 && floorMs > 0)
            std::printf("%-26s %9s %9s %7s  %-6s %9.3f %7.2f\n", "", "", "", "", "", convertMs,
                        convertMs / floorMs);
    }
}

} // namespace

int main(int argc, char** argv) {
    // Freed memory up to the largest size the allocator keeps in its heap
    // stays in the process, as in the running program, rather than going back
    // to the system after one benchmark's buffers and being faulted in afresh
    // for the next: else whether it does depends on how many buffers happen
    // to be alive at once, and the kernel's clearing of fresh pages would
    // decide the figures. Buffers above that size (a 4096 x 4096 picture
    // buffer) are mapped fresh for ours and for the yardsticks alike.
    if (!std::getenv("DIB_BENCH_FRESH_MEMORY")) {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Register();
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintDecodeRatios(reporter);
    PrintEncodeRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
