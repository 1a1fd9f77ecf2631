#include "platform/app_settings.h"

#include "platform/mci_extensions.h"
#include "platform/text_util.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(AppSettingsTest, UserFileWinsOverSystemFileAndEscapesDecode) {
    TempDir dir;
    auto user = dir.Write("user/Quorvex/Tintaroo!.conf", "[Drives]\nD=/media/cdrom\n"
                                                         "[mci%20extensions]\nAVI=avivideo\n");
    auto system = dir.Write("etc/Quorvex/Tintaroo!.conf",
                            "[Drives]\nD=/mnt/other\ne=/mnt/e\n[mci extensions]\nAVI=x\nFLA=y\n");
    AppSettings s = LoadAppSettings({user, system});
    EXPECT_EQ(s.drives.at('D'), "/media/cdrom");
    EXPECT_EQ(s.drives.at('E'), "/mnt/e");
    EXPECT_EQ(s.mciExtensions.at("AVI"), "avivideo");
    EXPECT_EQ(s.mciExtensions.at("FLA"), "y");
}

TEST(AppSettingsTest, FilesFollowTheXdgFolders) {
    ::setenv("XDG_CONFIG_HOME", "/tmp/home-cfg", 1);
    ::setenv("XDG_CONFIG_DIRS", "/tmp/a::/tmp/b", 1);
    auto files = AppSettingsFiles();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], "/tmp/home-cfg/Quorvex/Tintaroo!.conf");
    EXPECT_EQ(files[2], "/tmp/b/Quorvex/Tintaroo!.conf");
}

TEST(AppSettingsTest, PercentDecoding) {
    EXPECT_EQ(DecodePercent("mci%20extensions"), "mci extensions");
    EXPECT_EQ(DecodePercent("100%"), "100%");
    EXPECT_EQ(DecodePercent("%zz%4"), "%zz%4");
}

TEST(MciExtensionsTest, BuiltInTableOverridesAndCase) {
    MciExtensions mci;
    EXPECT_EQ(mci.DeviceType("WAV"), "waveaudio");
    EXPECT_EQ(mci.DeviceType("mid"), "sequencer");
    EXPECT_EQ(mci.DeviceType("Rmi"), "sequencer");
    EXPECT_EQ(mci.DeviceType("avi"), "");
    mci.Set("AVI", "avivideo");
    mci.Set("mid", "");
    EXPECT_EQ(mci.DeviceType("avi"), "avivideo");
    EXPECT_EQ(mci.DeviceType("MID"), "");
    mci.Set("xyz", std::string(60, 'd'));
    EXPECT_EQ(mci.DeviceType("xyz").size(), 39u);
    EXPECT_EQ(MciExtensions::ExtensionOf("SONG.MID"), "MID");
    EXPECT_EQ(MciExtensions::ExtensionOf("AU"), "AU");
}

TEST(TextUtilTest, CIntegerLiteralsWithAutomaticBase) {
    EXPECT_EQ(ParseCInteger("0xFF0000"), 0xFF0000);
    EXPECT_EQ(ParseCInteger("010"), 8);
    EXPECT_EQ(ParseCInteger("255"), 255);
    EXPECT_EQ(ParseCInteger("abc"), 0);
    EXPECT_EQ(ParseCInteger(""), 0);
    EXPECT_EQ(ParseCInteger("  -0x10zz"), -16);
    EXPECT_EQ(ParseCInteger("0x"), 0);
    EXPECT_EQ(ParseCInteger("09"), 0);
    EXPECT_EQ(ParseCInteger("4294967295"), INT_MAX);
    EXPECT_EQ(ParseCInteger("-0xFFFFFFFFFFFFFFFFFFFF"), INT_MIN);
}

} // namespace
