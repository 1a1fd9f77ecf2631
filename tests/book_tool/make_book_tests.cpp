#include "book_tool/make_book.h"

#include "book_tool/book_tool.h"
#include "line_drawings.h"
#include "model/display/dib.h"
#include "platform/profile_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Result {
    int rc;
    std::string out, err;
};

Result Tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int rc = RunBookTool(args, out, err);
    return {rc, out.str(), err.str()};
}

// A grey anti-aliased circle with a small break, as a scan would give it.
PixelBuffer Drawing() {
    DrawnShape circle;
    circle.cx = circle.cy = 20;
    circle.halfWidth = 14;
    circle.stroke = 1.5;
    circle.gap = 2;
    return DrawLineArt(40, 40, {circle}, {{4, 4, 1, 70}});
}

std::string Bitmap(const PixelBuffer& picture) {
    std::vector<std::uint8_t> bytes = EncodeDIB(*ChangeBitmapFormat(picture, 8, kDibRgb, {}));
    return {bytes.begin(), bytes.end()};
}

std::set<Pixel> Colours(const fs::path& page) {
    DibHandle dib = LoadDIB(page);
    EXPECT_TRUE(dib) << page;
    if (!dib)
        return {};
    const PixelBuffer pixels = DIBToBitmap(*dib);
    return {pixels.Data(), pixels.Data() + pixels.PixelCount()};
}

class MakeBookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (dir / "etc").c_str(), 1);
        dir.Write("Farm/b10.png", EncodePng(Drawing()));
        dir.Write("Farm/B2.jpg", EncodeJpeg(Drawing()));
        dir.Write("Farm/a1.BMP", Bitmap(Drawing()));
        dir.Write("Farm/b2.WAV", "wave");
        dir.Write("Farm/A1.mid", "midi");
        dir.Write("Farm/notes.txt", "not a page");
    }
    std::string Key(const std::string& section, const std::string& key) const {
        ProfileText volume(ReadFileBytes(dir / "Farm.VOL"));
        return std::string(volume.Find(section, key).value_or("(none)"));
    }
    Result Make(std::vector<std::string> options = {}) const {
        options.insert(options.begin(), {"make", (dir / "Farm").string(), (dir / "Farm").string()});
        return Tool(options);
    }
    // Nothing of a book beside the volume's name.
    void ExpectNothingMade(const std::string& what) const {
        for (const char* name : {"Farm.VOL", "Farm pages", "Farm copies", "Farm coloured"})
            EXPECT_FALSE(fs::exists(dir / name)) << what << ": " << name;
    }
    TempDir dir;
};

TEST_F(MakeBookTest, MakesACleanBookInNaturalOrderThatPassesCheck) {
    Result r = Make();
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    const fs::path pages = dir / "Farm pages";
    EXPECT_EQ(Key("Volume", "Title"), "Farm");
    EXPECT_EQ(Key("Volume", "OrgPath"), pages.string());
    EXPECT_EQ(Key("Volume", "CopyDir"), (dir / "Farm copies").string());
    // No ready-coloured pictures, so no ColPath: the show would ask for them.
    EXPECT_EQ(Key("Volume", "ColPath"), "");
    EXPECT_EQ(Key("Volume", "NumPages"), "3");
    EXPECT_EQ(Key("Picture Files", "Page1"), "a1.bmp");
    EXPECT_EQ(Key("Picture Files", "Page2"), "B2.bmp");
    EXPECT_EQ(Key("Picture Files", "Page3"), "b10.bmp");
    EXPECT_EQ(Key("Sound Files", "Page1"), "a1.mid");
    EXPECT_EQ(Key("Sound Files", "Page2"), "B2.wav");
    EXPECT_EQ(Key("Sound Files", "Page3"), "(none)");
    EXPECT_EQ(Key("Options", "BackColor"), "(none)");
    EXPECT_EQ(ReadFileBytes(dir / "Farm.VOL").find("[Slide Show]"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(pages / "B2.wav"), "wave");
    EXPECT_EQ(ReadFileBytes(pages / "a1.mid"), "midi");
    EXPECT_TRUE(fs::is_directory(dir / "Farm copies"));
    EXPECT_FALSE(fs::exists(dir / "Farm coloured"));
    for (const char* page : {"a1.bmp", "B2.bmp", "b10.bmp"})
        EXPECT_EQ(Colours(pages / page), (std::set<Pixel>{0x000000, 0xFFFFFF})) << page;
    EXPECT_NE(r.out.find("Made " + (dir / "Farm.VOL").string() + ": 3 pages, 2 with a sound."),
              std::string::npos)
        << r.out;

    Result check = Tool({"check", (dir / "Farm").string()});
    EXPECT_EQ(check.out, "No problems found.\n");
    EXPECT_EQ(check.rc, kExitOk);
}

TEST_F(MakeBookTest, OptionsSetTheTitleFoldersColourAndShow) {
    Result r = Make({"--title", "My Farm", "--copy-dir", (dir / "kept").string(), "--col-path",
                     (dir / "ready").string(), "--back-color", "FF8000", "--seconds", "5",
                     "--start-page", "2", "--end-page", "3", "--no-sound", "--loop", "--advance",
                     "seconds", "--no-clean"});
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_EQ(Key("Volume", "Title"), "My Farm");
    EXPECT_EQ(Key("Volume", "CopyDir"), (dir / "kept").string());
    EXPECT_EQ(Key("Volume", "ColPath"), (dir / "ready").string());
    EXPECT_TRUE(fs::is_directory(dir / "kept"));
    EXPECT_TRUE(fs::is_directory(dir / "ready"));
    EXPECT_EQ(Key("Options", "BackColor"), std::to_string(0x0080FF)); // stored as 0x00BBGGRR
    EXPECT_EQ(Key("Slide Show", "Seconds"), "5");
    EXPECT_EQ(Key("Slide Show", "StartPage"), "2");
    EXPECT_EQ(Key("Slide Show", "EndPage"), "3");
    EXPECT_EQ(Key("Slide Show", "Sound"), "0");
    EXPECT_EQ(Key("Slide Show", "Loop"), "1");
    EXPECT_EQ(Key("Slide Show", "GoBySeconds"), "1");
    // Without the clean-up the drawing keeps its grey edge.
    EXPECT_GT(Colours(dir / "Farm pages" / "b10.bmp").size(), 2u);
    Result info = Tool({"info", (dir / "Farm.VOL").string()});
    EXPECT_NE(info.out.find("\"backColorHex\": \"#ff8000\""), std::string::npos) << info.out;
}

TEST_F(MakeBookTest, PagesTxtSetsTheOrder) {
    dir.Write("Farm/Pages.txt", "# the farm\n\n  b10.png \r\nA1.bmp\n");
    Result r = Make();
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_EQ(Key("Volume", "NumPages"), "2");
    EXPECT_EQ(Key("Picture Files", "Page1"), "b10.bmp");
    EXPECT_EQ(Key("Picture Files", "Page2"), "a1.bmp");
    EXPECT_EQ(Key("Sound Files", "Page2"), "a1.mid");
}

// Each refusal names its cause and writes nothing.
TEST_F(MakeBookTest, RefusesBeforeWritingAnything) {
    struct Case {
        std::string name;
        std::vector<std::pair<std::string, std::string>> files; // written before the run
        std::vector<std::string> args;                          // after the two operands
        int rc;
        std::string message;
    };
    const std::string png = EncodePng(Drawing());
    const std::vector<Case> cases = {
        {"corrupt picture",
         {{"Farm/cut.png", png.substr(0, png.size() / 2)}},
         {},
         kExitUnreadable,
         (dir / "Farm" / "cut.png").string() + " cannot be read as a PNG picture: "},
        {"pages.txt names a missing file",
         {{"Farm/pages.txt", "a1.bmp\ngone.png\n"}},
         {},
         kExitNoInput,
         "line 2: no file \"gone.png\""},
        {"two pictures, one page name",
         {{"Farm/a1.png", png}},
         {},
         kExitNoInput,
         "would both become the page a1.bmp"},
        {"seconds out of range", {}, {"--seconds", "0"}, kExitUsage, "--seconds takes a number"},
        {"speck without clean-up",
         {},
         {"--no-clean", "--speck", "4"},
         kExitUsage,
         "--no-clean turns off"},
        {"show beyond the book", {}, {"--end-page", "4"}, kExitUsage, "beyond the book's 3 pages"},
    };
    for (const Case& c : cases) {
        for (const auto& [file, bytes] : c.files)
            dir.Write(file, bytes);
        Result r = Make(c.args);
        EXPECT_EQ(r.rc, c.rc) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
        ExpectNothingMade(c.name);
        for (const auto& [file, bytes] : c.files)
            fs::remove(dir / file);
    }

    dir.MakeDir("empty");
    Result r = Tool({"make", (dir / "empty").string(), (dir / "Farm").string()});
    EXPECT_EQ(r.rc, kExitNoInput);
    EXPECT_NE(r.err.find("holds no pictures"), std::string::npos) << r.err;
    for (int i = 0; i < 100; ++i)
        dir.Write("many/p" + std::to_string(i) + ".bmp", Bitmap(PixelBuffer(1, 1, 0xFFFFFF)));
    r = Tool({"make", (dir / "many").string(), (dir / "Farm").string()});
    EXPECT_EQ(r.rc, kExitNoInput);
    EXPECT_NE(r.err.find("holds 100 pictures, but a book shows 99 pages at most"),
              std::string::npos)
        << r.err;
    ExpectNothingMade("empty and too many");
}

TEST_F(MakeBookTest, AnExistingBookIsReplacedOnlyWithForce) {
    dir.Write("Farm.VOL", "[Volume]\nTitle=Old\n");
    Result r = Make();
    EXPECT_EQ(r.rc, kExitExists);
    EXPECT_EQ(r.err,
              "tintaroo-book: " + (dir / "Farm.VOL").string() + " exists; --force replaces it\n");
    EXPECT_EQ(ReadFileBytes(dir / "Farm.VOL"), "[Volume]\nTitle=Old\n");
    EXPECT_FALSE(fs::exists(dir / "Farm pages"));

    r = Make({"--force"});
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_EQ(Key("Volume", "Title"), "Farm");
    // Made again, the pages are there too: only --force replaces them.
    fs::remove(dir / "Farm.VOL");
    r = Make();
    EXPECT_EQ(r.rc, kExitExists);
    EXPECT_NE(r.err.find((dir / "Farm pages" / "a1.bmp").string() + " exists"), std::string::npos);
}

// Pictures kept in the very folder the pages go to: a page would take the
// place of the bitmap it is made from, which no --force allows.
TEST_F(MakeBookTest, NeverWritesOverAPictureItReads) {
    const std::string original = Bitmap(Drawing());
    dir.Write("Zoo pages/cat.bmp", original);
    dir.Write("Zoo pages/cat.wav", "meow");
    for (const char* force : {"", "--force"}) {
        std::vector<std::string> args = {"make", (dir / "Zoo pages").string(),
                                         (dir / "Zoo").string()};
        if (*force)
            args.push_back(force);
        Result r = Tool(args);
        EXPECT_EQ(r.rc, kExitExists) << force;
        EXPECT_NE(r.err.find("would overwrite " + (dir / "Zoo pages" / "cat.bmp").string()),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(ReadFileBytes(dir / "Zoo pages" / "cat.bmp"), original);
        EXPECT_FALSE(fs::exists(dir / "Zoo.VOL"));
    }
    // A PNG there is fine: its page gets another name, its sound stays put.
    fs::remove(dir / "Zoo pages" / "cat.bmp");
    dir.Write("Zoo pages/cat.png", EncodePng(Drawing()));
    Result r = Tool({"make", (dir / "Zoo pages").string(), (dir / "Zoo").string()});
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_EQ(ReadFileBytes(dir / "Zoo pages" / "cat.wav"), "meow");
    EXPECT_EQ(Tool({"check", (dir / "Zoo.VOL").string()}).out, "No problems found.\n");
}

TEST(NaturalOrderTest, NumbersCountAndLetterCaseDoesNot) {
    std::vector<std::string> names = {"page10.png", "Page2.png", "page1.png", "b.png", "A.png"};
    std::sort(names.begin(), names.end(), NaturalLess);
    EXPECT_EQ(names,
              (std::vector<std::string>{"A.png", "b.png", "page1.png", "Page2.png", "page10.png"}));
}

} // namespace
