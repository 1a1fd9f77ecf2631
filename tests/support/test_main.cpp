// Test main shared by every test program. Before any test runs it points
// XDG_CONFIG_HOME, XDG_CONFIG_DIRS and XDG_DATA_HOME at a fresh private folder,
// so no test can read or change the real settings or data of the user running it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    std::string base = (std::filesystem::temp_directory_path() / "tintaroo-xdg-XXXXXX").string();
    if (::mkdtemp(base.data())) {
        std::filesystem::create_directories(base + "/config");
        std::filesystem::create_directories(base + "/etc");
        std::filesystem::create_directories(base + "/data");
        ::setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (base + "/etc").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    }
    // Sound plays through SDL's dummy driver: real time, no hardware, whatever
    // the developer's own environment says.
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(base, ec);
    return rc;
}
