// Benchmarks of the colouring canvas driven as a user drives it: the real
// CMyImageView shown on Qt's offscreen platform (it has a backing store
// there, so every repaint really draws), with mouse events sent to its canvas
// and each timed to the end of the repaint it causes.
//
//  - A fill on 1920 x 1080 line art, press and release to the end of the
//    repaint, against PixelEngine::Fill alone on a copy of the same picture;
//    each repetition is undone, so every one fills the same region.
//  - One move of the large brush at 1920 x 1080 with its repaint, against an
//    absolute target (the engine's stroke segment alone is shown beside it).
//  - Entering colouring mode on a 4096 x 4096 page (an 8-bit file in a
//    temporary folder, the volume's OrgPath, as its own original) against
//    decoding that file (LoadDIB and DIBToBitmap).
//  - The peak resident memory of a whole colouring session on a 4096 x 4096
//    page (enter, 50 fills of large areas, 50 brush strokes, 5 undos, Done),
//    run in a fresh process of this program so the peak is the session's own.
//
// Times are wall-clock medians of many repetitions, the two sides of a ratio
// alternating within one run so that the load of a shared machine falls on
// both. The pump is the program's own (QApplication::processEvents), so a
// press paints its result before its splash, as in the program; the effect
// sounds are only recorded.
#include "bench_scenes.h"
#include "bench_stats.h"
#include "colouring/my_image_view.h"
#include "colouring/paint_wnd.h"
#include "model/colouring/pixel_engine.h"
#include "model/controls/color_table.h"
#include "model/display/dib.h"
#include "model/mainframe/running_state.h"
#include "model/message_pump.h"
#include "model/volume/picture_files.h"
#include "model/volume/vol_doc.h"
#include "paint_counter.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "support/recording_effects.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using bench::Clock;
using bench::MedianOf;
using bench::MsSince;
using bench::PaintCounter;
using bench::Quantile;

constexpr int kPaintColour = 9; // index into the colour table
constexpr int kLargeBrush = 2;

// The program's pump: whatever waits runs now, paint events included.
class ProcessEventsPump : public IMessagePump {
public:
    void PumpPendingMessages() override { QApplication::processEvents(); }
};

// One page shown in the real view, with everything the view borrows.
class CanvasSession {
public:
    // Writes the line art of width x height as the 8-bit page of a one-page
    // volume (the page is its own original), opens it and shows the view at
    // viewSize.
    CanvasSession(int width, int height, QSize viewSize)
        : m_devices(0, 0), m_doc(m_paths, m_mci, m_devices, m_dialogs, state),
          m_view(m_doc, m_paths, m_dialogs, state, m_pump, m_effects) {
        pageFile = m_dir / "PAGE.BMP";
        LogPalette blackWhite;
        blackWhite.entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        DibHandle dib = ChangeBitmapFormat(MakeLineArt(width, height), 8, kDibRgb, blackWhite);
        if (!dib || SaveDIB(*dib, pageFile) != DibSaveResult::Saved)
            std::fprintf(stderr, "WARNING: cannot write %s\n", pageFile.c_str());
        std::filesystem::create_directory(m_dir / "COPIES");
        const auto volume =
            m_dir.Write("BOOK.VOL", "[Volume]\nTitle=Bench\nOrgPath=" + m_dir.Path().string() +
                                        "\nCopyDir=" + (m_dir / "COPIES").string() +
                                        "\nNumPages=1\n[Picture Files]\n"
                                        "Page1=PAGE.BMP\n");
        m_view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view.resize(viewSize);
        m_view.show();
        QApplication::processEvents();
        if (!m_doc.OnOpenDocument(volume.string()))
            std::fprintf(stderr, "WARNING: cannot open %s\n", volume.c_str());
        m_view.OnInitialUpdate(); // page 1
        QApplication::processEvents();
        Canvas().installEventFilter(&paints);
        state.m_nColor = kPaintColour;
    }

    CMyImageView& View() { return m_view; }
    CVolDoc& Doc() { return m_doc; }
    IDialogs& Dialogs() { return m_dialogs; }
    CPaintWnd& Canvas() { return *m_view.GetPaintWnd(); }
    const PixelBuffer& Picture() { return m_view.Picture().Buffer(); }

    bool EnterColouring() {
        state.m_nMode = Mode::Colouring;
        return m_view.SetColoringMode(Mode::Colouring) == 1;
    }
    void LeaveColouring() {
        state.m_nMode = Mode::Viewer;
        m_view.SetColoringMode(Mode::Viewer);
    }

    // A mouse event on the canvas at a picture pixel, as the toolkit delivers it.
    void Mouse(QEvent::Type type, PixelPoint at) {
        const QPointF local(at.x + 1, at.y + 1); // inside the one-pixel border
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, Canvas().mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(&Canvas(), &event);
    }

    // Dispatches events until the canvas has had a paint event since `before`
    // counted (at once when one already ran); false after a second without.
    bool WaitForPaint(int before) {
        const auto start = Clock::now();
        while (paints.count == before) {
            QApplication::processEvents();
            if (MsSince(start) > 1000)
                return false;
        }
        return true;
    }
    // Runs whatever repaint is pending, so a timing starts with none.
    void Settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    // The colour the window's backing store shows at a picture pixel.
    Pixel Shown(PixelPoint at) {
        const QPoint inWindow = Canvas().mapTo(m_view.window(), QPoint(at.x + 1, at.y + 1));
        const QPixmap shot =
            m_view.screen()->grabWindow(m_view.window()->winId(), inWindow.x(), inWindow.y(), 1, 1);
        return shot.isNull() ? 0xFF000000 : shot.toImage().pixel(0, 0) & kRgbMask;
    }
    // True when the whole canvas lies inside the view's visible area.
    bool CanvasFullyVisible() { return Canvas().visibleRegion().boundingRect() == Canvas().rect(); }

    RunningState state;
    PaintCounter paints;
    std::filesystem::path pageFile;

private:
    TempDir m_dir;
    HostPaths m_paths;
    MciExtensions m_mci;
    FixedAudioDevices m_devices;
    ScriptedDialogs m_dialogs;
    ProcessEventsPump m_pump;
    RecordingEffects m_effects;
    CVolDoc m_doc;
    CMyImageView m_view;
};

// Runs `a` and `b` alternately, `reps` times each after `warmups` untimed
// rounds; each returns its own time in ms (its restoring left untimed).
struct PairTimes {
    double a = -1.0;
    double b = -1.0;
};
PairTimes Alternate(int warmups, int reps, const std::function<double()>& a,
                    const std::function<double()>& b) {
    for (int i = 0; i < warmups; ++i) {
        a();
        b();
    }
    std::vector<double> ta, tb;
    for (int i = 0; i < reps; ++i) {
        ta.push_back(a());
        tb.push_back(b());
    }
    return {MedianOf(ta), MedianOf(tb)};
}

// One line of a table; the target bounds the ratio, or with `targetIsOurs`
// our own figure. `extra`, when given, is printed after the verdict.
void PrintRow(const std::string& label, double ours, double theirs, double target,
              bool targetIsOurs = false, double extra = -1.0) {
    if (ours < 0 || theirs <= 0) {
        std::printf("%-30s  (not run)\n", label.c_str());
        return;
    }
    const double ratio = ours / theirs;
    const bool ok = targetIsOurs ? ours <= target : ratio <= target;
    const char* verdict = ok ? "ok" : "MISSED";
    std::printf("%-30s %10.3f %10.3f %8.2f  ", label.c_str(), ours, theirs, ratio);
    if (extra >= 0)
        std::printf("%-6s %10.3f\n", verdict, extra);
    else
        std::printf("%s\n", verdict);
}

// ---- 1. fill from click to repaint ---------------------------------------------

void FillBench(CanvasSession& s, const char* region, PixelPoint seed) {
    const Pixel paint = ColorTablePixel(kPaintColour);
    // The engine alone, on a copy of the same page with the same line art.
    PixelBuffer copy = s.Picture();
    PixelEngine engine;
    engine.EnterColouring(copy, s.Picture());

    s.state.m_nTool = Tool::Fill;
    // Both must paint the same pixels, or the comparison means nothing: the
    // first fill of each is compared.
    PixelBuffer filledByView;
    bool compared = false;
    if (s.Shown(seed) != kSceneWhite)
        std::fprintf(stderr, "WARNING: fill %s: the seed is not white on screen\n", region);
    const auto viewFill = [&] {
        s.Settle();
        const int before = s.paints.count;
        const auto start = Clock::now();
        s.Mouse(QEvent::MouseButtonPress, seed);
        s.Mouse(QEvent::MouseButtonRelease, seed);
        const bool painted = s.WaitForPaint(before);
        const double ms = MsSince(start);
        if (!painted || s.Picture().At(seed.x, seed.y) != paint || s.Shown(seed) != paint)
            std::fprintf(stderr, "WARNING: fill %s: no fill shown\n", region);
        if (!compared)
            filledByView = s.Picture();
        const int undone = s.paints.count;
        s.View().Undo();
        s.WaitForPaint(undone);
        return ms;
    };
    const auto engineFill = [&] {
        const auto start = Clock::now();
        const FillResult result = engine.Fill(copy, seed.x, seed.y, paint);
        const double ms = MsSince(start);
        if (result.status != FillStatus::Filled)
            std::fprintf(stderr, "WARNING: fill %s: the engine did not fill\n", region);
        if (!compared && copy != filledByView)
            std::fprintf(stderr, "WARNING: fill %s: the view and the engine differ\n", region);
        compared = true;
        engine.Undo(copy);
        return ms;
    };
    const PairTimes t = Alternate(3, 41, viewFill, engineFill);
    PrintRow(std::string(region) + " 1920x1080", t.a, t.b, 2.0);
}

// ---- 2. brush moves ---------------------------------------------------------------

// A spiral around the picture's centre in steps of about `step` pixels.
std::vector<PixelPoint> BrushPath(int width, int height, int moves, double step) {
    std::vector<PixelPoint> path;
    double angle = 0;
    for (int i = 0; i < moves; ++i) {
        const double radius = 60 + 0.25 * i;
        path.push_back({static_cast<int>(std::lround(width / 2.0 + radius * std::cos(angle))),
                        static_cast<int>(std::lround(height / 2.0 + radius * std::sin(angle)))});
        angle += step / radius;
    }
    return path;
}

void BrushBench(CanvasSession& s) {
    constexpr int kStrokes = 5;
    const std::vector<PixelPoint> path =
        BrushPath(s.Picture().Width(), s.Picture().Height(), 600, 6.0);
    const Pixel paint = ColorTablePixel(kPaintColour);
    s.state.m_nTool = Tool::Brush;
    s.state.m_nBrushSize = kLargeBrush;
    const int radius = PixelEngine::BrushRadius(kLargeBrush);

    std::vector<double> moves, segments;
    PixelBuffer copy = s.Picture();
    PixelEngine engine;
    engine.EnterColouring(copy, s.Picture());
    for (int stroke = 0; stroke < kStrokes; ++stroke) {
        s.Settle();
        int before = s.paints.count;
        s.Mouse(QEvent::MouseButtonPress, path.front());
        s.WaitForPaint(before);
        for (std::size_t i = 1; i < path.size(); ++i) {
            before = s.paints.count;
            const auto start = Clock::now();
            s.Mouse(QEvent::MouseMove, path[i]);
            const bool painted = s.WaitForPaint(before);
            moves.push_back(MsSince(start));
            if (!painted)
                std::fprintf(stderr, "WARNING: brush move %zu: no repaint\n", i);
        }
        if (s.Shown(path.back()) != paint)
            std::fprintf(stderr, "WARNING: brush: the stroke is not shown\n");
        s.Mouse(QEvent::MouseButtonRelease, path.back());
        before = s.paints.count;
        s.View().Undo();
        s.WaitForPaint(before);

        engine.PaintDot(copy, path.front().x, path.front().y, radius, paint);
        for (std::size_t i = 1; i < path.size(); ++i) {
            const auto start = Clock::now();
            engine.PaintStrokeSegment(copy, path[i].x, path[i].y, radius, paint);
            segments.push_back(MsSince(start));
        }
        engine.EndBrushOrLine(copy);
        engine.Undo(copy);
    }
    for (std::vector<double>* times : {&moves, &segments})
        for (double& t : *times)
            t *= 1e3; // to microseconds
    PrintRow("large brush 1920x1080", MedianOf(moves), MedianOf(segments), 500, true,
             Quantile(moves, 0.9));
}

// ---- 3. entering colouring mode -----------------------------------------------

void EnterBench(CanvasSession& s) {
    const auto enter = [&] {
        const auto start = Clock::now();
        const bool entered = s.EnterColouring();
        const double ms = MsSince(start);
        if (!entered)
            std::fprintf(stderr, "WARNING: colouring did not start\n");
        s.LeaveColouring();
        return ms;
    };
    const auto decode = [&] {
        const auto start = Clock::now();
        DibHandle dib = LoadDIB(s.pageFile);
        const PixelBuffer pixels = dib ? DIBToBitmap(*dib) : PixelBuffer();
        const double ms = MsSince(start);
        if (pixels.IsEmpty())
            std::fprintf(stderr, "WARNING: the page does not decode\n");
        return ms;
    };
    const PairTimes t = Alternate(2, 15, enter, decode);
    PrintRow("8-bit page 4096x4096", t.a, t.b, 3.0);
}

// ---- 4. peak memory of a session ------------------------------------------------

// A figure of this process from /proc/self/status in MiB ("VmHWM": the peak
// resident size so far), or -1 when it cannot be read.
double StatusMiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::strtod(line.c_str() + prefix.size(), nullptr) / 1024.0; // kB
    return -1.0;
}

// What Done asks of the main window, answered by the view as the main window does.
class SessionOwner : public IPictureOwner {
public:
    explicit SessionOwner(CanvasSession& s) : m_s(s) {}
    void PlayEffect(std::string_view) override {}
    int SavePicture(const std::string& storedPath) override {
        return m_s.View().SavePicture(storedPath);
    }
    void SetViewerMode() override { m_s.LeaveColouring(); }
    void LoadPage(int page) override { m_s.View().LoadPage(page); }
    void LoadPicture(const std::string& storedPath) override { m_s.View().LoadPicture(storedPath); }

private:
    CanvasSession& m_s;
};

// The session itself, run in the child process: prints its peak with the target.
int SessionMemory() {
    constexpr int kSize = 4096;
    constexpr double kTargetMiB = 350;
    CanvasSession s(kSize, kSize, QSize(1280, 800));
    const double openedMiB = StatusMiB("VmHWM");
    if (!s.EnterColouring())
        std::fprintf(stderr, "WARNING: colouring did not start at 4096x4096\n");
    // Fills of the two large areas in turn, in a new colour each time.
    s.state.m_nTool = Tool::Fill;
    const PixelPoint seeds[] = {{1, 1}, {kSize / 2, kSize / 2}};
    for (int i = 0; i < 50; ++i) {
        s.state.m_nColor = 1 + i % 28;
        const PixelPoint seed = seeds[i % 2];
        const Pixel before = s.Picture().At(seed.x, seed.y);
        s.Mouse(QEvent::MouseButtonPress, seed);
        s.Mouse(QEvent::MouseButtonRelease, seed);
        if (s.Picture().At(seed.x, seed.y) == before)
            std::fprintf(stderr, "WARNING: session fill %d changed nothing\n", i);
    }
    // Strokes of the large brush, spirals about points spread over the page.
    s.state.m_nTool = Tool::Brush;
    s.state.m_nBrushSize = kLargeBrush;
    const std::vector<PixelPoint> spiral = BrushPath(400, 400, 100, 6.0);
    for (int i = 0; i < 50; ++i) {
        const int dx = (i % 8) * 480;
        const int dy = (i / 8) * 560;
        s.Mouse(QEvent::MouseButtonPress, {spiral.front().x + dx, spiral.front().y + dy});
        for (const PixelPoint& p : spiral)
            s.Mouse(QEvent::MouseMove, {p.x + dx, p.y + dy});
        s.Mouse(QEvent::MouseButtonRelease, {spiral.back().x + dx, spiral.back().y + dy});
    }
    QApplication::processEvents();
    for (int i = 0; i < 5; ++i)
        s.View().Undo();
    SessionOwner owner(s);
    if (KeepColouredPicture(s.Doc(), 1, owner, s.Dialogs(), nullptr) != KeepResult::Kept)
        std::fprintf(stderr, "WARNING: Done did not keep the coloured page\n");
    QApplication::processEvents();
    const double peakMiB = StatusMiB("VmHWM");
    std::printf("%-30s %10.1f %10.1f %8.0f  %s\n", "session 4096x4096", peakMiB, openedMiB,
                kTargetMiB, peakMiB >= 0 && peakMiB <= kTargetMiB ? "ok" : "MISSED");
    return 0;
}

// Runs this program again with `flag` and waits for it; its output joins ours.
void RunChild(const char* flag) {
    std::fflush(stdout);
    char self[] = "/proc/self/exe";
    std::string arg = flag;
    char* argv[] = {self, arg.data(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "WARNING: the session process failed\n");
}

} // namespace

int main(int argc, char** argv) {
    constexpr const char* kSessionFlag = "--session-memory";
    const bool session = argc > 1 && std::strcmp(argv[1], kSessionFlag) == 0;
    // Qt wants a private runtime folder; one of our own keeps the output clean.
    const TempDir runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!session) {
        std::printf("Peak resident memory (VmHWM) of a colouring session in a fresh process: "
                    "enter, 50 fills, 50 strokes, 5 undos, Done; target <= 350 MiB\n"
                    "%-30s %10s %10s %8s\n",
                    "session", "peak MiB", "opened MiB", "target");
        RunChild(kSessionFlag);
    }
    QApplication app(argc, argv);
    if (session)
        return SessionMemory();
    std::printf("Colouring canvas in the real view on the offscreen platform; wall-clock "
                "medians.\nPump: QApplication::processEvents (the program's); effect sounds "
                "recorded, not played.\n");
    {
        // The whole picture in view, so a fill repaints all it changed.
        CanvasSession s(1920, 1080, QSize(1920 + 16, 1080 + 16));
        if (!s.CanvasFullyVisible())
            std::fprintf(stderr, "WARNING: the 1920x1080 canvas is not wholly visible\n");
        if (!s.EnterColouring())
            std::fprintf(stderr, "WARNING: colouring did not start at 1920x1080\n");
        std::printf("\nFill from press to the end of its repaint / PixelEngine::Fill on a copy, "
                    "target <= 2.00\n%-30s %10s %10s %8s\n",
                    "region", "view ms", "engine ms", "ratio");
        FillBench(s, "lineart-inner", {1920 / 2, 1080 / 2});
        FillBench(s, "lineart-background", {1, 1});
        std::printf("\nBrush move with its repaint, target <= 500 us per move; yardstick: the "
                    "engine's stroke segment\n%-30s %10s %10s %8s  %-6s %10s\n",
                    "brush", "move us", "segment us", "ratio", "", "move p90");
        BrushBench(s);
    }
    {
        // A view of a common screen's size: the page scrolls in it.
        CanvasSession s(4096, 4096, QSize(1280, 800));
        std::printf("\nEntering colouring mode / decoding the page (LoadDIB, DIBToBitmap), "
                    "target <= 3.00\n%-30s %10s %10s %8s\n",
                    "page", "enter ms", "decode ms", "ratio");
        EnterBench(s);
    }
    return 0;
}
