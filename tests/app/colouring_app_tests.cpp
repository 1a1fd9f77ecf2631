// Colouring a page in the real windows (offscreen), as a child would: the
// colouring bar, the tools on the canvas, Undo, Done and the coloured copy
// on disc, and the cases where colouring must not start or must not end.
#include "app/volume_app.h"

#include "colouring/my_image_view.h"
#include "colouring/paint_wnd.h"
#include "controls/coloring_bar.h"
#include "controls/hand_button.h"
#include "controls/tool_button.h"
#include "controls/viewer_bar.h"
#include "mainframe/main_frame.h"
#include "model/controls/color_table.h"
#include "model/display/dib.h"
#include "model/volume/vol_doc.h"
#include "platform/profile_file.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCoocooBytes = 3436;
constexpr std::size_t kSplashBytes[] = {2534, 1120, 2192, 3940};

// 80 x 60 line art in two colours: a black frame 2 pixels wide around the
// white box (20..59, 15..44), white outside.
void WriteLineArt(const fs::path& file) {
    PixelBuffer p(80, 60, 0xFFFFFF);
    for (int y = 13; y < 47; ++y)
        for (int x = 18; x < 62; ++x)
            if (x < 20 || x > 59 || y < 15 || y > 44)
                p.Set(x, y, 0);
    LogPalette bw;
    bw.entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    DibHandle dib = ChangeBitmapFormat(p, 8, kDibRgb, bw);
    ASSERT_TRUE(dib);
    ASSERT_EQ(SaveDIB(*dib, file), DibSaveResult::Saved);
}

class ColouringAppTest : public ::testing::Test {
protected:
    ColouringAppTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        org = dir.MakeDir("pages");
        copies = dir.MakeDir("copies");
        WriteLineArt(org / "BOX.BMP");
        // Page 2 shows a coloured copy whose original is gone.
        WriteLineArt(copies / "LOST.BMP");
        volume = dir.Write("book.vol", "[Volume]\nTitle=Box\nOrgPath=" + org.string() +
                                           "\nCopyDir=" + copies.string() +
                                           "\nNumPages=2\n[Picture Files]\nPage1=BOX.BMP\n"
                                           "Page2=" +
                                           copies.string() + "\\LOST.BMP\n");
    }

    void Start(const fs::path& book) {
        app = std::make_unique<CVolumeApp>(settings, "", &dialogs, &audio);
        ASSERT_TRUE(app->InitInstance());
        ASSERT_TRUE(app->OpenDocumentFile(book.string()));
        app->OnIdle(0);
    }
    void StartColouring() {
        Start(volume);
        ASSERT_TRUE(app->RouteCommand(ID_COLOUR_PAGE));
        ASSERT_EQ(State().m_nMode, Mode::Colouring);
        audio.waves.clear();
    }

    RunningState& State() { return app->State(); }
    CMainFrame& Frame() { return app->Frame(); }
    CPaintWnd& Canvas() { return *app->View().GetPaintWnd(); }
    Pixel At(int x, int y) { return app->View().Picture().Buffer().At(x, y); }
    // A mouse event on the canvas at a picture pixel.
    void Mouse(QEvent::Type type, int x, int y) {
        const QPointF at(x + 1, y + 1); // inside the one-pixel border
        QMouseEvent event(type, at, Canvas().mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&Canvas(), &event);
    }
    void Click(int x, int y) {
        Mouse(QEvent::MouseButtonPress, x, y);
        Mouse(QEvent::MouseButtonRelease, x, y);
    }
    long Splashes() const {
        return std::count_if(audio.waves.begin(), audio.waves.end(), [](std::size_t n) {
            return std::find(std::begin(kSplashBytes), std::end(kSplashBytes), n) !=
                   std::end(kSplashBytes);
        });
    }

    TempDir dir;
    fs::path org, copies, volume;
    QSettings settings;
    ScriptedDialogs dialogs;
    RecordingAudio audio;
    std::unique_ptr<CVolumeApp> app;
};

TEST_F(ColouringAppTest, ColourThisPageSwapsTheBarsAndShowsEveryTool) {
    Start(volume);
    ASSERT_TRUE(app->QueryCommand(ID_COLOUR_PAGE).enabled);
    const int height = Frame().ViewerBar().height();
    ASSERT_TRUE(app->RouteCommand(ID_COLOUR_PAGE));
    EXPECT_EQ(State().m_nMode, Mode::Colouring);
    ASSERT_EQ(audio.waves.size(), 1u); // one of the seven random sounds
    EXPECT_TRUE(Frame().ViewerBar().isHidden());
    CColoringBar& bar = Frame().ColoringBar();
    EXPECT_FALSE(bar.isHidden());
    EXPECT_EQ(bar.height(), height); // the page does not jump
    app->OnIdle(0);
    EXPECT_EQ(bar.Palette()->geometry(), QRect(0, 2, 271, 73));
    int left = 0;
    for (CommandId id : CColoringBar::kToolIds) {
        CToolButton* button = bar.ToolButton(id);
        ASSERT_TRUE(button) << id;
        EXPECT_GE(button->x(), std::max(left, 271)) << id; // after the palette, in strip order
        left = button->x() + button->width();
    }
    EXPECT_TRUE(bar.ToolButton(ID_TOOL_FILL)->isChecked());
    EXPECT_TRUE(bar.ToolButton(ID_BRUSH_MEDIUM)->isChecked());
    EXPECT_EQ(bar.Button(ID_UNDO)->ShownFace(), "UNDOX"); // nothing to undo yet
    EXPECT_EQ(bar.Button(ID_DONE)->x(),
              bar.Button(ID_UNDO)->x() + bar.Button(ID_UNDO)->width() - 1);

    audio.waves.clear();
    ASSERT_TRUE(app->RouteCommand(ID_TOOL_BRUSH));
    ASSERT_TRUE(app->RouteCommand(ID_BRUSH_LARGE));
    app->OnIdle(0);
    EXPECT_EQ(State().m_nTool, Tool::Brush);
    EXPECT_EQ(State().m_nBrushSize, 2);
    EXPECT_TRUE(bar.ToolButton(ID_TOOL_BRUSH)->isChecked());
    EXPECT_FALSE(bar.ToolButton(ID_TOOL_FILL)->isChecked());
    EXPECT_TRUE(bar.ToolButton(ID_BRUSH_LARGE)->isChecked());
    EXPECT_EQ(Splashes(), 1); // the tool's splash; a size makes no sound
}

TEST_F(ColouringAppTest, FillOutlineUndoAndDoneKeepTheColouredPage) {
    StartColouring();
    State().m_nColor = 9;
    const Pixel paint = ColorTablePixel(9);
    Click(40, 30);
    EXPECT_EQ(At(40, 30), paint);
    EXPECT_EQ(At(20, 15), paint);
    EXPECT_EQ(At(10, 10), 0xFFFFFFu); // outside the frame
    EXPECT_EQ(Splashes(), 1);
    Click(19, 30); // on the outline
    EXPECT_EQ(audio.waves.back(), kCoocooBytes);
    EXPECT_EQ(app->View().GetUndoCount(), 1);
    ASSERT_TRUE(app->RouteCommand(ID_UNDO));
    EXPECT_EQ(At(40, 30), 0xFFFFFFu);
    EXPECT_EQ(audio.waves.back(), kCoocooBytes);
    EXPECT_FALSE(app->QueryCommand(ID_UNDO).enabled);

    Click(40, 30);
    ASSERT_TRUE(app->RouteCommand(ID_DONE));
    EXPECT_EQ(State().m_nMode, Mode::Viewer);
    EXPECT_FALSE(Frame().ViewerBar().isHidden());
    const std::string entry = copies.string() + "\\BOX.BMP";
    EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, volume), entry);
    EXPECT_EQ(app->Doc().GetPageFile(1, PageFileKind::Picture), entry);
    DibHandle kept = LoadDIB(copies / "BOX.BMP");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->header.bitCount, 8);
    const PixelBuffer pixels = DIBToBitmap(*kept);
    EXPECT_EQ(pixels.At(40, 30), paint); // the painted colour, exactly
    EXPECT_EQ(pixels.At(19, 30), 0u);
    EXPECT_EQ(app->View().Picture().CurrentFileName(), entry); // the page shows the copy
    EXPECT_EQ(At(40, 30), paint);
}

// The toolkit delivers the second press of a double click only as a double
// click: press, release, double click, release fill once.
TEST_F(ColouringAppTest, AFastDoubleClickFillsOnce) {
    StartColouring();
    Mouse(QEvent::MouseButtonPress, 40, 30);
    Mouse(QEvent::MouseButtonRelease, 40, 30);
    Mouse(QEvent::MouseButtonDblClick, 40, 30);
    Mouse(QEvent::MouseButtonRelease, 40, 30);
    EXPECT_EQ(app->View().GetUndoCount(), 1);
    EXPECT_EQ(Splashes(), 1);
    EXPECT_EQ(State().m_nMode, Mode::Colouring);
}

TEST_F(ColouringAppTest, ADoubleClickStartsColouringOnlyWhereColourThisPageCould) {
    Start(volume);
    Mouse(QEvent::MouseButtonDblClick, 40, 30);
    EXPECT_EQ(State().m_nMode, Mode::Colouring);
    EXPECT_TRUE(audio.waves.empty()); // no sound of its own

    fs::path plain = dir.Write("plain.vol", "[Volume]\nOrgPath=" + org.string() +
                                                "\nNumPages=1\n[Picture Files]\nPage1=BOX.BMP\n");
    app.reset();
    Start(plain); // no CopyDir: no colouring
    Mouse(QEvent::MouseButtonDblClick, 40, 30);
    EXPECT_EQ(State().m_nMode, Mode::Viewer);
    State().g_bSlideShowRunning = true;
    app.reset();
    Start(volume);
    State().g_bSlideShowRunning = true;
    Mouse(QEvent::MouseButtonDblClick, 40, 30);
    EXPECT_EQ(State().m_nMode, Mode::Viewer);
}

TEST_F(ColouringAppTest, AnOriginalThatCannotBeReadKeepsTheViewerAndSaysWhich) {
    Start(volume);
    Frame().GoToPage(2);
    ASSERT_TRUE(app->QueryCommand(ID_COLOUR_PAGE).enabled);
    dialogs.messages.clear();
    ASSERT_TRUE(app->RouteCommand(ID_COLOUR_PAGE));
    EXPECT_EQ(State().m_nMode, Mode::Viewer);
    EXPECT_FALSE(Frame().ViewerBar().isHidden());
    EXPECT_TRUE(Frame().ColoringBar().isHidden());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Cannot find file: " + org.string() +
                                            "\\LOST.BMP.\n\nPlease verify that the correct "
                                            "path and filename are given.");
}

TEST_F(ColouringAppTest, DropsAndOpensWaitWhileColouring) {
    StartColouring();
    fs::path other = dir.Write("other.vol", "[Volume]\nTitle=Other\nOrgPath=" + org.string() +
                                                "\nNumPages=1\n[Picture Files]\nPage1=BOX.BMP\n");
    Click(40, 30);
    Frame().OpenDroppedFiles({QUrl::fromLocalFile(QString::fromStdString(other.string()))});
    EXPECT_EQ(app->Doc().GetTitle(), "Box");
    EXPECT_EQ(app->View().GetUndoCount(), 1);
    EXPECT_FALSE(app->QueryCommand(ID_FILE_OPEN).enabled);
}

TEST_F(ColouringAppTest, AFailedDoneStaysInColouringWithTheColouring) {
    StartColouring();
    Click(40, 30);
    fs::remove_all(copies);
    dialogs.messages.clear();
    ASSERT_TRUE(app->RouteCommand(ID_DONE));
    EXPECT_EQ(State().m_nMode, Mode::Colouring);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(app->View().GetUndoCount(), 1);
    EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, volume), "BOX.BMP");
}

} // namespace

namespace {

// The pointer over the canvas shows the tool: the roller, the brush's own
// footprint for each size, the cross for the line; the default in the viewer.
TEST_F(ColouringAppTest, ThePointerShowsTheToolAndTheBrushSize) {
    Start(volume);
    EXPECT_FALSE(Canvas().testAttribute(Qt::WA_SetCursor));
    ASSERT_TRUE(app->RouteCommand(ID_COLOUR_PAGE));
    EXPECT_EQ(Canvas().cursor().hotSpot(), QPoint(0, 28)); // the roller's handle
    ASSERT_TRUE(app->RouteCommand(ID_TOOL_LINE));
    EXPECT_EQ(Canvas().cursor().shape(), Qt::CrossCursor);
    ASSERT_TRUE(app->RouteCommand(ID_TOOL_BRUSH));
    std::vector<QImage> brushes;
    for (CommandId size : {ID_BRUSH_SMALL, ID_BRUSH_MEDIUM, ID_BRUSH_LARGE}) {
        ASSERT_TRUE(app->RouteCommand(size));
        EXPECT_EQ(Canvas().cursor().hotSpot(), QPoint(16, 16));
        brushes.push_back(Canvas().cursor().bitmap().toImage());
        EXPECT_FALSE(brushes.back().isNull());
    }
    EXPECT_NE(brushes[0], brushes[1]);
    EXPECT_NE(brushes[1], brushes[2]);
    ASSERT_TRUE(app->RouteCommand(ID_DONE));
    EXPECT_FALSE(Canvas().testAttribute(Qt::WA_SetCursor));
}

} // namespace

namespace {

// Restore shows the original again and throws the copy away; a page coloured
// again and kept shows its copy, and so does "Show your colored picture".
TEST_F(ColouringAppTest, RestoreAndShowColouredSwitchThePageBetweenItsPictures) {
    StartColouring();
    Click(40, 30);
    ASSERT_TRUE(app->RouteCommand(ID_DONE));
    ASSERT_TRUE(fs::exists(copies / "BOX.BMP"));
    app->OnIdle(0);
    ASSERT_TRUE(app->QueryCommand(ID_RESTORE_PAGE).enabled);
    ASSERT_TRUE(app->RouteCommand(ID_RESTORE_PAGE));
    const std::string original = org.string() + "\\BOX.BMP";
    EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, volume), original);
    EXPECT_FALSE(fs::exists(copies / "BOX.BMP"));
    EXPECT_EQ(At(40, 30), 0xFFFFFFu);
    EXPECT_TRUE(fs::exists(org / "BOX.BMP"));

    ASSERT_TRUE(app->RouteCommand(ID_COLOUR_PAGE));
    Click(40, 30);
    ASSERT_TRUE(app->RouteCommand(ID_DONE));
    ASSERT_TRUE(app->RouteCommand(ID_UPDATE_PAGE));
    EXPECT_EQ(GetPrivateProfileString("Picture Files", "Page1", "", 512, volume),
              copies.string() + "\\BOX.BMP");
    EXPECT_EQ(app->View().Picture().CurrentFileName(), copies.string() + "\\BOX.BMP");
    EXPECT_NE(At(40, 30), 0xFFFFFFu);
}

} // namespace

namespace {

// Ctrl+P in the viewer prints the page: "printer" first, then, with no
// printer set up, the print dialog, whose Cancel prints nothing.
TEST_F(ColouringAppTest, CtrlPPrintsThroughTheDialogWhenNoPrinterIsSetUp) {
    Start(volume);
    Frame().Printer().SetPrinterLookup([] { return QPrinterInfo(); });
    QTest::keyClick(app->View().viewport(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(dialogs.printDialogs, 1);
    ASSERT_FALSE(audio.waves.empty());
    EXPECT_EQ(audio.waves.back(), 40496u); // "printer"
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
