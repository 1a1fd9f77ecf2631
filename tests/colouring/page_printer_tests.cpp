#include "colouring/page_printer.h"

#include "bmp_forge.h"
#include "framework/qt_dialogs.h"
#include "model/display/page_picture.h"
#include "model/display/print_layout.h"
#include "model/mainframe/running_state.h"
#include "model/resources/string_table.h"
#include "model/wait_cursor.h"
#include "platform/host_paths.h"
#include "support/recording_effects.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 7;
constexpr int kHeight = 5;

// Every pixel of the test picture a colour of its own.
Pixel SourcePixel(int x, int y) {
    return MakePixel(static_cast<std::uint8_t>(30 * x + 10), static_cast<std::uint8_t>(40 * y + 20),
                     static_cast<std::uint8_t>(200 - 9 * (x + y)));
}

std::vector<std::uint8_t> PictureFile() {
    PixelBuffer picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture.Set(x, y, SourcePixel(x, y));
    BmpRecipe recipe;
    recipe.width = kWidth;
    recipe.height = kHeight;
    recipe.bitCount = 24;
    recipe.bits = PackColourRows(picture, 24, {}, false);
    return ForgeBmp(recipe);
}

// Counts the wait cursor and notes whether it was up at a given moment.
class CountingCursor : public IWaitCursor {
public:
    void BeginWaitCursor() override { ++depth, ++shown; }
    void EndWaitCursor() override { --depth; }
    int depth = 0;
    int shown = 0;
};

// Where a device coordinate falls along one side of the picture drawn from
// `from` in `count` blocks of `scale`: -1 outside it by more than `margin`,
// `count` within `margin` of a block's edge, otherwise the block's index.
int BlockAt(double d, int from, int count, int scale, double margin) {
    const double into = d - from;
    if (into < -margin || into >= count * scale + margin)
        return -1;
    const double within = into - std::floor(into / scale) * scale;
    if (into < 0 || into >= count * scale || within < margin || within >= scale - margin)
        return count;
    return static_cast<int>(into / scale);
}

// How many pixels of a sheet differ from the picture drawn at `at` (device
// pixels), each picture pixel a block of `scale` device pixels, on white.
// Sheet pixel x lies at device point (x + 0.5) / k - origin. Pixels within
// `edge` sheet pixels of a block's edge are not judged: a coarser sheet may
// share them between neighbours.
int WrongPixels(const QImage& sheet, const PixelRect& at, int scale, double k = 1,
                QPointF origin = {}, double edge = 0) {
    int wrong = 0;
    for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            const int bx = BlockAt((x + 0.5) / k - origin.x(), at.left, kWidth, scale, edge / k);
            const int by = BlockAt((y + 0.5) / k - origin.y(), at.top, kHeight, scale, edge / k);
            Pixel expected = 0xFFFFFF;
            if (bx >= 0 && by >= 0) {
                if (bx == kWidth || by == kHeight)
                    continue;
                expected = SourcePixel(bx, by);
            }
            if (!SameColour(sheet.pixel(x, y), expected) && ++wrong < 5)
                ADD_FAILURE() << "sheet pixel " << x << "," << y << " is " << std::hex
                              << sheet.pixel(x, y) << ", expected " << expected;
        }
    }
    return wrong;
}

class PagePrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::uint8_t> bytes = PictureFile();
        file = dir.Write("page.bmp", std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(picture.LoadPicture(file.string()), 1);
        // Strokes not yet saved: the print must not show them.
        picture.Buffer().Fill(0xFF00FF);
        // Tests never reach the machine's printers.
        printer.SetPrinterLookup([] { return QPrinterInfo(); });
    }

    // The dialog answers Print with the job going to a PDF file.
    void PrintToFile(const std::filesystem::path& pdf) {
        dialogs.onPrintDialog = [pdf](QPrinter& p) {
            p.setOutputFileName(QString::fromStdString(pdf.string()));
            return true;
        };
    }

    TempDir dir;
    std::filesystem::path file;
    HostPaths paths;
    PagePicture picture{paths};
    ScriptedDialogs dialogs;
    CPagePrinter printer{dialogs};
};

// A device of a known size: each picture pixel must cover exactly its block
// of the layout's rectangle in its own colour, and nothing else is touched.
TEST_F(PagePrinterTest, DrawsTheBitmapAsReadInSharpBlocksAtTheLayout) {
    struct Device {
        int width, height;
        PixelRect at; // s = 14 and s = 3 (an odd printed width)
        int scale;
    };
    for (const Device& d :
         {Device{100, 80, {1, 5, 99, 75}, 14}, Device{23, 30, {1, 8, 22, 23}, 3}}) {
        SCOPED_TRACE(d.width);
        QImage sheet(d.width, d.height, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter painter(&sheet);
        ASSERT_TRUE(DrawPrintedPage(painter, picture));
        painter.end();
        EXPECT_EQ(WrongPixels(sheet, d.at, d.scale), 0);
    }
}

// Count of a PDF keyword, as Qt writes its (uncompressed) object dictionaries.
int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A PDF device gets one page with the bitmap at its own size, losslessly
// compressed (a JPEG would smear the outlines): the viewer or printer
// enlarges it.
TEST_F(PagePrinterTest, HandsAPdfTheBitmapAtItsOwnSizeLossless) {
    const auto pdf = dir / "writer.pdf";
    {
        QPdfWriter writer(QString::fromStdString(pdf.string()));
        QPainter painter(&writer);
        ASSERT_TRUE(DrawPrintedPage(painter, picture));
    }
    const std::string text = ReadFileBytes(pdf);
    EXPECT_EQ(Count(text, "/Type /Page\n") + Count(text, "/Type /Page "), 1);
    EXPECT_EQ(Count(text, "/Subtype /Image"), 1);
    EXPECT_EQ(Count(text, "/Width 7"), 1);
    EXPECT_EQ(Count(text, "/Height 5"), 1);
    EXPECT_EQ(Count(text, "/DCTDecode"), 0);
}

// With no printer set up the dialog decides: Cancel prints nothing, Print to
// a file writes the page there.
TEST_F(PagePrinterTest, WithoutAPrinterTheDialogDecides) {
    EXPECT_FALSE(printer.Print(picture, 3));
    EXPECT_EQ(dialogs.printDialogs, 1);

    const auto pdf = dir / "chosen.pdf";
    PrintToFile(pdf);
    EXPECT_TRUE(printer.Print(picture, 3));
    EXPECT_EQ(dialogs.printDialogs, 2);
    EXPECT_EQ(Count(ReadFileBytes(pdf), "/Width 7"), 1);
    EXPECT_TRUE(dialogs.messages.empty());
}

// The real dialog behind it works on the job's own printer; Cancel is false.
TEST(QtPrintDialogTest, OpensOnTheJobsPrinterAndCancels) {
    QtDialogs dialogs;
    QPrinter job(QPrinter::HighResolution);
    job.setOutputFormat(QPrinter::PdfFormat);
    QPrinter* shownFor = nullptr;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownFor = dialog->printer();
        dialog->reject();
    });
    EXPECT_FALSE(dialogs.PrintDialog(job));
    EXPECT_EQ(shownFor, &job);
}

// A job that cannot start says so instead of passing for printed.
TEST_F(PagePrinterTest, AJobThatCannotStartIsReported) {
    PrintToFile(dir / "no-such-folder" / "page.pdf");
    EXPECT_FALSE(printer.Print(picture, 1));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, LoadString(IDS_CANNOT_PRINT));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Exclamation);
}

// The command: nothing without a file; the "PRINTER" effect under the wait
// cursor before the job, unless the page sound plays.
TEST_F(PagePrinterTest, TheCommandPlaysThePrinterUnlessAPageSoundPlays) {
    struct Case {
        bool hasFile, soundPlaying;
        std::vector<std::string> sounds;
        int jobs;
    };
    for (const Case& c :
         {Case{false, false, {}, 0}, Case{true, true, {}, 1}, Case{true, false, {"PRINTER"}, 1}}) {
        SCOPED_TRACE(c.hasFile * 2 + c.soundPlaying);
        PagePicture shown(paths);
        ASSERT_EQ(shown.LoadPicture(c.hasFile ? file.string() : ""), 1);
        RunningState state;
        state.m_bSoundPlaying = c.soundPlaying;
        RecordingEffects effects;
        CountingCursor cursor;
        dialogs.printDialogs = 0;
        int cursorAtJob = -1;
        dialogs.onPrintDialog = [&](QPrinter&) {
            cursorAtJob = cursor.depth;
            EXPECT_EQ(effects.played, c.sounds); // played before the job starts
            return false;
        };
        printer.OnFilePrint(shown, state, effects, &cursor);
        EXPECT_EQ(effects.played, c.sounds);
        EXPECT_EQ(dialogs.printDialogs, c.jobs);
        EXPECT_EQ(cursor.shown, c.jobs);
        EXPECT_EQ(cursor.depth, 0);
        EXPECT_EQ(cursorAtJob, c.jobs ? 0 : -1);
    }
}

std::set<fs::path> PdfFiles(const fs::path& folder) {
    std::set<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().extension() == ".pdf")
            files.insert(entry.path());
    return files;
}

// The PDF the queue writes for the job: a file not there before, once its
// size has settled. Empty when none comes within a minute.
fs::path WaitForNewPdf(const fs::path& folder, const std::set<fs::path>& before) {
    std::error_code ec;
    for (int tries = 0; tries < 300; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (const fs::path& file : PdfFiles(folder)) {
            if (before.count(file))
                continue;
            auto size = fs::file_size(file, ec);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            if (!ec && size > 0 && size == fs::file_size(file, ec))
                return file;
        }
    }
    return {};
}

// The real print system, opt-in: tools/print_test.sh sets up a CUPS queue
// that writes PDF files, makes it the default printer and names it and its
// output folder. The job goes to the default printer without a dialog; the
// sheet, rendered at 100 dpi, must show every picture pixel as a block of its
// own colour exactly where the layout puts it, and white around it.
TEST_F(PagePrinterTest, RealQueuePrintsTheSheetCentredAndSharp) {
    const char* queue = std::getenv("TINTAROO_PRINT_QUEUE");
    const char* output = std::getenv("TINTAROO_PRINT_OUTPUT");
    if (!queue || !output)
        GTEST_SKIP() << "no test print queue: tools/print_test.sh runs this test";
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.printerName() != QString(queue))
        GTEST_SKIP() << "cupsd is not running or the default printer is not " << queue;

    const auto before = PdfFiles(output);
    CPagePrinter real(dialogs);
    ASSERT_TRUE(real.Print(picture, 2));
    EXPECT_EQ(dialogs.printDialogs, 0);
    EXPECT_TRUE(dialogs.messages.empty());
    const fs::path pdf = WaitForNewPdf(output, before);
    ASSERT_FALSE(pdf.empty()) << "no PDF appeared in " << output;
    const fs::path png = dir / "sheet";
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "100", "-png", "-singlefile",
                                             QString::fromStdString(pdf.string()),
                                             QString::fromStdString(png.string())}),
              0);
    const QImage sheet(QString::fromStdString(png.string() + ".png"));
    ASSERT_FALSE(sheet.isNull());

    // Where the job put the picture, in the printer's device pixels, and
    // from there on the 100-dpi sheet.
    QPrinter probe(info, QPrinter::HighResolution);
    const QPointF origin = probe.pageRect(QPrinter::DevicePixel).topLeft() -
                           probe.paperRect(QPrinter::DevicePixel).topLeft();
    const PixelRect at = PrintLayout(kWidth, kHeight, probe.width(), probe.height());
    const double k = 100.0 / probe.resolution();
    EXPECT_NEAR(sheet.width(), probe.paperRect(QPrinter::DevicePixel).width() * k, 1.0);
    EXPECT_EQ(WrongPixels(sheet, at, at.Width() / kWidth, k, origin, 1.5), 0);
}

} // namespace
