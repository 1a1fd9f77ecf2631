// Benchmarks of the pixel engine: both fills against a textbook scan-line
// fill and OpenCV's flood fill on the same pixels, ComposeLineMask against
// memcpy and memset of the same size, the dot, a long stroke and a stroke's
// undo step made and undone. After the runs it prints the ratios with their
// targets, taken from each benchmark's median iteration (wall clock), and the
// undo memory of each fill.
#include "bench_scenes.h"
#include "bench_timing.h"
#include "model/colouring/pixel_engine.h"
#include "model/colouring/region_fill.h"
#include "model/colouring/round_stroke.h"
#include "textbook_fill.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <time.h>

namespace {

using bench::RecordingReporter;
using bench::TimedLoop;

constexpr Pixel kFillColour = 0x3366CC;

struct Size {
    int width;
    int height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
const Size kSizes[] = {{640, 480}, {1920, 1080}, {4096, 4096}};

// One scene with everything the fill benchmarks need, made once per scene
// and size (the benchmark library calls each function several times).
struct PreparedScene {
    FillScene scene;
    PixelBuffer blackPicture; // the scene with the seed's region painted black
    PixelMask overlayWhite;   // of the scene, as the engine keeps it while colouring
    FillScratch scratch;      // kept between fills, as the engine keeps it
    PixelBuffer work;
    cv::Mat original;
    cv::Mat workMat;
};

// Our surface fill as the engine runs it, with its storage kept between fills.
void OurSurfaceFill(PixelBuffer& picture, PixelPoint seed, FillScratch& scratch) {
    SurfaceFill(picture, seed.x, seed.y, kFillColour, scratch);
}

// All fills must paint the same pixels, or the comparison means nothing.
void CheckSameResult(PreparedScene& p) {
    PixelBuffer ours = p.scene.picture;
    OurSurfaceFill(ours, p.scene.seed, p.scratch);
    PixelBuffer textbook = p.scene.picture;
    TextbookFill(textbook, p.scene.seed.x, p.scene.seed.y, kFillColour);
    cv::Mat theirs = p.original.clone();
    cv::floodFill(theirs, cv::Point(p.scene.seed.x, p.scene.seed.y), cv::Scalar(kFillColour),
                  nullptr, cv::Scalar(), cv::Scalar(), 4);
    if (std::memcmp(ours.Data(), theirs.data, ours.PixelCount() * sizeof(Pixel)) != 0 ||
        ours != textbook)
        std::fprintf(stderr, "WARNING: %s %dx%d: our fill, the textbook's and OpenCV's differ\n",
                     p.scene.region.c_str(), ours.Width(), ours.Height());
    PixelBuffer black = p.blackPicture;
    BlackAreaFill(black, p.overlayWhite, p.scene.seed.x, p.scene.seed.y, kFillColour);
    if (black != ours)
        std::fprintf(stderr, "WARNING: %s %dx%d: the black-area fill differs\n",
                     p.scene.region.c_str(), ours.Width(), ours.Height());
}

PreparedScene& Prepared(const std::string& region, const Size& size) {
    static std::string key;
    static std::unique_ptr<PreparedScene> cached;
    if (key != region + size.Name()) {
        cached.reset(); // one scene in memory at a time
        auto p = std::make_unique<PreparedScene>();
        p->scene = MakeFillScene(region, size.width, size.height);
        p->blackPicture = p->scene.picture;
        SurfaceFill(p->blackPicture, p->scene.seed.x, p->scene.seed.y, kSceneBlack);
        p->overlayWhite = PixelMask(p->scene.picture, kSceneWhite);
        p->work = p->scene.picture;
        p->original = cv::Mat(size.height, size.width, CV_32SC1);
        std::memcpy(p->original.data, p->scene.picture.Data(),
                    p->scene.picture.PixelCount() * sizeof(Pixel));
        p->original.copyTo(p->workMat);
        CheckSameResult(*p);
        cached = std::move(p);
        key = region + size.Name();
    }
    return *cached;
}

void SurfaceFillBench(benchmark::State& state, std::string region, Size size) {
    PreparedScene& p = Prepared(region, size);
    TimedLoop(
        state, [&] { p.work = p.scene.picture; },
        [&] { OurSurfaceFill(p.work, p.scene.seed, p.scratch); });
}

void TextbookFillBench(benchmark::State& state, std::string region, Size size) {
    PreparedScene& p = Prepared(region, size);
    TimedLoop(
        state, [&] { p.work = p.scene.picture; },
        [&] { TextbookFill(p.work, p.scene.seed.x, p.scene.seed.y, kFillColour); });
}

void BlackAreaFillBench(benchmark::State& state, std::string region, Size size) {
    PreparedScene& p = Prepared(region, size);
    TimedLoop(
        state, [&] { p.work = p.blackPicture; },
        [&] {
            BlackAreaFill(p.work, p.overlayWhite, p.scene.seed.x, p.scene.seed.y, kFillColour,
                          p.scratch);
        });
}

void OpenCvFillBench(benchmark::State& state, std::string region, Size size) {
    PreparedScene& p = Prepared(region, size);
    const cv::Point seed(p.scene.seed.x, p.scene.seed.y);
    TimedLoop(
        state, [&] { p.original.copyTo(p.workMat); },
        [&] {
            benchmark::DoNotOptimize(cv::floodFill(p.workMat, seed, cv::Scalar(kFillColour),
                                                   nullptr, cv::Scalar(), cv::Scalar(), 4));
        });
}

std::size_t PixelCount(const Size& size) {
    return static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
}

void MemcpyBench(benchmark::State& state, Size size) {
    std::vector<Pixel> from(PixelCount(size), 1);
    std::vector<Pixel> to(from.size(), 2);
    TimedLoop(state, [&] { std::memcpy(to.data(), from.data(), to.size() * sizeof(Pixel)); });
}

void MemsetBench(benchmark::State& state, Size size) {
    std::vector<Pixel> to(PixelCount(size), 2);
    int value = 0;
    TimedLoop(state, [&] { std::memset(to.data(), ++value & 0xFF, to.size() * sizeof(Pixel)); });
}

void ComposeLineMaskBench(benchmark::State& state, Size size) {
    const PixelBuffer art = MakeLineArt(size.width, size.height);
    PixelBuffer picture = art;
    SurfaceFill(picture, 1, 1, kFillColour);
    PixelEngine engine;
    engine.EnterColouring(picture, art);
    TimedLoop(state, [&] { engine.ComposeLineMask(picture); });
}

// A dot takes well under a microsecond, so each timing covers a batch of them.
void DotBench(benchmark::State& state, Size size) {
    constexpr int kDots = 100;
    PixelBuffer picture(size.width, size.height, kSceneWhite);
    const PixelPoint centre{size.width / 2, size.height / 2};
    TimedLoop(
        state,
        [&] {
            for (int i = 0; i < kDots; ++i)
                benchmark::DoNotOptimize(DrawRoundStroke(picture, centre, centre, 5, kFillColour));
        },
        kDots);
}

void LongStrokeBench(benchmark::State& state, Size size) {
    PixelBuffer picture(size.width, size.height, kSceneWhite);
    const PixelPoint corner{size.width - 1, size.height - 1};
    TimedLoop(state, [&] {
        benchmark::DoNotOptimize(DrawRoundStroke(picture, {0, 0}, corner, 5, kFillColour));
    });
}

// A step over the whole picture (a stroke from corner to corner), made and
// undone; the stroke itself is drawn untimed.
void UndoPushPopBench(benchmark::State& state, Size size) {
    PixelBuffer picture(size.width, size.height, kSceneWhite);
    PixelEngine engine;
    engine.EnterColouring(picture, picture);
    TimedLoop(
        state,
        [&] {
            engine.PaintDot(picture, 0, 0, 5, kFillColour);
            engine.PaintStrokeSegment(picture, size.width - 1, size.height - 1, 5, kFillColour);
        },
        [&] {
            engine.EndBrushOrLine(picture);
            benchmark::DoNotOptimize(engine.Undo(picture));
        });
}

void Configure(benchmark::internal::Benchmark* b, benchmark::TimeUnit unit, double minTime) {
    b->UseManualTime()->Unit(unit)->MinTime(minTime);
}

std::string FillName(const char* kind, const std::string& region, const Size& size) {
    return std::string(kind) + "/" + region + "/" + size.Name();
}

void Register() {
    for (const Size& size : kSizes) {
        const double minTime = size.width > 2000 ? 0.5 : 0.2;
        for (const std::string& region : FillSceneNames()) {
            const auto fill = [&](const char* kind,
                                  void (*fn)(benchmark::State&, std::string, Size)) {
                Configure(benchmark::RegisterBenchmark(FillName(kind, region, size).c_str(), fn,
                                                       region, size),
                          benchmark::kMillisecond, minTime);
            };
            fill("SurfaceFill", SurfaceFillBench);
            fill("TextbookFill", TextbookFillBench);
            fill("BlackAreaFill", BlackAreaFillBench);
            fill("OpenCvFloodFill", OpenCvFillBench);
        }
        const auto plain = [&](const std::string& kind, void (*fn)(benchmark::State&, Size)) {
            Configure(benchmark::RegisterBenchmark((kind + "/" + size.Name()).c_str(), fn, size),
                      benchmark::kMicrosecond, minTime);
        };
        plain("ComposeLineMask", ComposeLineMaskBench);
        plain("Memcpy", MemcpyBench);
        plain("Memset", MemsetBench);
        plain("Dot", DotBench);
        plain("LongStroke", LongStrokeBench);
        plain("UndoPushPop", UndoPushPopBench);
    }
}

// One line of a ratio table; `memsetMs`, when given, adds ours / memset.
void PrintRatio(const std::string& label, double ours, double theirs, double target,
                double memsetMs = -1.0) {
    if (ours < 0 || theirs <= 0) {
        std::printf("%-34s  (not run)\n", label.c_str());
        return;
    }
    const double ratio = ours / theirs;
    std::printf("%-34s %10.3f %10.3f %7.2f  %-6s", label.c_str(), ours, theirs, ratio,
                ratio <= target ? "ok" : "MISSED");
    if (memsetMs > 0)
        std::printf(" %8.2f", ours / memsetMs);
    std::printf("\n");
}

void PrintFillRatios(const RecordingReporter& times) {
    std::printf("\nSurface fill / textbook scan-line fill (one stack of spans, exact colour, "
                "4-connected), target <= 0.80\n%-34s %10s %10s %7s  %-6s %8s\n",
                "region", "ours ms", "textbook", "ratio", "", "/memset");
    for (const Size& size : kSizes)
        for (const std::string& region : FillSceneNames())
            PrintRatio(region + " " + size.Name(), times.Ms(FillName("SurfaceFill", region, size)),
                       times.Ms(FillName("TextbookFill", region, size)), 0.8,
                       times.Ms("Memset/" + size.Name()));
    std::printf("\nSurface fill / cv::floodFill (4-connected, exact colour, CV_32SC1), "
                "target <= 0.50\n%-34s %10s %10s %7s  %-6s %8s\n",
                "region", "ours ms", "OpenCV ms", "ratio", "", "/memset");
    for (const Size& size : kSizes)
        for (const std::string& region : FillSceneNames())
            PrintRatio(region + " " + size.Name(), times.Ms(FillName("SurfaceFill", region, size)),
                       times.Ms(FillName("OpenCvFloodFill", region, size)), 0.5,
                       times.Ms("Memset/" + size.Name()));
    std::printf("\nBlack-area fill / surface fill on the same region, target <= 1.50\n"
                "%-34s %10s %10s %7s\n",
                "region", "black ms", "surface ms", "ratio");
    for (const Size& size : kSizes)
        for (const std::string& region : FillSceneNames())
            PrintRatio(region + " " + size.Name(),
                       times.Ms(FillName("BlackAreaFill", region, size)),
                       times.Ms(FillName("SurfaceFill", region, size)), 1.5);
}

void PrintOtherRatios(const RecordingReporter& times) {
    std::printf("\nComposeLineMask / memcpy of the same size, target <= 1.60\n"
                "%-34s %10s %10s %7s  %-6s %8s\n",
                "size", "compose ms", "memcpy ms", "ratio", "", "/memset");
    for (const Size& size : kSizes) {
        const double memsetMs = times.Ms("Memset/" + size.Name());
        PrintRatio(size.Name(), times.Ms("ComposeLineMask/" + size.Name()),
                   times.Ms("Memcpy/" + size.Name()), 1.6, memsetMs);
    }
    // A stroke's step compares the snapshot with the picture over the box:
    // two reads of the box, as a memcpy of it reads one and writes one.
    std::printf("\nUndo step of a corner-to-corner stroke made and undone / memcpy of the "
                "picture, target <= 1.50\n%-12s %10s %10s %10s %10s %12s %12s\n",
                "size", "memcpy ms", "memset ms", "dot ms", "stroke ms", "undo p+p ms",
                "undo/memcpy");
    for (const Size& size : kSizes) {
        const double memcpyMs = times.Ms("Memcpy/" + size.Name());
        const double undoMs = times.Ms("UndoPushPop/" + size.Name());
        const double ratio = memcpyMs > 0 && undoMs >= 0 ? undoMs / memcpyMs : -1.0;
        std::printf("%-12s %10.3f %10.3f %10.5f %10.4f %12.3f %12.2f  %s\n", size.Name().c_str(),
                    memcpyMs, times.Ms("Memset/" + size.Name()), times.Ms("Dot/" + size.Name()),
                    times.Ms("LongStroke/" + size.Name()), undoMs, ratio,
                    ratio < 0      ? "(not run)"
                    : ratio <= 1.5 ? "ok"
                                   : "MISSED");
    }
}

// The undo step of every fill holds its changed pixels' bits and their one
// old colour: at most two bits a pixel of the changed box, where a copy of
// the box would take 32.
void PrintUndoMemory() {
    std::printf("\nUndo memory of a fill, target <= 2 bits a pixel of the changed box\n"
                "%-34s %12s %12s %12s %12s\n",
                "region", "region px", "box px", "step bytes", "box copy B");
    for (const Size& size : kSizes)
        for (const std::string& region : FillSceneNames()) {
            FillScene scene = MakeFillScene(region, size.width, size.height);
            const PixelBuffer before = scene.picture;
            PixelEngine engine;
            engine.EnterColouring(scene.picture, before);
            engine.Fill(scene.picture, scene.seed.x, scene.seed.y, kFillColour);
            std::size_t changed = 0;
            PixelRect box;
            for (int y = 0; y < size.height; ++y)
                for (int x = 0; x < size.width; ++x)
                    if (scene.picture.At(x, y) != before.At(x, y)) {
                        ++changed;
                        box = UnionRect(box, {x, y, x + 1, y + 1});
                    }
            if (engine.UndoPixelCount() != changed)
                std::fprintf(stderr, "WARNING: %s: the step does not hold the changed pixels\n",
                             region.c_str());
            const auto boxPixels = static_cast<std::size_t>(box.Width()) * box.Height();
            std::printf("%-34s %12zu %12zu %12zu %12zu  %s\n", (region + " " + size.Name()).c_str(),
                        changed, boxPixels, engine.UndoBytes(), boxPixels * sizeof(Pixel),
                        engine.UndoBytes() <= boxPixels / 4 + 64 ? "ok" : "MISSED");
        }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Register();
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintFillRatios(reporter);
    PrintOtherRatios(reporter);
    PrintUndoMemory();
    benchmark::Shutdown();
    return 0;
}
