// Entry point of tintaroo, the colouring book.
#include "app/volume_app.h"

#include <QApplication>
#include <QSettings>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Usage: tintaroo [VOLUME]\n"
    "\n"
    "Tintaroo! is a colouring book for young children. Given a volume\n"
    "file (.vol; \".VOL\" is added to a name without a \".\"), it opens\n"
    "the book once the start-up picture has gone and runs its slide\n"
    "show. Volume files can also be dropped on the window.\n"
    "\n"
    "  --help      show this help\n"
    "  --version   show the version\n";

// True when the only argument is `flag`.
bool SoleArgument(const QStringList& args, const char* flag) {
    return args.size() == 1 && args[0] == QLatin1String(flag);
}

int Answer(const QStringList& args) {
    if (SoleArgument(args, "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (SoleArgument(args, "--version")) {
        std::printf("tintaroo %s\n", TINTAROO_VERSION);
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    // --help and --version need no display.
    if (argc == 2) {
        if (int rc = Answer({QString::fromLocal8Bit(argv[1])}); rc >= 0)
            return rc;
    }
    QApplication qapp(argc, argv);
    QStringList args = QApplication::arguments();
    args.removeFirst(); // the program; the toolkit has taken its own options out
    if (int rc = Answer(args); rc >= 0)
        return rc;
    QSettings settings("Quorvex", "Tintaroo!");
    CVolumeApp app(settings, args.join(' ').toStdString());
    if (!app.InitInstance())
        return 1;
    return app.Run();
}
