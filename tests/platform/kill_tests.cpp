// A key write into a volume killed with SIGKILL at every step of the write,
// part way through its bytes and at moments spread over the whole save: the
// volume is always byte for byte its old or its new self.
//
// A kill between creating the temporary file and renaming it leaves that
// temporary beside the volume; the next write of the volume removes it, but
// never the temporary of a writer still at work.
#include "platform/kill_harness.h"
#include "platform/profile_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace fs = std::filesystem;
using namespace kill_harness;

namespace {

// A volume of about 200 KB, so that writing it takes a moment.
std::string OldVolume() {
    std::string text = "[Book]\nTitle=Colours\n[Pages]\n";
    char line[64];
    for (int i = 0; i < 4000; ++i) {
        std::snprintf(line, sizeof line, "Page%04d=PAGE%04d.BMP,outline,%08d\n", i, i, i * 7);
        text += line;
    }
    return text;
}

struct Volume {
    TempDir dir;
    fs::path file = dir.Write("BOOK.VOL", OldVolume());
    std::string oldBytes = OldVolume();
    std::string newBytes = *ProfileText(oldBytes).WithValue("Pages", "Page2000", "CHANGED.BMP");

    void WriteKey() const { WritePrivateProfileString("Pages", "Page2000", "CHANGED.BMP", file); }
};

TEST(KilledVolumeWrite, AtEachStepLeavesTheOldOrTheNewVolume) {
    for (const KillPoint& p : KillPoints()) {
        Volume v;
        // WritePrivateProfileString writes exactly these bytes through
        // WriteFileAtomically; only the latter takes the hook that stops it.
        ASSERT_TRUE(KillWhenStopped([&] {
            WriteFileAtomically(v.file, v.newBytes, StopBefore(p.stopBefore));
        })) << p.what;
        const Remains r = RemainsOf(v.file);
        EXPECT_EQ(r.content == v.newBytes, p.newContent) << p.what;
        EXPECT_TRUE(r.content == v.oldBytes || r.content == v.newBytes) << p.what;
        EXPECT_EQ(r.temporaries.size(), p.leavesTemporary ? 1u : 0u) << p.what;
        // The next write goes through and takes the stale temporary away.
        EXPECT_TRUE(WritePrivateProfileString("Pages", "Page2001", "NEXT.BMP", v.file)) << p.what;
        EXPECT_EQ(GetPrivateProfileString("Pages", "Page2001", "", 64, v.file), "NEXT.BMP");
        EXPECT_TRUE(RemainsOf(v.file).temporaries.empty()) << p.what;
    }
}

TEST(KilledVolumeWrite, PartWayThroughItsBytesLeavesTheOldVolume) {
    Volume v;
    const std::size_t half = v.newBytes.size() / 2;
    ASSERT_TRUE(KillWhenStopped([&] {
        StopWhenAFileReaches(half);
        v.WriteKey();
    }));
    const Remains r = RemainsOf(v.file);
    EXPECT_EQ(r.content, v.oldBytes);
    ASSERT_EQ(r.temporaries.size(), 1u);
    // The kill came in the middle of the bytes.
    EXPECT_EQ(ReadFileBytes(r.temporaries[0]), v.newBytes.substr(0, half));
}

TEST(KilledVolumeWrite, TheNextWriteRemovesOnlyTemporariesOfDeadWriters) {
    Volume v;
    // A writer that is alive, stopped just before its rename.
    const pid_t writer = StartChild(
        [&] { WriteFileAtomically(v.file, v.newBytes, StopBefore(AtomicWriteStep::Rename)); });
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, WUNTRACED), writer);
    ASSERT_TRUE(WIFSTOPPED(status));
    const std::vector<fs::path> working = RemainsOf(v.file).temporaries;
    ASSERT_EQ(working.size(), 1u);

    // A temporary a killed writer left, and names that only look like one.
    const fs::path dead = v.dir.Write(".BOOK.VOL.0123abcd.tmp", "stale");
    const std::vector<fs::path> kept{v.dir.Write(".BOOK.VOL.0123ABCD.tmp", "x"),
                                     v.dir.Write(".BOOK.VOL.0123abc.tmp", "x"),
                                     v.dir.Write(".BOOK.VOL.0123abcd.tmp~", "x"),
                                     v.dir.Write(".OTHER.VOL.0123abcd.tmp", "x"),
                                     v.dir.Write("KEEP", "x"),
                                     v.dir.MakeDir(".BOOK.VOL.22222222.tmp"),
                                     v.dir / ".BOOK.VOL.11111111.tmp"};
    fs::create_symlink("KEEP", kept.back());

    v.WriteKey();
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(working[0])) << "the live writer's temporary was removed";
    for (const fs::path& file : kept)
        EXPECT_TRUE(fs::exists(fs::symlink_status(file))) << file;
    EXPECT_EQ(GetPrivateProfileString("Pages", "Page2000", "", 64, v.file), "CHANGED.BMP");

    KillAndReap(writer);
    EXPECT_TRUE(WritePrivateProfileString("Pages", "Page2001", "NEXT.BMP", v.file));
    EXPECT_FALSE(fs::exists(working[0]));
}

TEST(KilledVolumeWrite, AtMomentsSpreadOverTheSaveIsNeverTorn) {
    const auto whole = [] {
        Volume v;
        return DurationOf([&] { v.WriteKey(); });
    }();
    constexpr int kKills = 24;
    for (int i = 0; i < kKills; ++i) {
        Volume v;
        KillAfter([&] { v.WriteKey(); }, whole * i / kKills);
        const Remains r = RemainsOf(v.file);
        EXPECT_TRUE(r.content == v.oldBytes || r.content == v.newBytes) << i;
        EXPECT_LE(r.temporaries.size(), 1u) << i;
    }
}

} // namespace
