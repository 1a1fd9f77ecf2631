#include "book_tool/book_tool.h"

#include "bmp_forge.h"
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

// A black-and-white bitmap file of that size.
std::string Bmp(int width, int height, std::uint32_t compression = kDibRgb) {
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = 1;
    recipe.compression = compression;
    recipe.colorTable = {0xFFFFFF, 0x000000};
    recipe.bits.assign(static_cast<std::size_t>((width + 31) / 32) * 4 * height, 0);
    std::vector<std::uint8_t> bytes = ForgeBmp(recipe);
    return {bytes.begin(), bytes.end()};
}

class BookToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (dir / "etc").c_str(), 1);
        org = dir.MakeDir("book");
        copies = dir.MakeDir("copies");
        dir.Write("book/CAT.BMP", Bmp(2, 2));
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

// Each case is a small book of its own: "{dir}" in its keys and in the
// expected lines stands for the case's folder, which holds book/ (OrgPath,
// with CAT.BMP and Meow.wav), copies/ (CopyDir) and the case's files.
TEST_F(BookToolTest, CheckReportsWhatTheProgramWouldTripOn) {
    struct Case {
        std::string volumeKeys, entries;
        std::vector<std::pair<std::string, std::string>> files;
        std::string expected;
    };
    const std::string cut = Bmp(8, 8).substr(0, Bmp(8, 8).size() - 16); // half its rows
    const std::string png = "\x89PNG\r\n\x1a\n" + std::string(40, '\0');
    const std::string cat = "[Picture Files]\nPage1=CAT.BMP\n";
    const std::vector<Case> cases = {
        {"NumPages=1\nColPath={dir}\\col\n",
         "[Picture Files]\nPage1=SCREEN.BMP\n[Sound Files]\nPage1={dir}/col/Hi.wav\n",
         {{"book/SCREEN.BMP", Bmp(1920, 1080)},
          {"col/SCREEN.BMP", Bmp(2, 2)},
          {"col/Hi.wav", "wav"}},
         "No problems found.\n"},
        {"NumPages=1\nColPath={dir}\\col\n",
         cat,
         {{"col/Hi.wav", "wav"}},
         "page 1: no ready-coloured picture \"{dir}\\col\\CAT.BMP\": the slide show will report "
         "it missing\n"},
        {"NumPages=1\n",
         "[Picture Files]\nPage1=CUT.BMP\n",
         {{"book/CUT.BMP", cut}},
         "page 1: picture \"CUT.BMP\" cannot be read as a bitmap: truncated pixel data\n"},
        {"NumPages=1\n",
         "[Picture Files]\nPage1=PNG.BMP\n",
         {{"book/PNG.BMP", png}},
         "page 1: picture \"PNG.BMP\" cannot be read as a bitmap: not a bitmap file\n"},
        {"NumPages=1\n",
         "[Picture Files]\nPage1=IN.BMP\n",
         {{"book/IN.BMP", Bmp(2, 2, kDibPng)}},
         "page 1: picture \"IN.BMP\" cannot be read as a bitmap: embedded JPEG or PNG pictures "
         "are not supported\n"},
        {"NumPages=2\n",
         "[Picture Files]\nPage1=WIDE.BMP\nPage2=TALL.BMP\n",
         {{"book/WIDE.BMP", Bmp(1921, 1)}, {"book/TALL.BMP", Bmp(1, 1081)}},
         "page 1: picture \"WIDE.BMP\" is 1921 x 1, larger than 1920 x 1080: the child has to "
         "scroll\npage 2: picture \"TALL.BMP\" is 1 x 1081, larger than 1920 x 1080: the child "
         "has to scroll\n"},
        {"NumPages=1\n",
         "[Picture Files]\nPage1=..\\OUT.BMP\n[Sound Files]\nPage1={dir}/Hi.wav\n",
         {{"OUT.BMP", Bmp(2, 2)}, {"Hi.wav", "wav"}},
         "page 1: picture \"..\\OUT.BMP\" reaches outside the book: {dir}/OUT.BMP\n"
         "page 1: sound \"{dir}/Hi.wav\" reaches outside the book: {dir}/Hi.wav\n"},
        {"NumPages=1\n",
         cat + "Page3=CAT.BMP\n[Sound Files]\nPage2=MEOW.WAV\nPAGE7=x\nPage02=x\n",
         {},
         "[Picture Files] Page3: above NumPages (1), never read\n"
         "[Sound Files] Page2, PAGE7: above NumPages (1), never read\n"},
        {"", cat, {}, "NumPages is missing: no page is read\npage 1: no picture\n"},
        {"NumPages=0\n",
         cat,
         {},
         "NumPages \"0\" is not a number above 0: no page is read\npage 1: no picture\n"},
        {"NumPages=-3\n",
         cat,
         {},
         "NumPages \"-3\" is not a number above 0: no page is read\npage 1: no picture\n"},
        {"NumPages=many\n",
         cat,
         {},
         "NumPages \"many\" is not a number above 0: no page is read\npage 1: no picture\n"},
    };
    auto fill = [](std::string text, const std::string& folder) {
        for (std::size_t at; (at = text.find("{dir}")) != std::string::npos;)
            text.replace(at, 5, folder);
        return text;
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string name = "case" + std::to_string(i);
        const std::string folder = fs::weakly_canonical(dir.MakeDir(name)).string();
        dir.Write(name + "/book/CAT.BMP", Bmp(2, 2));
        dir.Write(name + "/book/Meow.wav", "wav");
        dir.MakeDir(name + "/copies");
        for (const auto& [file, bytes] : c.files)
            dir.Write(name + "/" + file, bytes);
        fs::path vol = dir.Write(
            name + "/book.vol",
            fill("[Volume]\nOrgPath={dir}/book\nCopyDir={dir}/copies\n" + c.volumeKeys + c.entries,
                 folder));
        Result r = RunTool({"check", vol.string()});
        EXPECT_EQ(r.out, fill(c.expected, folder)) << name << ": " << r.err;
        EXPECT_EQ(r.rc, c.expected == "No problems found.\n" ? 0 : 1) << name;
    }

    // As the program does, a name without "." (its quotation marks gone)
    // opens the ".VOL" file of that name.
    const std::string bare = "\"" + (dir / "case0" / "book").string() + "\"";
    EXPECT_EQ(RunTool({"check", bare}).out, "No problems found.\n");
    EXPECT_EQ(RunTool({"info", bare}).rc, 0);
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
