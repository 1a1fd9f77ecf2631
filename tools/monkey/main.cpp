// tintaroo_monkey: runs the real program on a private copy of the sample
// book, plays with it for a number of random actions (see monkey.h), then
// checks that it still answers and that it changed no file it should not.
// Exits 0 when every check held, 1 when one failed, 64 on a usage error; a
// crash or a sanitizer report ends it with the action log on disk.
#include "monkey.h"
#include "sandbox.h"

#include "app/volume_app.h"

#include <QApplication>
#include <QPrinterInfo>
#include <QSettings>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage: tintaroo_monkey [--seed S|date] [--actions N] [--log FILE] [--data DIR] [--keep]\n"
    "\n"
    "Plays with Tintaroo! on a private copy of the sample book for N random\n"
    "actions (default 1000): keys of both key tables, clicks, double clicks,\n"
    "drags on the page, every bar button, the page list, slide shows, dropped\n"
    "volumes and whatever dialog comes up. Then closes everything, checks that\n"
    "the program answers and that Home and Page Down turn its pages, ends it\n"
    "with Goodbye and checks the files (only coloured copies and the volumes'\n"
    "page and background keys may change; every copy is an 8-bit bitmap).\n"
    "\n"
    "  --seed S     the generator's seed (a number, or \"date\" for today's\n"
    "               YYYYMMDD); random when not given. Always printed.\n"
    "  --log FILE   one line per action (default tintaroo-monkey-SEED.log)\n"
    "  --data DIR   the checkout's data folder (default: this checkout's)\n"
    "  --keep       keep the temporary folder even when every check held\n";

// The program stops answering: no turn of the monkey for this long.
constexpr int kHangSeconds = 180;

struct Options {
    std::uint64_t seed = 0;
    int actions = 1000;
    std::string log;
    fs::path data = TINTAROO_DATA_DIR;
    bool keep = false;
};

std::uint64_t TodaysSeed() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::uint64_t>((local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 +
                                      local.tm_mday);
}

// False on a usage error.
bool ParseOptions(int argc, char** argv, Options& o) {
    o.seed = std::random_device{}();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seed" && hasValue) {
            const std::string v = argv[++i];
            o.seed = v == "date" ? TodaysSeed() : std::strtoull(v.c_str(), nullptr, 10);
        } else if (arg == "--actions" && hasValue) {
            o.actions = std::atoi(argv[++i]);
        } else if (arg == "--log" && hasValue) {
            o.log = argv[++i];
        } else if (arg == "--data" && hasValue) {
            o.data = argv[++i];
        } else if (arg == "--keep") {
            o.keep = true;
        } else {
            return false;
        }
    }
    if (o.log.empty())
        o.log = "tintaroo-monkey-" + std::to_string(o.seed) + ".log";
    o.log = fs::absolute(o.log).string();
    return o.actions >= 0;
}

// Points every folder the program and Qt write to into the sandbox, and
// keeps sound and printing away from the machine's devices.
void SetEnvironment(const Sandbox& box) {
    ::setenv("HOME", box.Home().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", box.ConfigHome().c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", box.ConfigDirs().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", box.RuntimeDir().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (box.Home() / ".local" / "share").c_str(), 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    // A print server that is not there: no printer is found, so printing
    // always goes through the print dialog, which offers a PDF file.
    ::setenv("CUPS_SERVER", (box.RuntimeDir() / "no-print-server").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::unsetenv("QT_QPA_PLATFORMTHEME");
    if (::chdir(box.Home().c_str()) != 0)
        throw std::runtime_error("cannot enter " + box.Home().string());
}

// Aborts the process when the program stops answering.
class Watchdog {
public:
    explicit Watchdog(const std::atomic<std::uint64_t>& heartbeat, std::string log)
        : m_thread([this, &heartbeat, log] { Watch(heartbeat, log); }) {}
    ~Watchdog() {
        m_stop = true;
        m_thread.join();
    }

private:
    void Watch(const std::atomic<std::uint64_t>& heartbeat, const std::string& log) {
        std::uint64_t last = heartbeat;
        int still = 0;
        while (!m_stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const std::uint64_t now = heartbeat;
            still = now == last ? still + 1 : 0;
            last = now;
            if (still >= kHangSeconds * 5) {
                std::fprintf(stderr,
                             "monkey: the program has not answered for %d s; the last "
                             "action is at the end of %s\n",
                             kHangSeconds, log.c_str());
                std::abort();
            }
        }
    }

    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// Qt's messages go to the action log, beside the action that caused them;
// the offscreen platform's notes about what it cannot do are dropped.
std::ofstream* g_log = nullptr;
std::mutex g_logMutex;

void LogQtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (text.startsWith("This plugin does not support"))
        return;
    const std::string line = "qt: " + text.toStdString();
    // The log is the main thread's; other threads' messages go to the terminal.
    const bool mainThread = qApp && QThread::currentThread() == qApp->thread();
    if (type == QtCriticalMsg || type == QtFatalMsg || !mainThread)
        std::fprintf(stderr, "monkey: %s\n", line.c_str());
    if (!mainThread)
        return;
    std::lock_guard lock(g_logMutex);
    if (g_log)
        *g_log << line << std::endl;
}

MonkeyFiles FilesOf(const Sandbox& box) {
    auto q = [](const fs::path& p) { return QString::fromStdString(p.string()); };
    return {q(box.SampleVolume()), q(box.InstructionsVolume()), q(box.DiscVolume()),
            q(box.NotAVolume()), q(box.MissingVolume())};
}

// Runs the program until the monkey is over, starting it again after a Goodbye.
int RunProgram(Monkey& monkey, QSettings& settings, const Sandbox& box) {
    int starts = 0;
    for (bool again = true; again; ++starts) {
        auto app = std::make_unique<CVolumeApp>(settings, box.SampleVolume().string());
        monkey.Attach(app.get());
        if (!app->InitInstance())
            throw std::runtime_error("the program did not start");
        app->Run();
        monkey.Attach(nullptr);
        again = monkey.ProgramEnded();
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return starts;
}

void PrintSummary(const Monkey& monkey, int starts, double seconds) {
    std::printf("monkey: %d actions in %.1f s, the program started %d times\n",
                monkey.ActionsDone(), seconds, starts);
    for (const auto& [kind, count] : monkey.Counts())
        std::printf("  %-28s %6d\n", kind.c_str(), count);
}

int Run(const Options& o) {
    Sandbox box(o.data);
    if (o.keep)
        box.Keep();
    SetEnvironment(box);
    std::ofstream log(o.log, std::ios::trunc);
    g_log = &log;
    qInstallMessageHandler(LogQtMessage);
    int argc = 1;
    char name[] = "tintaroo_monkey";
    char* argv[] = {name, nullptr};
    QApplication qapp(argc, argv);
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        std::fprintf(stderr, "monkey: a printer is reachable; refusing to run\n");
        return 1;
    }
    QSettings settings("Quorvex", "Tintaroo!");
    settings.setValue("Tintaroo!/SoundsPath",
                      QString::fromStdString(box.SoundsFolder().string() + "/"));
    settings.setValue("Tintaroo!/ColoringInstructions",
                      QString::fromStdString(box.InstructionsVolume().string()));
    settings.sync();
    box.TakeSnapshot();

    std::printf("monkey: seed %llu, %d actions, log %s, folder %s\n",
                static_cast<unsigned long long>(o.seed), o.actions, o.log.c_str(),
                box.Root().c_str());
    std::fflush(stdout);
    Monkey monkey(o.seed, o.actions, FilesOf(box), log);
    const auto start = std::chrono::steady_clock::now();
    int starts = 0;
    {
        Watchdog watchdog(monkey.Heartbeat(), o.log);
        monkey.Start();
        starts = RunProgram(monkey, settings, box);
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    {
        std::lock_guard lock(g_logMutex);
        g_log = nullptr;
    }
    PrintSummary(monkey, starts, took.count());

    std::vector<std::string> failures = monkey.Failures();
    for (std::string& f : box.Check())
        failures.push_back(std::move(f));
    if (failures.empty()) {
        std::printf("monkey: every check held (seed %llu)\n",
                    static_cast<unsigned long long>(o.seed));
        return 0;
    }
    box.Keep();
    for (const std::string& f : failures)
        std::fprintf(stderr, "monkey: FAILED: %s\n", f.c_str());
    std::fprintf(stderr, "monkey: replay with --seed %llu --actions %d; log %s; files kept in %s\n",
                 static_cast<unsigned long long>(o.seed), o.actions, o.log.c_str(),
                 box.Root().c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    try {
        return Run(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "monkey: %s\n", e.what());
        return 1;
    }
}
