#include "book_tool/book_tool.h"

#include "book_tool/json_writer.h"
#include "model/controls/color_table.h"
#include "model/display/dib.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Result {
    int rc;
    std::string out, err;
};

Result RunTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int rc = RunBookTool(args, out, err);
    return {rc, out.str(), err.str()};
}

class BookToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (dir / "etc").c_str(), 1);
        org = dir.MakeDir("book");
        copies = dir.MakeDir("copies");
        dir.Write("book/CAT.BMP", "bmp");
        dir.Write("book/Meow.wav", "wav");
        dir.Write("book/CLIP.AVI", "avi");
    }

    fs::path Volume(const std::string& volumeKeys, const std::string& rest) {
        return dir.Write("book.vol",
                         "[Volume]\nOrgPath=" + org.string() + "\n" + volumeKeys + rest);
    }

    TempDir dir;
    fs::path org, copies;
};

TEST_F(BookToolTest, InfoPrintsWhatTheProgramReads) {
    auto vol = Volume("Title=Caf\xe9 \"Cats\"\nCopyDir=" + copies.string() + "\nNumPages=2\n",
                      "[Picture Files]\nPage1=cat.bmp\nPage2=GONE.BMP\n[Sound Files]\n"
                      "Page1=MEOW.WAV\n[Options]\nBackColor=0x0000FF\n[Slide Show]\nSeconds=0\n");
    Result r = RunTool({"info", vol.string()});
    ASSERT_EQ(r.rc, 0) << r.err;
    const std::string& j = r.out;
    EXPECT_NE(j.find("\"title\": \"Caf\xc3\xa9 \\\"Cats\\\"\""), std::string::npos) << j;
    EXPECT_NE(j.find("\"canColour\": 1"), std::string::npos);
    EXPECT_NE(j.find("\"pageCount\": 2"), std::string::npos);
    EXPECT_NE(j.find("\"backColor\": 255"), std::string::npos);
    EXPECT_NE(j.find("\"backColorHex\": \"#ff0000\""), std::string::npos);
    EXPECT_NE(j.find("\"seconds\": 8"), std::string::npos);
    EXPECT_NE(j.find("\"pictureFile\": " + JsonWriter::Quote((org / "CAT.BMP").string())),
              std::string::npos);
    EXPECT_NE(j.find("\"soundFile\": " + JsonWriter::Quote((org / "Meow.wav").string())),
              std::string::npos);
    EXPECT_NE(j.find("\"copyPath\": " + JsonWriter::Quote(copies.string() + "\\cat.bmp")),
              std::string::npos);
    EXPECT_NE(j.find("\"copyFile\": null"), std::string::npos);
    EXPECT_NE(j.find("\"picture\": \"GONE.BMP\",\n      \"pictureFile\": null"), std::string::npos)
        << j;
}

TEST_F(BookToolTest, CheckListsWhatWouldGoWrong) {
    auto vol = Volume("NumPages=101\nCopyDir=" + org.string() + "\n",
                      "[Picture Files]\nPage1=CAT.BMP\nPage3=GONE.BMP\nPage101=X.BMP\n"
                      "[Sound Files]\nPage1=CLIP.AVI\nPage3=NONE.WAV\n");
    Result r = RunTool({"check", vol.string()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.out.find("same folder as OrgPath"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("page 1: sound \"CLIP.AVI\" is of a type no device plays"),
              std::string::npos);
    EXPECT_NE(r.out.find("page 2: no picture"), std::string::npos);
    EXPECT_NE(r.out.find("page 3: picture \"GONE.BMP\" not found"), std::string::npos);
    EXPECT_NE(r.out.find("page 3: sound \"NONE.WAV\" not found"), std::string::npos);
    EXPECT_NE(r.out.find("pages 100 to 101 are never shown"), std::string::npos);
    EXPECT_EQ(r.out.find("page 100:"), std::string::npos);

    auto noCopies = Volume("NumPages=1\n", "[Picture Files]\nPage1=CAT.BMP\n");
    r = RunTool({"check", noCopies.string()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, "CopyDir is empty: the pages cannot be coloured\n");
}

TEST_F(BookToolTest, CheckPassesAGoodBookAndUsesTheSettingsMediaTypes) {
    dir.Write("config/Quorvex/Tintaroo!.conf", "[mci%20extensions]\nAVI=waveaudio\n");
    auto vol = Volume("NumPages=1\nCopyDir=" + copies.string() + "\n",
                      "[Picture Files]\nPage1=CAT.BMP\n[Sound Files]\nPage1=CLIP.AVI\n");
    Result r = RunTool({"check", vol.string()});
    EXPECT_EQ(r.rc, 0) << r.out;
    EXPECT_EQ(r.out, "No problems found.\n");
}

// An 8-bit page whose colour table leaves no room for the paint colours
// would save a child's colours as its nearest ones; a table with room, or
// one holding them all, would not.
TEST_F(BookToolTest, CheckWarnsOfPagesWhosePaintedColoursWouldChange) {
    auto page = [&](const std::string& name, LogPalette table) {
        DibHandle dib = ChangeBitmapFormat(PixelBuffer(2, 2, 0xFFFFFF), 8, kDibRgb, table);
        ASSERT_EQ(SaveDIB(*dib, org / name), DibSaveResult::Saved);
    };
    LogPalette greys;
    for (int i = 0; i < 256; ++i)
        greys.entries.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0});
    page("GREYS.BMP", greys);
    page("LINES.BMP", {0x300, {{255, 255, 255, 0}, {0, 0, 0, 0}}});
    LogPalette paints = CreateColorTablePalette();
    paints.entries.resize(256);
    page("PAINTS.BMP", paints);
    auto vol = Volume("NumPages=3\nCopyDir=" + copies.string() + "\n",
                      "[Picture Files]\nPage1=LINES.BMP\nPage2=PAINTS.BMP\nPage3=greys.bmp\n");
    Result r = RunTool({"check", vol.string()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, "page 3: picture \"greys.bmp\" has a full colour table without the paint "
                     "colours: painted colours will change when saved\n");
}

TEST_F(BookToolTest, MissingAndUnreachableVolumes) {
    Result r = RunTool({"info", (dir / "nope.vol").string()});
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find("Cannot find file: " + (dir / "nope.vol").string() +
                         ".\n\nPlease verify that the correct path and filename are given."),
              std::string::npos);
    EXPECT_TRUE(r.out.empty());

    auto disc = dir.Write("disc.vol", "[Volume]\nTitle=Farm\nOrgPath=D:\\FARM\n");
    r = RunTool({"check", disc.string()});
    EXPECT_EQ(r.rc, 3);
    EXPECT_NE(r.err.find("\"Farm\""), std::string::npos);

    // With the drive mapped in the settings, the same volume opens.
    dir.MakeDir("cdrom/farm");
    dir.Write("config/Quorvex/Tintaroo!.conf", "[Drives]\nD=" + (dir / "cdrom").string() + "\n");
    r = RunTool({"info", disc.string()});
    EXPECT_EQ(r.rc, 0) << r.err;
}

TEST_F(BookToolTest, UsageHelpAndVersion) {
    EXPECT_EQ(RunTool({}).rc, 64);
    EXPECT_EQ(RunTool({"paint", "x.vol"}).rc, 64);
    EXPECT_EQ(RunTool({"info"}).rc, 64);
    Result help = RunTool({"--help"});
    EXPECT_EQ(help.rc, 0);
    EXPECT_NE(help.out.find("check VOLUME"), std::string::npos);
    Result version = RunTool({"--version"});
    EXPECT_EQ(version.rc, 0);
    EXPECT_EQ(version.out.rfind("tintaroo-book ", 0), 0u);
}

TEST(JsonWriterTest, QuotesAnyBytesIntoValidJson) {
    EXPECT_EQ(JsonWriter::Quote("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(JsonWriter::Quote("\xc3\xa9"), "\"\xc3\xa9\""); // UTF-8 passes through
    EXPECT_EQ(JsonWriter::Quote("\xe9"), "\"\xc3\xa9\"");     // Latin-1 is converted
    EXPECT_EQ(JsonWriter::Quote("\xc3"), "\"\xc3\x83\"");     // a cut sequence is Latin-1
    EXPECT_EQ(JsonWriter::Quote("\xed\xa0\x80"), "\"\xc3\xad\xc2\xa0\xc2\x80\""); // no surrogates
}

} // namespace
