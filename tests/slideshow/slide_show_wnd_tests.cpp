// The slide show's window in the real application (offscreen): a borderless
// full-screen window on top with no pointer, its keys, its beat, and the main
// window back on the last page when it ends, however it ends.
#include "app/volume_app.h"

#include "colouring/my_image_view.h"
#include "mainframe/main_frame.h"
#include "model/display/dib.h"
#include "model/volume/vol_doc.h"
#include "slideshow/slide_show_wnd.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTest>

namespace fs = std::filesystem;

namespace {

void WritePage(const fs::path& file, int width) {
    PixelBuffer p(width, 30, 0xFFFFFF);
    LogPalette bw;
    bw.entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    DibHandle dib = ChangeBitmapFormat(p, 8, kDibRgb, bw);
    ASSERT_TRUE(dib);
    ASSERT_EQ(SaveDIB(*dib, file), DibSaveResult::Saved);
}

class SlideShowWndTest : public ::testing::Test {
protected:
    SlideShowWndTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        fs::path org = dir.MakeDir("pages");
        WritePage(org / "ONE.BMP", 40);
        WritePage(org / "TWO.BMP", 50);
        WritePage(org / "THREE.BMP", 60);
        volume = dir.Write("show.vol", "[Volume]\nOrgPath=" + org.string() +
                                           "\nNumPages=3\n[Picture Files]\nPage1=ONE.BMP\n"
                                           "Page2=TWO.BMP\nPage3=THREE.BMP\n[Slide Show]\n"
                                           "GoBySeconds=1\nSeconds=2\nSound=0\n");
    }

    void StartShow(std::function<void(QWidget*)> dialogOwnerHook = {}) {
        app = std::make_unique<CVolumeApp>(settings, "", &dialogs, &audio);
        ASSERT_TRUE(app->InitInstance());
        if (dialogOwnerHook)
            app->Frame().SetDialogOwnerHook(std::move(dialogOwnerHook));
        ASSERT_TRUE(app->OpenDocumentFile(volume.string()));
        ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
        ASSERT_TRUE(Wnd());
    }
    CSlideShowWnd* Wnd() { return app->Frame().SlideShowWnd(); }
    int ShownWidth() { return Wnd()->View().Picture().Width(); }
    // Lets a window that ended its show go.
    void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    TempDir dir;
    fs::path volume;
    QSettings settings;
    ScriptedDialogs dialogs;
    RecordingAudio audio;
    std::unique_ptr<CVolumeApp> app;
};

TEST_F(SlideShowWndTest, AFullScreenShowTurnsItsPagesAndGivesTheMainWindowBack) {
    StartShow();
    CSlideShowWnd& wnd = *Wnd();
    EXPECT_TRUE(wnd.isVisible());
    EXPECT_TRUE(wnd.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(wnd.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(wnd.geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(wnd.cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(wnd.View().viewport()->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(ShownWidth(), 40);
    EXPECT_EQ(app->Doc().GetDefaultAccelerator(), nullptr); // the main window's keys rest

    wnd.Show().OnTimer();
    EXPECT_EQ(ShownWidth(), 40);
    wnd.Show().OnTimer(); // two seconds
    EXPECT_EQ(ShownWidth(), 50);
    QTest::keyClick(&wnd, Qt::Key_Space);
    EXPECT_EQ(ShownWidth(), 60);
    QTest::keyClick(&wnd, Qt::Key_Space); // past the last page: the show ends
    Settle();
    EXPECT_FALSE(Wnd());
    EXPECT_FALSE(app->State().g_bSlideShowRunning);
    EXPECT_EQ(app->State().m_nCurPage, 3);
    EXPECT_EQ(app->View().Picture().Width(), 60);
    EXPECT_EQ(app->Doc().GetDefaultAccelerator(), &kKeyTable2);
    EXPECT_TRUE(app->State().g_bPageSoundAutoPlay);
}

TEST_F(SlideShowWndTest, KeysOfTheShowAndAnyCloseEndItProperly) {
    // Message boxes raised during the show are parented to it, so they come
    // above it; afterwards to the main window again.
    std::vector<QWidget*> owners;
    StartShow([&](QWidget* owner) { owners.push_back(owner); });
    CSlideShowWnd* wnd = Wnd();
    ASSERT_EQ(owners, std::vector<QWidget*>{wnd});
    QTest::keyClick(wnd, Qt::Key_End);
    EXPECT_EQ(ShownWidth(), 60);
    QTest::keyClick(wnd, Qt::Key_Home);
    EXPECT_EQ(ShownWidth(), 40);
    QTest::keyClick(wnd, Qt::Key_N);
    EXPECT_EQ(ShownWidth(), 50);
    QTest::keyClick(wnd, Qt::Key_S); // stop: the beat no longer turns the page
    EXPECT_TRUE(wnd->Show().IsStopped());
    for (int i = 0; i < 5; ++i)
        wnd->Show().OnTimer();
    EXPECT_EQ(ShownWidth(), 50);
    QTest::keyClick(wnd, Qt::Key_Pause); // and on again
    EXPECT_FALSE(wnd->Show().IsStopped());
    // Closed by the window manager: the show ends as by Esc.
    wnd->close();
    Settle();
    EXPECT_FALSE(Wnd());
    EXPECT_EQ(owners.back(), &app->Frame());
    EXPECT_FALSE(app->State().g_bSlideShowRunning);
    EXPECT_EQ(app->State().m_nCurPage, 2);

    // Esc at once ends a show started on page 2 there.
    ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
    ASSERT_TRUE(Wnd());
    EXPECT_EQ(owners.back(), Wnd());
    EXPECT_EQ(ShownWidth(), 50);
    QTest::keyClick(Wnd(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(Wnd());
    EXPECT_EQ(app->State().m_nCurPage, 2);
}

} // namespace

namespace {

// Through SDL's dummy driver, in real time: with "when the sound is done"
// each page moves on when its sound has played, and the last one ends the show.
TEST_F(SlideShowWndTest, EachPageMovesOnWhenItsSoundHasPlayed) {
    fs::path org = dir / "pages";
    test_sound::WriteBytes(org / "ONE.WAV", test_sound::ToneWave(250, 440));
    test_sound::WriteBytes(org / "TWO.WAV", test_sound::ToneWave(250, 660));
    fs::path book = dir.Write("sound.vol", "[Volume]\nOrgPath=" + org.string() +
                                               "\nNumPages=2\n[Picture Files]\nPage1=ONE.BMP\n"
                                               "Page2=TWO.BMP\n[Sound Files]\nPage1=ONE.WAV\n"
                                               "Page2=TWO.WAV\n[Slide Show]\nGoBySeconds=0\n"
                                               "Seconds=30\nSound=1\n");
    app = std::make_unique<CVolumeApp>(settings, "", &dialogs); // the real output
    ASSERT_TRUE(app->InitInstance());
    ASSERT_TRUE(dialogs.messages.empty()) << "no output: " << dialogs.messages[0].text;
    ASSERT_TRUE(app->OpenDocumentFile(book.string()));
    ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
    ASSERT_TRUE(Wnd());
    EXPECT_EQ(ShownWidth(), 40);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Wnd() && ShownWidth() == 50; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Wnd(); }, 10000)); // the last sound ends it
    EXPECT_FALSE(app->State().g_bSlideShowRunning);
    EXPECT_EQ(app->State().m_nCurPage, 2);
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace

namespace {

class InstructionsTest : public SlideShowWndTest {
protected:
    InstructionsTest() {
        fs::path pages = dir / "pages";
        instructions = dir.Write("how.vol", "[Volume]\nTitle=How\nOrgPath=" + pages.string() +
                                                "\nNumPages=2\n[Picture Files]\nPage1=TWO.BMP\n"
                                                "Page2=THREE.BMP\n[Slide Show]\nGoBySeconds=1\n"
                                                "Seconds=5\nSound=0\n");
    }
    void OpenBookOnPage(int page, const std::string& setting) {
        if (!setting.empty())
            settings.setValue("Tintaroo!/ColoringInstructions", QString::fromStdString(setting));
        app = std::make_unique<CVolumeApp>(settings, "", &dialogs, &audio);
        ASSERT_TRUE(app->InitInstance());
        ASSERT_TRUE(app->OpenDocumentFile(volume.string()));
        app->Frame().GoToPage(page);
    }
    fs::path instructions;
};

TEST_F(InstructionsTest, TheInstructionsRunAsAShowAndTheBookComesBackOnItsPage) {
    OpenBookOnPage(3, instructions.string());
    ASSERT_TRUE(app->RouteCommand(ID_COLOURING_INSTRUCTIONS));
    EXPECT_EQ(app->Doc().GetTitle(), "How");
    ASSERT_TRUE(Wnd());
    EXPECT_EQ(ShownWidth(), 50); // the instructions' page 1
    // F1 shows the show's help; outside a show it does nothing.
    QTest::keyClick(Wnd(), Qt::Key_F1);
    EXPECT_EQ(dialogs.slideShowHelps, 1);
    QTest::keyClick(Wnd(), Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(Wnd());
    EXPECT_EQ(app->Doc().GetPathName(), fs::absolute(volume).lexically_normal().string());
    EXPECT_EQ(app->State().m_nCurPage, 3);
    EXPECT_EQ(app->View().Picture().Width(), 60);
    EXPECT_TRUE(app->State().g_strReturnVolume.empty());
    EXPECT_TRUE(app->State().g_bPageSoundAutoPlay);
    ASSERT_TRUE(app->RouteCommand(ID_HELP));
    EXPECT_EQ(dialogs.slideShowHelps, 1);
}

// Without the setting, or with instructions that cannot be opened, the open
// book stays, nothing is remembered, and a later show ends where it is.
TEST_F(InstructionsTest, MissingInstructionsLeaveTheBookAlone) {
    OpenBookOnPage(2, "");
    ASSERT_TRUE(app->RouteCommand(ID_COLOURING_INSTRUCTIONS));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "The coloring instructions are not installed.\n\nThe "
                                        "setting ColoringInstructions names no book.");
    EXPECT_FALSE(Wnd());

    settings.setValue("Tintaroo!/ColoringInstructions",
                      QString::fromStdString((dir / "gone.vol").string()));
    ASSERT_TRUE(app->RouteCommand(ID_COLOURING_INSTRUCTIONS));
    EXPECT_EQ(dialogs.messages.size(), 2u); // "Cannot find file"
    EXPECT_TRUE(app->State().g_strReturnVolume.empty());
    app->Frame().GoToPage(3);
    ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
    QTest::keyClick(Wnd(), Qt::Key_Home); // page 3 is the range's first
    QTest::keyClick(Wnd(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(app->State().m_nCurPage, 3);
    EXPECT_EQ(app->Doc().GetTitle(), "");
}

// Ctrl+Shift+S opens the show's settings; Show runs a show of them and the
// volume file stays as it was.
TEST_F(InstructionsTest, CtrlShiftSRunsAShowOfTheEditedSettings) {
    OpenBookOnPage(1, "");
    const std::string before = ReadFileBytes(volume);
    SlideShowDlgData answer;
    answer.m_nPagesChoice = 1;
    answer.m_nFrom = 2;
    answer.m_nTo = 3;
    answer.m_nEvery = 1;
    answer.m_nAdvanceChoice = 0;
    dialogs.slideShowAnswer = answer;
    QTest::keyClick(app->View().viewport(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(dialogs.slideShowOpenedWith.size(), 1u);
    ASSERT_TRUE(Wnd());
    EXPECT_EQ(ShownWidth(), 50);
    Wnd()->Show().OnTimer();
    EXPECT_EQ(ShownWidth(), 60);
    Wnd()->Show().OnTimer();
    Settle();
    EXPECT_FALSE(Wnd()); // past page 3: over
    EXPECT_EQ(ReadFileBytes(volume), before);
}

} // namespace
