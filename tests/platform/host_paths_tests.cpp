#include "platform/host_paths.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

TEST(StoredNameTest, FilePartAndJoin) {
    EXPECT_EQ(FilePart("C:\\X\\Y\\PAGE1.BMP"), "PAGE1.BMP");
    EXPECT_EQ(FilePart("/srv/books/cow.bmp"), "cow.bmp");
    EXPECT_EQ(FilePart("D:COW.BMP"), "COW.BMP");
    EXPECT_EQ(FilePart("COW.BMP"), "COW.BMP");
    EXPECT_EQ(FilePart("C:\\DIR\\"), "");
    EXPECT_EQ(JoinStoredPath("D:\\COPIES\\", "PAGE1.BMP"), "D:\\COPIES\\\\PAGE1.BMP");
    EXPECT_EQ(JoinStoredPath("D:\\COPIES", "PAGE1.BMP"), "D:\\COPIES\\PAGE1.BMP");
    EXPECT_EQ(JoinStoredPath("", "PAGE1.BMP"), "\\PAGE1.BMP");
}

class HostPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        disc = dir.MakeDir("cdrom");
        dir.Write("cdrom/Animals/Orig/Cow.bmp", "cow");
        dir.Write("cdrom/Animals/Orig/pig.BMP", "pig");
        dir.MakeDir("cdrom/Animals/Color");
        paths.SetDrives({{'d', disc}});
    }
    TempDir dir;
    fs::path disc;
    HostPaths paths;
};

TEST_F(HostPathsTest, DrivesMapAndComponentsMatchWithoutCase) {
    EXPECT_EQ(*paths.Resolve("D:\\ANIMALS\\ORIG\\COW.BMP"), disc / "Animals/Orig/Cow.bmp");
    EXPECT_EQ(*paths.Resolve("d:/animals/orig/PIG.bmp"), disc / "Animals/Orig/pig.BMP");
    EXPECT_TRUE(paths.FileExists("D:\\ANIMALS\\\\ORIG\\COW.BMP"));
    EXPECT_FALSE(paths.FileExists("D:\\ANIMALS\\ORIG"));
    EXPECT_TRUE(paths.DirectoryExists("D:\\ANIMALS\\ORIG\\"));
    // A missing file keeps the matched folders and its own spelling.
    EXPECT_EQ(*paths.Resolve("D:\\ANIMALS\\COLOR\\NEW.BMP"), disc / "Animals/Color/NEW.BMP");
}

TEST_F(HostPathsTest, UnmappedDrivesAndEmptyNamesAreUnreachable) {
    EXPECT_FALSE(paths.Resolve("E:\\ANIMALS"));
    EXPECT_FALSE(paths.Resolve(""));
    EXPECT_FALSE(paths.FileExists("E:\\COW.BMP"));
    EXPECT_FALSE(paths.SetCurrentDirectory("E:\\"));
}

TEST_F(HostPathsTest, DotDotStaysInsideTheDrive) {
    EXPECT_EQ(*paths.Resolve("D:\\..\\..\\ANIMALS\\.\\ORIG\\COW.BMP"),
              disc / "Animals/Orig/Cow.bmp");
}

TEST_F(HostPathsTest, RelativeNamesFollowTheCurrentDirectory) {
    ASSERT_TRUE(paths.SetCurrentDirectory("D:\\ANIMALS\\ORIG"));
    EXPECT_EQ(paths.CurrentDirectory(), fs::canonical(disc / "Animals/Orig"));
    EXPECT_TRUE(paths.FileExists("cow.bmp"));
    EXPECT_TRUE(paths.FileExists("..\\ORIG\\PIG.BMP"));
    // A failed change leaves the current directory alone.
    EXPECT_FALSE(paths.SetCurrentDirectory("D:\\NO\\SUCH"));
    EXPECT_FALSE(paths.SetCurrentDirectory(""));
    EXPECT_FALSE(paths.SetCurrentDirectory("D:\\ANIMALS\\ORIG\\COW.BMP"));
    EXPECT_TRUE(paths.FileExists("COW.BMP"));
}

TEST_F(HostPathsTest, HostNamesWithBackslashesResolve) {
    std::string stored = (disc / "animals").string() + "\\orig\\COW.BMP";
    EXPECT_TRUE(paths.FileExists(stored));
}

TEST_F(HostPathsTest, DeleteRemovesOnlyRegularFiles) {
    EXPECT_FALSE(paths.DeleteFile("D:\\ANIMALS\\COLOR"));
    EXPECT_TRUE(fs::is_directory(disc / "Animals/Color"));
    EXPECT_FALSE(paths.DeleteFile("D:\\ANIMALS\\ORIG\\NONE.BMP"));
    EXPECT_TRUE(paths.DeleteFile("D:\\ANIMALS\\ORIG\\COW.BMP"));
    EXPECT_FALSE(fs::exists(disc / "Animals/Orig/Cow.bmp"));
}

} // namespace
