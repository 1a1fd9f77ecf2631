// Saving a coloured copy over an older one, killed with SIGKILL at every step
// of the write, part way through its bytes and at moments spread over the
// whole save: the copy on disc is always byte for byte the older or the new
// one. A kill between creating the temporary file and renaming it leaves that
// temporary beside the copy (see tests/platform/kill_tests.cpp).
#include "model/display/dib.h"
#include "platform/kill_harness.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace kill_harness;

namespace {

// A true-colour picture of 1000 x 1000 pixels (a 3 MB file), in a pattern
// that differs with `seed` on every row.
Dib Picture(Pixel seed) {
    Dib dib;
    dib.header.width = 1000;
    dib.header.height = 1000;
    dib.header.bitCount = 24;
    dib.pixels = PixelBuffer(1000, 1000);
    for (int y = 0; y < 1000; ++y)
        for (int x = 0; x < 1000; ++x)
            dib.pixels.Set(x, y, (seed * 2654435761u + Pixel(x * 31 + y)) & 0xFFFFFFu);
    return dib;
}

struct Copy {
    TempDir dir;
    fs::path file = dir / "PAGE01.BMP";
    Dib newer = Picture(2);
    std::string oldBytes, newBytes;

    Copy() {
        EXPECT_EQ(SaveDIB(Picture(1), file), DibSaveResult::Saved);
        oldBytes = ReadFileBytes(file);
        const std::vector<std::uint8_t> encoded = EncodeDIB(newer);
        newBytes.assign(encoded.begin(), encoded.end());
    }
    void Save() const { SaveDIB(newer, file); }
};

TEST(KilledDibSave, AtEachStepLeavesTheOldOrTheNewCopy) {
    const Copy c;
    ASSERT_NE(c.oldBytes, c.newBytes);
    for (const KillPoint& p : KillPoints()) {
        const Copy copy;
        // SaveDIB writes exactly these bytes through WriteFileAtomically;
        // only the latter takes the hook that stops it.
        ASSERT_TRUE(KillWhenStopped([&] {
            WriteFileAtomically(copy.file, copy.newBytes, StopBefore(p.stopBefore));
        })) << p.what;
        const Remains r = RemainsOf(copy.file);
        EXPECT_EQ(r.content, p.newContent ? copy.newBytes : copy.oldBytes) << p.what;
        EXPECT_EQ(r.temporaries.size(), p.leavesTemporary ? 1u : 0u) << p.what;
    }
}

TEST(KilledDibSave, PartWayThroughItsBytesLeavesTheOldCopy) {
    const Copy c;
    const std::size_t part = c.newBytes.size() / 3;
    ASSERT_TRUE(KillWhenStopped([&] {
        StopWhenAFileReaches(part);
        c.Save();
    }));
    const Remains r = RemainsOf(c.file);
    EXPECT_EQ(r.content, c.oldBytes);
    ASSERT_EQ(r.temporaries.size(), 1u);
    EXPECT_EQ(ReadFileBytes(r.temporaries[0]), c.newBytes.substr(0, part));
    // The next save replaces the copy all the same.
    EXPECT_EQ(SaveDIB(c.newer, c.file), DibSaveResult::Saved);
    EXPECT_EQ(ReadFileBytes(c.file), c.newBytes);
}

TEST(KilledDibSave, AtMomentsSpreadOverTheSaveIsNeverTorn) {
    const auto whole = [] {
        const Copy c;
        return DurationOf([&] { c.Save(); });
    }();
    constexpr int kKills = 16;
    for (int i = 0; i < kKills; ++i) {
        const Copy c;
        KillAfter([&] { c.Save(); }, whole * i / kKills);
        const Remains r = RemainsOf(c.file);
        EXPECT_TRUE(r.content == c.oldBytes || r.content == c.newBytes) << i;
        EXPECT_LE(r.temporaries.size(), 1u) << i;
    }
}

} // namespace
