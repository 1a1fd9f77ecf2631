// Test main for tests of windows: private XDG folders as in every test, and
// a QApplication on the offscreen platform, so no display is needed and no
// window appears.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

int main(int argc, char** argv) {
    std::string base = (std::filesystem::temp_directory_path() / "tintaroo-xdg-XXXXXX").string();
    if (::mkdtemp(base.data())) {
        std::filesystem::create_directories(base + "/config");
        std::filesystem::create_directories(base + "/etc");
        std::filesystem::create_directories(base + "/data");
        std::filesystem::create_directories(base + "/runtime");
        ::setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (base + "/etc").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (base + "/runtime").c_str(), 1);
        ::chmod((base + "/runtime").c_str(), 0700);
    }
    // Sound plays through SDL's dummy driver: real time, no hardware, whatever
    // the developer's own environment says.
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
    return rc;
}
