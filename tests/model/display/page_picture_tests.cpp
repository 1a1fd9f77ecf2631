#include "model/display/page_picture.h"

#include "bmp_forge.h"
#include "model/controls/color_table.h"
#include "model/display/colour_match.h"
#include "model/mainframe/running_state.h"
#include "model/volume/vol_doc.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A 4-bit picture: a black frame around a white inside, 6 x 4.
std::vector<std::uint8_t> FourBitPicture() {
    BmpRecipe recipe;
    recipe.width = 6;
    recipe.height = 4;
    recipe.bitCount = 4;
    recipe.colorTable = {0x000000, 0xFFFFFF};
    std::vector<std::uint8_t> idx(24, 1);
    for (int x = 0; x < 6; ++x)
        idx[static_cast<std::size_t>(x)] = idx[static_cast<std::size_t>(18 + x)] = 0;
    recipe.bits = PackIndexRows(idx, 6, 4, 4, false);
    return ForgeBmp(recipe);
}

// An 8-bit picture of the given width and height, every pixel index 0 but
// the first row's, which run through the table.
std::vector<std::uint8_t> EightBitPicture(std::vector<Pixel> table, int width, int height) {
    BmpRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.bitCount = 8;
    std::vector<std::uint8_t> idx(static_cast<std::size_t>(width * height), 0);
    for (std::size_t x = 0; x < idx.size() && x < table.size() && x < std::size_t(width); ++x)
        idx[x] = static_cast<std::uint8_t>(x);
    recipe.colorTable = std::move(table);
    recipe.bits = PackIndexRows(idx, width, height, 8, false);
    return ForgeBmp(recipe);
}

// Shades of orange and one pale yellow, 3 x 2; a full table pads them with black.
const std::vector<Pixel> kOranges = {0xFFFFFF, 0x000000, 0xFF8000, 0xC06000, 0xFFFF90};
std::vector<std::uint8_t> EightBitPicture() {
    return EightBitPicture(kOranges, 3, 2);
}
std::vector<Pixel> FullOrangeTable() {
    std::vector<Pixel> table = kOranges;
    table.resize(256, 0x000000);
    return table;
}

// A 24-bit picture, 2 x 2.
std::vector<std::uint8_t> TrueColourPicture() {
    PixelBuffer p(2, 2);
    p.Set(0, 0, 0x102030);
    p.Set(1, 0, 0xFF0000);
    p.Set(0, 1, 0x00FF00);
    p.Set(1, 1, 0x102030);
    BmpRecipe recipe;
    recipe.width = 2;
    recipe.height = 2;
    recipe.bitCount = 24;
    recipe.bits = PackColourRows(p, 24, {0, 0, 0}, false);
    return ForgeBmp(recipe);
}

class PagePictureTest : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        return dir.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    TempDir dir;
    HostPaths paths;
    ScriptedDialogs dialogs;
    ColouringPagePicture picture{paths, dialogs};
};

TEST_F(PagePictureTest, EmptyNameShowsNothingAndSucceeds) {
    auto f = Write("a.bmp", FourBitPicture());
    ASSERT_EQ(picture.LoadPicture(f.string()), 1);
    EXPECT_EQ(picture.LoadPicture(""), 1);
    EXPECT_FALSE(picture.HasPicture());
    EXPECT_EQ(picture.CurrentFileName(), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PagePictureTest, MissingAndUnreadableFilesReportTheirMessages) {
    std::string missing = (dir / "NONE.BMP").string();
    EXPECT_EQ(picture.LoadPicture(missing), 0);
    EXPECT_EQ(picture.CurrentFileName(), "");
    auto junk = dir.Write("junk.bmp", "this is no bitmap");
    EXPECT_EQ(picture.LoadPicture(junk.string()), 0);
    EXPECT_EQ(picture.CurrentFileName(), junk.string());
    EXPECT_FALSE(picture.HasPicture());
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Cannot find file: " + missing +
                  ".\n\nPlease verify that the correct path and filename are given.");
    EXPECT_EQ(dialogs.messages[1].text, junk.string() + "\nUnsupported picture file type.");
    EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Exclamation);
}

TEST_F(PagePictureTest, BufferHoldsTheFilesOwnColours) {
    ASSERT_EQ(picture.LoadPicture(Write("t.bmp", TrueColourPicture()).string()), 1);
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Buffer().At(0, 0), 0x102030u);
    EXPECT_EQ(picture.Buffer().At(1, 0), 0xFF0000u);
    ASSERT_EQ(picture.LoadPicture(Write("e.bmp", EightBitPicture()).string()), 1);
    EXPECT_EQ(picture.Buffer().At(2, 0), 0xFF8000u);
}

TEST_F(PagePictureTest, PalettesFollowTheBitDepth) {
    std::vector<LogPalette> handed;
    picture.SetPaletteHook([&](const LogPalette& p) { handed.push_back(p); });
    const LogPalette pristine = CreateColorTablePalette();

    // An 8-bit picture with room in its table: its own colours, then the
    // paint colours it lacks (all but white and black), so the wells show
    // the table colours.
    ASSERT_EQ(picture.LoadPicture(Write("e.bmp", EightBitPicture()).string()), 1);
    ASSERT_NE(picture.PaletteInUse(), nullptr);
    const LogPalette& inUse = *picture.PaletteInUse();
    ASSERT_EQ(inUse.entries.size(), kOranges.size() + kColorCount - 2);
    for (std::size_t i = 0; i < kOranges.size(); ++i)
        EXPECT_EQ(PaletteEntryPixel(inUse.entries[i]), kOranges[i]) << i;
    EXPECT_EQ(PaletteEntryPixel(inUse.entries[kOranges.size()]), ColorTablePixel(2));
    EXPECT_EQ(picture.WorkingPalette(), pristine);

    // A full table stays as it is, and wells 16..29 take its nearest colours:
    // orange (255, 128, 64) the picture's orange, pale yellow (255, 255, 128)
    // its yellow, tan (255, 255, 204) its white.
    ASSERT_EQ(
        picture.LoadPicture(Write("full.bmp", EightBitPicture(FullOrangeTable(), 3, 2)).string()),
        1);
    ASSERT_NE(picture.PaletteInUse(), nullptr);
    EXPECT_EQ(PaletteColours(*picture.PaletteInUse()), FullOrangeTable());
    const LogPalette& working = picture.WorkingPalette();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(working.entries[static_cast<std::size_t>(i)],
                  pristine.entries[static_cast<std::size_t>(i)]);
    EXPECT_EQ(working.entries[26], (PaletteEntry{0xFF, 0x80, 0x00, 0}));
    EXPECT_EQ(working.entries[16], (PaletteEntry{0xFF, 0xFF, 0x90, 0}));
    EXPECT_EQ(working.entries[28], (PaletteEntry{0xFF, 0xFF, 0xFF, 0}));
    ASSERT_FALSE(handed.empty());
    EXPECT_EQ(handed.back(), working);

    // A 4-bit picture afterwards puts the table colours back and uses them.
    ASSERT_EQ(picture.LoadPicture(Write("f.bmp", FourBitPicture()).string()), 1);
    EXPECT_EQ(picture.WorkingPalette(), pristine);
    EXPECT_EQ(handed.back(), pristine);
    EXPECT_EQ(picture.PaletteInUse(), &picture.WorkingPalette());

    // A true-colour picture has no own colours: wells 16..29 keep the table colours.
    ASSERT_EQ(picture.LoadPicture(Write("t.bmp", TrueColourPicture()).string()), 1);
    EXPECT_EQ(picture.WorkingPalette(), pristine);
    EXPECT_TRUE(picture.PaletteInUse()->entries.empty());
}

// A black-and-white 8-bit page painted in all thirty colours saves each of
// them exactly; with a full table they save as its nearest colours.
TEST_F(PagePictureTest, PaintedColoursSurviveSavingAnEightBitPage) {
    const fs::path lineArt = Write("art.bmp", EightBitPicture({0xFFFFFF, 0x000000}, 6, 5));
    const fs::path full = Write("full.bmp", EightBitPicture(FullOrangeTable(), 6, 5));
    for (const fs::path& page : {lineArt, full}) {
        ASSERT_EQ(picture.LoadPicture(page.string()), 1);
        for (int colour = 0; colour < kColorCount; ++colour)
            picture.Buffer().Set(colour % 6, colour / 6, ColorTablePixel(colour));
        const fs::path copy = dir / ("copy-" + page.filename().string());
        ASSERT_EQ(picture.SavePicture(copy.string()), 1);
        DibHandle back = LoadDIB(copy);
        ASSERT_TRUE(back);
        const PixelBuffer saved = DIBToBitmap(*back);
        if (page == lineArt) {
            EXPECT_EQ(saved, picture.Buffer());
            ASSERT_EQ(picture.LoadPicture(copy.string()), 1); // the copy colours the same
            EXPECT_EQ(picture.WorkingPalette(), picture.PristinePalette());
        } else {
            EXPECT_EQ(back->colorTable, FullOrangeTable());
            EXPECT_EQ(saved.At(4, 0), 0xC06000u); // red became the dark orange
        }
    }
}

TEST_F(PagePictureTest, SavedPicturesReadBackAsEightBitWithTheirSize) {
    auto f = Write("f.bmp", FourBitPicture());
    ASSERT_EQ(picture.LoadPicture(f.string()), 1);
    picture.Buffer().Set(2, 1, ColorTablePixel(4)); // a red dot
    auto copy = dir / "copy.bmp";
    ASSERT_EQ(picture.SavePicture(copy.string()), 1);
    DibHandle back = LoadDIB(copy);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->header.bitCount, 8);
    EXPECT_EQ(DIBWidth(*back), 6);
    EXPECT_EQ(DIBHeight(*back), 4);
    EXPECT_EQ(back->colorTable.size(), 30u);
    EXPECT_EQ(DIBToBitmap(*back), picture.Buffer());

    // An empty name saves over the current file; a true-colour picture saves
    // with colours built from itself, so nothing is lost.
    ASSERT_EQ(picture.LoadPicture(Write("t.bmp", TrueColourPicture()).string()), 1);
    ASSERT_EQ(picture.SavePicture(""), 1);
    DibHandle again = LoadDIB(dir / "t.bmp");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->header.bitCount, 8);
    EXPECT_EQ(DIBToBitmap(*again).At(0, 0), 0x102030u);

    // Nothing loaded, or a folder in the way: nothing written.
    picture.FreePicture();
    EXPECT_EQ(picture.SavePicture((dir / "x.bmp").string()), 0);
    ASSERT_EQ(picture.LoadPicture(f.string()), 1);
    dir.MakeDir("busy.bmp");
    EXPECT_EQ(picture.SavePicture((dir / "busy.bmp").string()), 0);
}

TEST_F(PagePictureTest, LoadPageFallsBackToTheOriginalWhenColouringIsAllowed) {
    dir.MakeDir("orig");
    dir.MakeDir("copies");
    Write("orig/COW.BMP", FourBitPicture());
    FixedAudioDevices devices(1, 1);
    MciExtensions mci;
    RunningState state;
    CVolDoc doc(paths, mci, devices, dialogs, state);
    auto vol = dir.Write(
        "v.vol",
        "[Volume]\nOrgPath=" + (dir / "orig").string() + "\nCopyDir=" + (dir / "copies").string() +
            "\nNumPages=2\n[Picture Files]\nPage1=" + (dir / "copies").string() + "\\COW.BMP\n");
    ASSERT_TRUE(doc.OnOpenDocument(vol.string()));
    EXPECT_EQ(picture.LoadPage(doc, 1), 1);
    EXPECT_EQ(picture.CurrentFileName(), (dir / "orig").string() + "\\COW.BMP");
    EXPECT_EQ(picture.LoadPage(doc, 2), 1); // no entry: nothing shown
    EXPECT_FALSE(picture.HasPicture());
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
