#include "book_tool/convert_picture.h"

#include "bmp_forge.h"
#include "book_tool/book_tool.h"
#include "line_drawings.h"
#include "model/controls/color_table.h"
#include "model/display/colour_match.h"
#include "model/display/dib.h"
#include "model/display/page_picture.h"
#include "platform/host_paths.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Result {
    int rc;
    std::string out, err;
};

Result Convert(const fs::path& in, const fs::path& out) {
    std::ostringstream report, err;
    int rc = RunBookTool({"convert", in.string(), out.string()}, report, err);
    return {rc, report.str(), err.str()};
}

// A picture whose colours all differ from their neighbours: every form of
// stored pixels has to be decoded right for it to come back.
std::vector<std::uint8_t> Indices(int width, int height, int colours) {
    std::vector<std::uint8_t> idx(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < idx.size(); ++i)
        idx[i] = static_cast<std::uint8_t>((i * 7 + i / 5) % std::size_t(colours));
    return idx;
}

std::vector<Pixel> Shades(int count) {
    std::vector<Pixel> table;
    for (int i = 0; i < count; ++i)
        table.push_back(MakePixel(std::uint8_t(i * 13), std::uint8_t(255 - i * 7),
                                  std::uint8_t(i * 101 % 256)));
    return table;
}

std::vector<std::uint8_t> IndexedFile(int bitCount, std::uint32_t compression, bool topDown) {
    constexpr int kW = 13, kH = 7;
    const int colours = bitCount == 1 ? 2 : bitCount == 4 ? 16 : 40;
    const auto idx = Indices(kW, kH, colours);
    BmpRecipe recipe;
    recipe.width = kW;
    recipe.height = topDown ? -kH : kH;
    recipe.bitCount = static_cast<std::uint16_t>(bitCount);
    recipe.compression = compression;
    recipe.colorTable = Shades(colours);
    recipe.bits = compression == kDibRgb ? PackIndexRows(idx, kW, kH, bitCount, topDown)
                                         : EncodeRle(idx, kW, kH, bitCount);
    return ForgeBmp(recipe);
}

std::vector<std::uint8_t> TrueColourFile(const PixelBuffer& picture) {
    BmpRecipe recipe;
    recipe.width = picture.Width();
    recipe.height = picture.Height();
    recipe.bitCount = 24;
    recipe.bits = PackColourRows(picture, 24, {0, 0, 0}, false);
    return ForgeBmp(recipe);
}

class ConvertTest : public ::testing::Test {
protected:
    fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        return dir.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    static DibHandle Load(const fs::path& file) {
        std::string why;
        DibHandle dib = LoadDIB(file, &why);
        EXPECT_TRUE(dib) << why;
        return dib;
    }
    // What the program writes: an uncompressed 8-bit file with an info header.
    static void ExpectPageFile(const fs::path& file) {
        const std::string bytes = ReadFileBytes(file);
        ASSERT_GT(bytes.size(), 54u);
        EXPECT_EQ(bytes[14], 40);       // info header
        EXPECT_EQ(bytes[28], 8);        // bits per pixel
        EXPECT_EQ(bytes[30], kDibRgb);  // no compression
        EXPECT_EQ(bytes[25] & 0x80, 0); // a positive height: bottom row first
    }
    TempDir dir;
};

TEST_F(ConvertTest, FewColoursKeepTheirOwnColoursFollowedByThePaintColours) {
    PixelBuffer art(5, 3, 0x123456);
    art.Set(1, 0, 0xFFFFFF); // white and red are paint colours
    art.Set(2, 2, 0xFF0000);
    const fs::path in = Write("art.bmp", TrueColourFile(art));
    const fs::path out = dir / "PAGE.BMP";
    Result r = Convert(in, out);
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_EQ(r.out, "Wrote " + out.string() +
                         ": 5 x 3 pixels, 8 bits, 31 colours; every pixel kept its colour.\n");
    ExpectPageFile(out);
    DibHandle page = Load(out);
    ASSERT_TRUE(page);
    EXPECT_EQ(DIBToBitmap(*page), art);
    ASSERT_EQ(page->colorTable.size(), 31u);
    EXPECT_EQ(page->colorTable[0], 0x123456u); // in order of appearance, top row first
    EXPECT_EQ(page->colorTable[1], 0xFFFFFFu);
    EXPECT_EQ(page->colorTable[2], 0xFF0000u);
    EXPECT_EQ(page->colorTable[3], ColorTablePixel(1)); // black, then the other paint colours
    EXPECT_EQ(page->colorTable[30], ColorTablePixel(29));
}

TEST_F(ConvertTest, EveryStoredFormGivesTheSamePixels) {
    struct Form {
        const char* name;
        int bitCount;
        std::uint32_t compression;
        bool topDown;
    };
    for (const Form& f : {Form{"1-bit", 1, kDibRgb, false}, Form{"4-bit", 4, kDibRgb, false},
                          Form{"8-bit top-down", 8, kDibRgb, true},
                          Form{"RLE8", 8, kDibRle8, false}, Form{"RLE4", 4, kDibRle4, false}}) {
        const fs::path in = Write("in.bmp", IndexedFile(f.bitCount, f.compression, f.topDown));
        DibHandle original = Load(in);
        ASSERT_TRUE(original) << f.name;
        const fs::path out = dir / "out.bmp";
        Result r = Convert(in, out);
        ASSERT_EQ(r.rc, kExitOk) << f.name << ": " << r.err;
        ExpectPageFile(out);
        DibHandle page = Load(out);
        ASSERT_TRUE(page) << f.name;
        EXPECT_EQ(DIBToBitmap(*page), DIBToBitmap(*original)) << f.name;
    }
}

TEST_F(ConvertTest, ManyColoursTakeTheNearestOfTheBuiltPalette) {
    PixelBuffer photo(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            photo.Set(x, y, MakePixel(std::uint8_t(x * 4), std::uint8_t(y * 4), 0x80));
    const fs::path out = dir / "out.bmp";
    Result r = Convert(Write("photo.bmp", TrueColourFile(photo)), out);
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_NE(r.out.find("pixels took the nearest colour of the table"), std::string::npos)
        << r.out;
    DibHandle page = Load(out);
    ASSERT_TRUE(page);
    ASSERT_EQ(page->colorTable.size(), 256u);
    const PixelBuffer shown = DIBToBitmap(*page);
    for (std::size_t i = 0; i < photo.PixelCount(); i += 37) {
        const int nearest = NearestPaletteIndex(page->colorTable, photo.Data()[i]);
        EXPECT_EQ(shown.Data()[i], page->colorTable[std::size_t(nearest)]) << i;
    }
}

// The program colours a converted black-and-white page in all thirty colours:
// its wells stay the table colours and a painted colour survives saving.
TEST_F(ConvertTest, AConvertedLineArtPageKeepsWhatAChildPaints) {
    BmpRecipe recipe;
    recipe.width = 8;
    recipe.height = 4;
    recipe.bitCount = 1;
    recipe.colorTable = {0xFFFFFF, 0x000000};
    recipe.bits = PackIndexRows(Indices(8, 4, 2), 8, 4, 1, false);
    const fs::path page = dir / "PAGE.BMP";
    ASSERT_EQ(Convert(Write("art.bmp", ForgeBmp(recipe)), page).rc, kExitOk);

    HostPaths paths;
    ScriptedDialogs dialogs;
    ColouringPagePicture picture(paths, dialogs);
    ASSERT_EQ(picture.LoadPicture(page.string()), 1);
    EXPECT_EQ(picture.WorkingPalette(), picture.PristinePalette());
    for (int colour = 0; colour < kColorCount; ++colour)
        picture.Buffer().Set(colour % 8, colour / 8, ColorTablePixel(colour));
    ASSERT_EQ(picture.SavePicture(""), 1);
    DibHandle coloured = Load(page);
    ASSERT_TRUE(coloured);
    EXPECT_EQ(DIBToBitmap(*coloured), picture.Buffer());
}

TEST_F(ConvertTest, APictureMayBeConvertedInPlace) {
    const fs::path file = Write("cat.bmp", IndexedFile(4, kDibRle4, false));
    const PixelBuffer before = DIBToBitmap(*Load(file));
    ASSERT_EQ(Convert(file, file).rc, kExitOk);
    ExpectPageFile(file);
    EXPECT_EQ(DIBToBitmap(*Load(file)), before);
}

// PNG and JPEG are read too; --clean leaves only black outlines on white.
TEST_F(ConvertTest, PngAndJpegAreReadAndCleanedOnRequest) {
    PixelBuffer art(9, 9, 0xFFFFFF);
    for (int i = 1; i < 8; ++i) {
        art.Set(i, 1, 0x404040); // a grey square outline
        art.Set(i, 7, 0x404040);
        art.Set(1, i, 0x404040);
        art.Set(7, i, 0x404040);
    }
    const fs::path png = dir.Write("art.png", EncodePng(art));
    Result r = Convert(png, dir / "plain.bmp");
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_EQ(DIBToBitmap(*Load(dir / "plain.bmp")), art);
    std::ostringstream report, err;
    ASSERT_EQ(RunBookTool({"convert", png.string(), (dir / "clean.bmp").string(), "--clean"},
                          report, err),
              kExitOk)
        << err.str();
    PixelBuffer clean = art;
    for (std::size_t i = 0; i < clean.PixelCount(); ++i)
        clean.Data()[i] = clean.Data()[i] == 0xFFFFFF ? 0xFFFFFF : 0x000000;
    EXPECT_EQ(DIBToBitmap(*Load(dir / "clean.bmp")), clean);
    EXPECT_EQ(report.str().rfind("Cleaned up: black at luminance ", 0), 0u) << report.str();

    const fs::path jpeg = dir.Write("art.jpg", EncodeJpeg(art, 100));
    r = Convert(jpeg, dir / "jpeg.bmp");
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_EQ(DIBToBitmap(*Load(dir / "jpeg.bmp")).Width(), 9);
}

TEST_F(ConvertTest, AMissingPictureWritesNothing) {
    const fs::path out = dir / "out.bmp";
    Result r = Convert(dir / "none.bmp", out);
    EXPECT_EQ(r.rc, kExitNoInput);
    EXPECT_EQ(r.err, "tintaroo-book: no such file: " + (dir / "none.bmp").string() + "\n");
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ConvertTest, AnUnreadablePictureLeavesTheOldPageAlone) {
    const fs::path out = dir.Write("out.bmp", "old page");
    std::vector<std::uint8_t> cut = IndexedFile(8, kDibRgb, false);
    cut.resize(cut.size() - 20);
    for (const fs::path& in : {dir.Write("notes.txt", "no bitmap at all"), Write("cut.bmp", cut)}) {
        Result r = Convert(in, out);
        EXPECT_EQ(r.rc, kExitUnreadable) << in;
        EXPECT_EQ(r.err.rfind("tintaroo-book: " + in.string() + " cannot be read as a ", 0), 0u)
            << r.err;
        EXPECT_EQ(ReadFileBytes(out), "old page");
    }
}

TEST_F(ConvertTest, AnUnwritablePageIsReportedAndLeavesNoTemporaryFile) {
    const fs::path in = Write("in.bmp", IndexedFile(8, kDibRgb, false));
    Result r = Convert(in, dir / "no folder" / "PAGE.BMP");
    EXPECT_EQ(r.rc, kExitUnwritable);
    EXPECT_EQ(r.err, "tintaroo-book: cannot write " + (dir / "no folder" / "PAGE.BMP").string() +
                         ": no new file can be made in its folder\n");

    const fs::path folder = dir.MakeDir("PAGE.BMP");
    r = Convert(in, folder);
    EXPECT_EQ(r.rc, kExitUnwritable);
    EXPECT_NE(r.err.find("cannot write " + folder.string()), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_directory(folder));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 2); // the picture and the folder
}

TEST_F(ConvertTest, APageIsWrittenThroughASymbolicLinkToItsTarget) {
    const fs::path in = Write("in.bmp", IndexedFile(8, kDibRgb, false));
    const fs::path real = dir.Write("pages/PAGE.BMP", "old page");
    const fs::path link = dir / "PAGE.BMP";
    fs::create_symlink("pages/PAGE.BMP", link);
    Result r = Convert(in, link);
    ASSERT_EQ(r.rc, kExitOk) << r.err;
    EXPECT_TRUE(fs::is_symlink(link));
    ExpectPageFile(real);
}

TEST_F(ConvertTest, DevicesAndReadOnlyPagesAreRefusedAndLeftAlone) {
    const fs::path in = Write("in.bmp", IndexedFile(8, kDibRgb, false));
    fs::create_symlink("/dev/null", dir / "null.bmp");
    for (const fs::path& out : {fs::path("/dev/null"), dir / "null.bmp"}) {
        Result r = Convert(in, out);
        EXPECT_EQ(r.rc, kExitUnwritable) << out;
        EXPECT_EQ(r.err, "tintaroo-book: cannot write " + out.string() +
                             ": it is not a regular file (a folder or a device); it was left "
                             "alone\n");
        EXPECT_TRUE(fs::is_character_file("/dev/null"));
    }
    EXPECT_TRUE(fs::is_symlink(dir / "null.bmp"));

    // Without write permission, here someone else's page when run as root.
    const fs::path locked = dir.Write("LOCKED.BMP", "old page");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(locked.c_str(), 65534, 65534), 0);
    }
    Result r = Convert(in, locked);
    EXPECT_EQ(r.rc, kExitUnwritable);
    EXPECT_EQ(r.err, "tintaroo-book: cannot write " + locked.string() +
                         ": the file is read-only; it was left alone\n");
    EXPECT_EQ(ReadFileBytes(locked), "old page");
    struct stat st {};
    ASSERT_EQ(::stat(locked.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
}

TEST_F(ConvertTest, APictureThatIsNotAFileIsRefusedAtOnce) {
    const fs::path folder = dir.MakeDir("folder.bmp");
    Result r = Convert(folder, dir / "out.bmp");
    EXPECT_EQ(r.rc, kExitUnreadable);
    EXPECT_EQ(r.err, "tintaroo-book: " + folder.string() +
                         " cannot be read as a picture: not a regular file\n");

    // A FIFO without a writer would block an ordinary open for ever; the
    // child's alarm turns such a hang into a failure.
    const fs::path fifo = dir / "fifo.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(10);
        ::_exit(Convert(fifo, dir / "out.bmp").rc);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "the convert of a FIFO did not end";
    EXPECT_EQ(WEXITSTATUS(status), kExitUnreadable);
    EXPECT_FALSE(fs::exists(dir / "out.bmp"));
}

TEST_F(ConvertTest, UsageAndHelp) {
    std::ostringstream out, err;
    EXPECT_EQ(RunBookTool({"convert", "a.bmp"}, out, err), kExitUsage);
    EXPECT_EQ(RunBookTool({"convert", "a.bmp", "b.bmp", "c.bmp"}, out, err), kExitUsage);
    std::ostringstream help;
    EXPECT_EQ(RunBookTool({"--help"}, help, err), kExitOk);
    EXPECT_NE(help.str().find("convert PICTURE PAGE"), std::string::npos);
    EXPECT_NE(help.str().find("4 a picture (or sound)"), std::string::npos);
    EXPECT_EQ(RunBookTool({"convert", "a.bmp", "b.bmp", "--gap", "2"}, out, err), kExitUsage);
    EXPECT_EQ(RunBookTool({"convert", "a.bmp", "b.bmp", "--clean", "--gap", "x"}, out, err),
              kExitUsage);
}

} // namespace
