#include "platform/profile_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

const char* kVolume = "; a comment\n"
                      "[Volume]\n"
                      "Title = Animals  \n"
                      "OrgPath=D:\\ANIMALS\\ORIG\n"
                      "title=second title\n"
                      "Quoted=\"  spaced  \"\n"
                      "\n"
                      "[Options]\n"
                      "BackColor=255\n"
                      "Empty=\n"
                      "[volume]\n"
                      "CopyDir=ignored, later section of the same name\n";

TEST(ProfileReadTest, NamesMatchWithoutCaseAndFirstOccurrenceWins) {
    ProfileText text(kVolume);
    EXPECT_EQ(GetProfileString(text, "VOLUME", "title", "x", 255), "Animals");
    EXPECT_EQ(GetProfileString(text, "volume", "ORGPATH", "", 255), "D:\\ANIMALS\\ORIG");
    // Only the first section of a name counts.
    EXPECT_EQ(GetProfileString(text, "Volume", "CopyDir", "none", 255), "none");
    EXPECT_EQ(GetProfileString(text, "Volume", "Quoted", "", 255), "  spaced  ");
}

TEST(ProfileReadTest, DefaultsAndCuts) {
    ProfileText text(kVolume);
    EXPECT_EQ(GetProfileString(text, "Volume", "Missing", "dflt", 255), "dflt");
    EXPECT_EQ(GetProfileString(text, "Nowhere", "Title", "dflt", 255), "dflt");
    EXPECT_EQ(GetProfileString(text, "Options", "Empty", "dflt", 255), "");
    // Values and defaults are cut to size - 1 characters.
    EXPECT_EQ(GetProfileString(text, "Volume", "Title", "", 4), "Ani");
    EXPECT_EQ(GetProfileString(text, "Volume", "Missing", "default", 3), "de");
    EXPECT_EQ(GetProfileString(text, "Volume", "Title", "", 1), "");
    EXPECT_EQ(GetProfileString(text, "Volume", "Title", "", 0), "");
}

TEST(ProfileReadTest, IntegersAreDecimalWithDefaultOnlyWhenAbsentOrEmpty) {
    ProfileText text("[S]\na=42\nb=-7\nc=0x10\nd=abc\ne=\nf=12abc\ng=99999999999999999999\n"
                     "h=-99999999999999999999\n");
    EXPECT_EQ(GetProfileInt(text, "S", "a", 5), 42);
    EXPECT_EQ(GetProfileInt(text, "S", "b", 5), -7);
    EXPECT_EQ(GetProfileInt(text, "S", "c", 5), 0);
    EXPECT_EQ(GetProfileInt(text, "S", "d", 5), 0);
    EXPECT_EQ(GetProfileInt(text, "S", "e", 5), 5);
    EXPECT_EQ(GetProfileInt(text, "S", "f", 5), 12);
    EXPECT_EQ(GetProfileInt(text, "S", "g", 5), INT_MAX);
    EXPECT_EQ(GetProfileInt(text, "S", "h", 5), INT_MIN);
    EXPECT_EQ(GetProfileInt(text, "S", "missing", 5), 5);
}

TEST(ProfileReadTest, CrlfLinesAndKeysOutsideSections) {
    ProfileText text("stray=1\r\n[Volume]\r\nTitle=Cows\r\nNumPages=3\r\n");
    EXPECT_EQ(GetProfileString(text, "Volume", "Title", "", 255), "Cows");
    EXPECT_EQ(GetProfileInt(text, "Volume", "NumPages", 0), 3);
    EXPECT_FALSE(text.Find("", "stray").has_value());
}

TEST(ProfileReadTest, JunkAndHugeLinesParseWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 100000; ++i)
        junk.push_back(static_cast<char>((i * 7919) & 0xFF));
    ProfileText junkText(junk);
    EXPECT_FALSE(junkText.Find("Volume", "OrgPath").has_value());
    ProfileText huge(std::string(10 << 20, 'x'));
    EXPECT_FALSE(huge.Find("Volume", "OrgPath").has_value());
    std::string longValue = "[Volume]\nTitle=" + std::string(3000, 'y') + "\n";
    EXPECT_EQ(GetProfileString(ProfileText(longValue), "Volume", "Title", "", 255).size(), 254u);
}

TEST(ProfileWriteTest, ReplacesInPlaceKeepingEveryOtherByte) {
    ProfileText text("; keep me\r\n[Picture Files]\r\nPage1 = OLD.BMP  \r\n\r\nPage2=B.BMP\r\n");
    auto out = text.WithValue("picture files", "PAGE1", "C:\\NEW\\COW.BMP");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out,
              "; keep me\r\n[Picture Files]\r\nPage1 = C:\\NEW\\COW.BMP\r\n\r\nPage2=B.BMP\r\n");
}

TEST(ProfileWriteTest, AddsMissingKeyAfterTheLastKeyOfItsSection) {
    ProfileText text(
        "[Volume]\nNumPages=2\n[Picture Files]\nPage2=PIG.BMP\n\n; next\n[Sound Files]\n");
    auto out = text.WithValue("Picture Files", "Page1", "COW.BMP");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out,
              "[Volume]\nNumPages=2\n[Picture Files]\nPage2=PIG.BMP\nPage1=COW.BMP\n\n; next\n"
              "[Sound Files]\n");
    ProfileText emptySection("[Options]\n[Other]\nx=1\n");
    EXPECT_EQ(*emptySection.WithValue("Options", "BackColor", "255"),
              "[Options]\nBackColor=255\n[Other]\nx=1\n");
}

TEST(ProfileWriteTest, AddsMissingSectionAtTheEndInTheFilesLineEnding) {
    EXPECT_EQ(*ProfileText("[Volume]\r\nTitle=A").WithValue("Options", "BackColor", "16777215"),
              "[Volume]\r\nTitle=A\r\n[Options]\r\nBackColor=16777215\r\n");
    EXPECT_EQ(*ProfileText("").WithValue("Options", "BackColor", "0"), "[Options]\nBackColor=0\n");
    // A section header on the last line without a line end.
    EXPECT_EQ(*ProfileText("[Options]").WithValue("Options", "BackColor", "1"),
              "[Options]\nBackColor=1\n");
}

TEST(ProfileWriteTest, RefusesWhatCannotBeStoredOnOneLine) {
    ProfileText text("[Volume]\n");
    EXPECT_FALSE(text.WithValue("Volume", "Title", "two\nlines"));
    EXPECT_FALSE(text.WithValue("Volume", "Title", std::string("nul\0x", 5)));
    EXPECT_FALSE(text.WithValue("Volume", "Ti=tle", "x"));
    EXPECT_FALSE(text.WithValue("Vol]ume", "Title", "x"));
    EXPECT_FALSE(text.WithValue("Volume", "", "x"));
    EXPECT_FALSE(text.WithValue("", "Title", "x"));
}

TEST(ProfileWriteTest, AByteOrderMarkIsSkippedWhenReadingAndKeptWhenWriting) {
    const std::string bom = "\xEF\xBB\xBF";
    ProfileText text(bom + "[Volume]\r\nTitle=Cows\r\n");
    EXPECT_EQ(GetProfileString(text, "Volume", "Title", "", 255), "Cows");
    EXPECT_EQ(*text.WithValue("Volume", "NumPages", "2"),
              bom + "[Volume]\r\nTitle=Cows\r\nNumPages=2\r\n");
    EXPECT_EQ(*text.WithValue("Options", "BackColor", "0"),
              bom + "[Volume]\r\nTitle=Cows\r\n[Options]\r\nBackColor=0\r\n");
    EXPECT_EQ(*ProfileText(bom).WithValue("Options", "BackColor", "0"),
              bom + "[Options]\nBackColor=0\n");

    TempDir dir;
    auto file = dir.Write("book.vol", bom + "[Volume]\nTitle=Cows\n");
    ASSERT_TRUE(WritePrivateProfileString("Volume", "Title", "Pigs", file));
    EXPECT_EQ(ReadFileBytes(file), bom + "[Volume]\nTitle=Pigs\n");
    EXPECT_EQ(GetPrivateProfileString("Volume", "Title", "", 255, file), "Pigs");
}

TEST(ProfileFileTest, WriteReachesTheFileAndKeepsItsMode) {
    TempDir dir;
    auto file = dir.Write("book.vol", "[Picture Files]\nPage1=A.BMP\n");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(WritePrivateProfileString("Picture Files", "Page1", "B.BMP", file));
    EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, file), "B.BMP");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(ProfileFileTest, WriteFollowsSymbolicLinks) {
    TempDir dir;
    auto real = dir.Write("real/book.vol", "[Options]\nBackColor=0\n");
    auto link = dir / "link.vol";
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(WritePrivateProfileString("Options", "BackColor", "255", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), "[Options]\nBackColor=255\n");
}

TEST(ProfileFileTest, FailedWritesChangeNothing) {
    TempDir dir;
    // Never creates a file.
    EXPECT_FALSE(WritePrivateProfileString("Options", "BackColor", "1", dir / "missing.vol"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.vol"));
    EXPECT_FALSE(WritePrivateProfileString("Options", "BackColor", "1", dir / "no/such/dir.vol"));
    // A folder standing at the path is not a file to write.
    dir.MakeDir("folder.vol");
    EXPECT_FALSE(WritePrivateProfileString("Options", "BackColor", "1", dir / "folder.vol"));
    // No write permission bits count as read-only, even for root.
    auto locked = dir.Write("locked.vol", "[Options]\nBackColor=0\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    EXPECT_FALSE(WritePrivateProfileString("Options", "BackColor", "1", locked));
    EXPECT_EQ(ReadFileBytes(locked), "[Options]\nBackColor=0\n");
    // A value that would break the file is refused.
    auto plain = dir.Write("plain.vol", "[Options]\nBackColor=0\n");
    EXPECT_FALSE(WritePrivateProfileString("Options", "BackColor", "1\n[Volume]", plain));
    EXPECT_EQ(ReadFileBytes(plain), "[Options]\nBackColor=0\n");
}

TEST(ProfileFileTest, UnreadableFilesReadAsEmpty) {
    TempDir dir;
    EXPECT_EQ(GetPrivateProfileString("Volume", "Title", "dflt", 255, dir / "none.vol"), "dflt");
    EXPECT_EQ(GetPrivateProfileInt("Volume", "NumPages", 3, dir.Path()), 3);
}

} // namespace
