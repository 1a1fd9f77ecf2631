#include "colouring/my_image_view.h"

#include "display/picture_wnd.h"
#include "model/display/dib.h"
#include "model/mainframe/running_state.h"
#include "model/volume/vol_doc.h"
#include "platform/audio_devices.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "support/recording_effects.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_pump.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

namespace fs = std::filesystem;

namespace {

// A picture of w x h: a distinct colour in each corner, `fill` elsewhere.
fs::path WritePicture(const TempDir& dir, const std::string& name, int w, int h,
                      Pixel fill = 0xFFFFFF) {
    PixelBuffer p(w, h, fill);
    p.Set(0, 0, 0xFF0000);
    p.Set(w - 1, 0, 0x00FF00);
    p.Set(0, h - 1, 0x0000FF);
    p.Set(w - 1, h - 1, 0x000000);
    LogPalette pal;
    pal.entries = {{PixelRed(fill), PixelGreen(fill), PixelBlue(fill), 0},
                   {255, 0, 0, 0},
                   {0, 255, 0, 0},
                   {0, 0, 255, 0},
                   {0, 0, 0, 0}};
    DibHandle dib = ChangeBitmapFormat(p, 8, kDibRgb, pal);
    fs::path file = dir / name;
    EXPECT_TRUE(dib && SaveDIB(*dib, file) == DibSaveResult::Saved);
    return file;
}

// What the window holds on screen at a point of `widget`: unlike grab(),
// which paints the widget afresh, this shows whatever was left unrepainted.
QRgb OnScreen(QWidget* widget, QPoint at) {
    const QPoint p = widget->mapTo(widget->window(), at);
    const QPixmap shot =
        widget->screen()->grabWindow(widget->window()->winId(), p.x(), p.y(), 1, 1);
    return shot.toImage().pixel(0, 0) & 0xFFFFFF;
}

// Dialogs that run a check at the moment a message appears.
class WatchedDialogs : public ScriptedDialogs {
public:
    void MessageBox(const std::string& text, MessageIcon icon) override {
        if (onMessage)
            onMessage();
        ScriptedDialogs::MessageBox(text, icon);
    }
    std::function<void()> onMessage;
};

class ImageViewTest : public ::testing::Test {
protected:
    ImageViewTest()
        : devices(0, 0), doc(paths, mci, devices, dialogs, state),
          view(doc, paths, dialogs, state, pump, effects) {
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

    void ShowAt(int w, int h) {
        view.resize(w, h);
        view.show();
        QApplication::processEvents();
        ASSERT_EQ(view.ClientSize(), QSize(w, h));
    }

    TempDir dir;
    HostPaths paths;
    MciExtensions mci;
    FixedAudioDevices devices;
    WatchedDialogs dialogs;
    RunningState state;
    ScriptedPump pump;
    RecordingEffects effects;
    CVolDoc doc;
    CMyImageView view;
};

TEST_F(ImageViewTest, PictureCentredWhenTheViewIsLarger) {
    ShowAt(800, 600);
    ASSERT_EQ(view.LoadPicture(WritePicture(dir, "big.bmp", 640, 480).string()), 1);
    EXPECT_EQ(view.GetPictureWnd()->geometry(), QRect(80, 60, 640, 480));
    EXPECT_TRUE(view.GetPictureWnd()->isVisible());
    EXPECT_EQ(view.GetScrollPosition(), QPoint(0, 0));
    EXPECT_EQ(view.GetTotalSize(), QSize(648, 488));
}

TEST_F(ImageViewTest, SmallViewOpensScrolledToTheMiddle) {
    ShowAt(400, 300);
    ASSERT_EQ(view.LoadPicture(WritePicture(dir, "big.bmp", 640, 480).string()), 1);
    EXPECT_EQ(view.GetTotalSize(), QSize(648, 488));
    EXPECT_EQ(view.GetScrollPosition(), QPoint(124, 94));
    // 4 pixels inside the scroll range: client position + scroll position.
    EXPECT_EQ(view.GetPictureWnd()->pos() + view.GetScrollPosition(), QPoint(4, 4));
    // Scrolling to the top-left moves the canvas with the content.
    view.ScrollToPosition(QPoint(0, 0));
    EXPECT_EQ(view.GetPictureWnd()->pos(), QPoint(4, 4));
}

TEST_F(ImageViewTest, WithoutScrollingTheCanvasStaysCentred) {
    ShowAt(400, 300);
    view.LoadPicture(WritePicture(dir, "big.bmp", 640, 480).string());
    view.SetScrollBars(false, false);
    view.LayoutPicture();
    EXPECT_EQ(view.GetTotalSize(), QSize(0, 0));
    EXPECT_EQ(view.GetScrollPosition(), QPoint(0, 0));
    EXPECT_EQ(view.GetPictureWnd()->geometry(), QRect(-120, -90, 640, 480));
    // A later resize keeps the flags.
    view.resize(500, 400);
    QApplication::processEvents();
    EXPECT_EQ(view.GetPictureWnd()->geometry(), QRect(-70, -40, 640, 480));
}

TEST_F(ImageViewTest, ShowsThePictureOnTheBackgroundColour) {
    ShowAt(200, 150);
    view.SetBackColor(0x00C08040); // stored as blue, green, red
    ASSERT_EQ(view.LoadPicture(WritePicture(dir, "small.bmp", 100, 50).string()), 1);
    QImage shot = view.grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5) & 0xFFFFFF, 0x4080C0u); // background, shown as red 0x40
    // Canvas at (50, 50): its border, then picture pixel (0, 0) inside it.
    EXPECT_EQ(shot.pixel(50, 50) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(shot.pixel(51, 51) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(shot.pixel(60, 60) & 0xFFFFFF, 0xFFFFFFu);
    // Loading nothing hides the canvas: only the background is left.
    ASSERT_EQ(view.LoadPicture(""), 1);
    EXPECT_FALSE(view.GetPictureWnd()->isVisible());
    EXPECT_EQ(view.GetTotalSize(), QSize(0, 0));
    shot = view.grab().toImage();
    EXPECT_EQ(shot.pixel(75, 75) & 0xFFFFFF, 0x4080C0u);
}

TEST_F(ImageViewTest, FailedLoadLeavesOnlyTheBackgroundAndAMessage) {
    ShowAt(200, 150);
    view.SetBackColor(0x00C08040);
    view.LoadPicture(WritePicture(dir, "small.bmp", 100, 50).string());
    // The old picture is gone from the screen by the time the message shows.
    QRgb behindMessage = 0;
    dialogs.onMessage = [&] { behindMessage = OnScreen(view.viewport(), QPoint(100, 75)); };
    EXPECT_EQ(view.LoadPicture((dir / "none.bmp").string()), 0);
    EXPECT_FALSE(view.GetPictureWnd()->isVisible());
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(behindMessage, 0x4080C0u);
}

// A page change repaints the new picture at once (before any event is
// handled, so before its sound), and a smaller picture leaves no trace of a
// larger one around it.
TEST_F(ImageViewTest, NextPictureIsOnScreenAtOnceWithNothingLeftOfTheLastOne) {
    ShowAt(200, 150);
    view.SetBackColor(0x00C08040);
    const struct {
        const char* name;
        QSize size;
        Pixel fill;
    } pages[] = {{"a.bmp", {100, 50}, 0xFFFFFF},
                 {"b.bmp", {100, 50}, 0x20A060},
                 {"c.bmp", {160, 120}, 0xFFFF00},
                 {"d.bmp", {40, 20}, 0x8000FF},
                 {"e.bmp", {100, 50}, 0xFFFFFF}};
    for (const auto& page : pages) {
        SCOPED_TRACE(page.name);
        const fs::path file =
            WritePicture(dir, page.name, page.size.width(), page.size.height(), page.fill);
        ASSERT_EQ(view.LoadPicture(file.string()), 1);
        EXPECT_EQ(OnScreen(view.viewport(), QPoint(100, 75)), page.fill);
        QApplication::processEvents();
        // Inside the largest picture's place but outside this one's.
        const bool covered = page.size.width() > 100;
        EXPECT_EQ(OnScreen(view.viewport(), QPoint(30, 20)), covered ? page.fill : 0x4080C0u);
        EXPECT_EQ(OnScreen(view.viewport(), QPoint(100, 75)), page.fill);
    }
}

TEST_F(ImageViewTest, ChooserWritesTheVolumesBackgroundValueWhole) {
    // The value is kept as read and written back whole; only its low 24
    // bits are a colour (0x00BBGGRR).
    struct Case {
        const char* stored;
        const char* written;
        QRgb shown;
    } cases[] = {{"-1", "4294967295", 0xFFFFFF}, {"0x01FF0000", "33488896", 0x0000FF}};
    WritePicture(dir, "small.bmp", 100, 50);
    ShowAt(200, 150);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        fs::path vol = dir.Write("v.vol", "[Volume]\nOrgPath=" + dir.Path().string() +
                                              "\nNumPages=1\n[Picture Files]\nPage1=small.bmp\n"
                                              "[Options]\nBackColor=" +
                                              c.stored + "\n");
        ASSERT_TRUE(doc.OnOpenDocument(vol.string()));
        view.OnInitialUpdate();
        view.ChooseBackColor(); // cancelled
        EXPECT_NE(ReadFileBytes(vol).find(std::string("BackColor=") + c.written + "\n"),
                  std::string::npos)
            << ReadFileBytes(vol);
        EXPECT_EQ(view.grab().toImage().pixel(5, 5) & 0xFFFFFF, c.shown);
    }
}

} // namespace

namespace {

// Clicks on the margin around the picture step a running slide show: left
// forwards, right back; outside a show they do nothing.
TEST_F(ImageViewTest, MarginClicksStepOnlyARunningShow) {
    ShowAt(200, 150);
    ASSERT_EQ(view.LoadPicture(WritePicture(dir, "small.bmp", 100, 50).string()), 1);
    std::vector<int> steps;
    view.SetSlideShowClickHandler([&](int step) { steps.push_back(step); });
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(steps.empty());
    state.g_bSlideShowRunning = true;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, QPoint(190, 140));
    // Outside colouring mode the canvas leaves a press to the view, so a click
    // anywhere on the page steps the show too.
    QTest::mouseClick(view.GetPictureWnd(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(steps, (std::vector<int>{+1, -1, +1}));
}

} // namespace
