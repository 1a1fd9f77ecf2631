#include "app/volume_app.h"

#include "app/splash_wnd.h"
#include "colouring/my_image_view.h"
#include "display/picture_wnd.h"
#include "mainframe/main_frame.h"
#include "model/display/dib.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"
#include "platform/profile_file.h"
#include "support/env_guard.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QEventLoop>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace fs = std::filesystem;

namespace {

// Writes an 8-bit picture: white with a black frame and a red square in the middle.
void WritePicture(const fs::path& file, int w, int h) {
    PixelBuffer p(w, h, 0xFFFFFF);
    for (int x = 0; x < w; ++x)
        p.Set(x, 0, 0), p.Set(x, h - 1, 0);
    for (int y = 0; y < h; ++y)
        p.Set(0, y, 0), p.Set(w - 1, y, 0);
    for (int y = h / 2 - 5; y < h / 2 + 5; ++y)
        for (int x = w / 2 - 5; x < w / 2 + 5; ++x)
            p.Set(x, y, 0xFF0000);
    LogPalette pal;
    pal.entries = {{255, 255, 255, 0}, {0, 0, 0, 0}, {255, 0, 0, 0}};
    DibHandle dib = ChangeBitmapFormat(p, 8, kDibRgb, pal);
    ASSERT_TRUE(dib);
    ASSERT_EQ(SaveDIB(*dib, file), DibSaveResult::Saved);
}

class VolumeAppTest : public ::testing::Test {
protected:
    VolumeAppTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        org = dir.MakeDir("pages");
        WritePicture(org / "ONE.BMP", 64, 48);
        WritePicture(org / "TWO.BMP", 32, 24);
        WritePicture(org / "THREE.BMP", 40, 30);
    }

    fs::path Volume(const std::string& name, const std::string& title, int pages,
                    const std::string& extra = "") {
        std::string text = "[Volume]\nTitle=" + title + "\nOrgPath=" + org.string() +
                           "\nNumPages=" + std::to_string(pages) + "\n[Picture Files]\n";
        const char* files[] = {"ONE.BMP", "TWO.BMP", "THREE.BMP"};
        for (int i = 1; i <= pages; ++i)
            text += "Page" + std::to_string(i) + "=" + files[(i - 1) % 3] + "\n";
        return dir.Write(name, text + extra);
    }

    void Start(const std::string& commandLine = "") {
        app = std::make_unique<CVolumeApp>(settings, commandLine, &dialogs, &audio);
        app->SetTickSource([this] { return now; });
        ASSERT_TRUE(app->InitInstance());
    }

    // Slide shows started so far: each start plays the "click" sound (2968
    // bytes) while no page sound plays.
    long ShowsStarted() const { return std::count(audio.waves.begin(), audio.waves.end(), 2968u); }

    // Lets the start-up picture's time run out and gives the program its idle moment.
    void PassStartUp() {
        now += CVolumeApp::kSplashMs + 1;
        app->OnIdle(0);
    }

    TempDir dir;
    fs::path org;
    QSettings settings;
    ScriptedDialogs dialogs;
    RecordingAudio audio;
    std::uint32_t now = 100000;
    std::unique_ptr<CVolumeApp> app;
};

TEST(CommandLineTest, VolumeNames) {
    EXPECT_EQ(CVolumeApp::VolumeNameFromCommandLine("ANIMALS"), "ANIMALS.VOL");
    EXPECT_EQ(CVolumeApp::VolumeNameFromCommandLine("ANIMALS.V"), "ANIMALS.V");
    EXPECT_EQ(CVolumeApp::VolumeNameFromCommandLine("\"C:\\MY BOOKS\\ANIMALS\""),
              "C:\\MY BOOKS\\ANIMALS.VOL");
    EXPECT_EQ(CVolumeApp::VolumeNameFromCommandLine("\"/srv/my books/farm.vol\""),
              "/srv/my books/farm.vol");
    EXPECT_EQ(CVolumeApp::VolumeNameFromCommandLine(""), "");
    EXPECT_EQ(CVolumeApp::VolumeNameFromCommandLine("\"\""), "");
}

TEST_F(VolumeAppTest, CommandLineOpensWhenTheStartUpPictureGoes) {
    Volume("ANIMALS.VOL", "Animals", 2);
    Start((dir / "animals").string()); // no "." in the name: ".VOL" is added
    EXPECT_TRUE(app->IsSplashUp());
    EXPECT_TRUE(app->OnIdle(0)); // still waiting
    EXPECT_EQ(app->IdleWakeDelayMs(), static_cast<int>(CVolumeApp::kSplashMs) + 1);
    now += 1000;
    EXPECT_TRUE(app->OnIdle(0));
    EXPECT_EQ(app->Doc().GetPathName(), "");
    PassStartUp();
    EXPECT_FALSE(app->IsSplashUp());
    EXPECT_EQ(app->Doc().GetTitle(), "Animals");
    EXPECT_EQ(app->Frame().windowTitle(), "Animals");
    EXPECT_EQ(ShowsStarted(), 1);
    EXPECT_EQ(app->View().Picture().Width(), 64);
    EXPECT_EQ(app->IdleWakeDelayMs(), -1);
    // The command line is acted on once only.
    now += 10000;
    app->OnIdle(0);
    EXPECT_EQ(ShowsStarted(), 1);
}

TEST_F(VolumeAppTest, QuotedCommandLineWithoutExtensionStillOpens) {
    dir.MakeDir("my books");
    std::string text = "[Volume]\nOrgPath=" + org.string() + "\nTitle=Farm\n";
    dir.Write("my books/FARM.VOL", text);
    Start("\"" + (dir / "my books" / "farm").string() + "\"");
    PassStartUp();
    EXPECT_EQ(app->Doc().GetTitle(), "Farm");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(VolumeAppTest, MissingVolumeIsReportedAndTheOpenOneStays) {
    auto good = Volume("good.vol", "Good", 2);
    Start();
    PassStartUp();
    EXPECT_EQ(app->Frame().windowTitle(), "Tintaroo!");
    ASSERT_TRUE(app->OpenDocumentFile(good.string()));
    EXPECT_FALSE(app->OpenDocumentFile((dir / "gone.vol").string()));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find("Cannot find file: " + (dir / "gone.vol").string()),
              std::string::npos);
    EXPECT_EQ(app->Doc().GetPathName(), good.string());
    EXPECT_EQ(app->Frame().windowTitle(), "Good");
    EXPECT_EQ(app->View().Picture().Width(), 64);
    EXPECT_EQ(app->RecentFiles(), QStringList{QString::fromStdString(good.string())});
}

TEST_F(VolumeAppTest, InsertDiscRetriesOnOkAndCancelKeepsTheOpenVolume) {
    auto good = Volume("good.vol", "Good", 1);
    auto disc = dir.Write("disc.vol", "[Volume]\nTitle=Farm\nOrgPath=E:\\FARM\n");
    Start();
    ASSERT_TRUE(app->OpenDocumentFile(good.string()));
    dialogs.insertDiscAnswers = {true, false};
    EXPECT_FALSE(app->OpenDocumentFile(disc.string()));
    EXPECT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts[0].text, "Please insert the \"Farm\" CD. Then press OK.");
    EXPECT_EQ(app->Doc().GetTitle(), "Good");
    EXPECT_EQ(app->Frame().windowTitle(), "Good");
}

TEST_F(VolumeAppTest, OpeningTheOpenVolumeAgainOnlyBringsItForward) {
    auto vol = Volume("v.vol", "First", 2);
    Start();
    ASSERT_TRUE(app->OpenDocumentFile(vol.string()));
    app->Frame().GoToPage(2);
    Volume("v.vol", "Changed", 2);
    ASSERT_TRUE(app->OpenDocumentFile("\"" + vol.string() + "\""));
    EXPECT_EQ(app->Doc().GetTitle(), "First");
    EXPECT_EQ(app->State().m_nCurPage, 2);
}

TEST_F(VolumeAppTest, NavigationClampsAndFollowsTheUpdateRules) {
    Start();
    ASSERT_TRUE(app->OpenDocumentFile(Volume("v.vol", "Three", 3).string()));
    CMainFrame& frame = app->Frame();
    EXPECT_EQ(app->State().m_nCurPage, 1);
    EXPECT_FALSE(app->QueryCommand(ID_PREV_PAGE).enabled);
    EXPECT_FALSE(app->QueryCommand(ID_FIRST_PAGE).enabled);
    EXPECT_TRUE(app->QueryCommand(ID_NEXT_PAGE).enabled);
    EXPECT_FALSE(app->RouteCommand(ID_PREV_PAGE)); // dropped
    EXPECT_TRUE(app->RouteCommand(ID_NEXT_PAGE));
    EXPECT_EQ(app->State().m_nCurPage, 2);
    EXPECT_EQ(app->View().Picture().Width(), 32);
    EXPECT_TRUE(app->RouteCommand(ID_LAST_PAGE));
    EXPECT_EQ(app->State().m_nCurPage, 3);
    EXPECT_FALSE(app->QueryCommand(ID_NEXT_PAGE).enabled);
    EXPECT_FALSE(app->RouteCommand(ID_LAST_PAGE));
    EXPECT_TRUE(app->RouteCommand(ID_FIRST_PAGE));
    EXPECT_EQ(app->State().m_nCurPage, 1);
    frame.GoToPage(0);
    EXPECT_EQ(app->State().m_nCurPage, 1);
    frame.GoToPage(8);
    EXPECT_EQ(app->State().m_nCurPage, 3);
    EXPECT_EQ(app->View().Picture().Width(), 40);

    ASSERT_TRUE(app->OpenDocumentFile(Volume("one.vol", "One", 1).string()));
    EXPECT_EQ(app->State().m_nCurPage, 1);
    for (CommandId id : {ID_FIRST_PAGE, ID_PREV_PAGE, ID_NEXT_PAGE, ID_LAST_PAGE})
        EXPECT_FALSE(app->QueryCommand(id).enabled) << id;
    EXPECT_TRUE(app->QueryCommand(ID_APP_EXIT).enabled);
}

TEST_F(VolumeAppTest, KeysWorkOnlyInViewerMode) {
    Start();
    ASSERT_TRUE(app->OpenDocumentFile(Volume("v.vol", "Three", 3).string()));
    CMainFrame& frame = app->Frame();
    // Keys aimed at the scroll view reach the key table first.
    QTest::keyClick(app->View().viewport(), Qt::Key_PageDown);
    EXPECT_EQ(app->State().m_nCurPage, 2);
    QTest::keyClick(app->View().viewport(), Qt::Key_End);
    EXPECT_EQ(app->State().m_nCurPage, 3);
    QTest::keyClick(&frame, Qt::Key_PageUp);
    EXPECT_EQ(app->State().m_nCurPage, 2);
    QTest::keyClick(&frame, Qt::Key_Home);
    EXPECT_EQ(app->State().m_nCurPage, 1);
    frame.SetMode(Mode::Colouring);
    QTest::keyClick(app->View().viewport(), Qt::Key_PageDown);
    QTest::keyClick(&frame, Qt::Key_End);
    EXPECT_EQ(app->State().m_nCurPage, 1);
    frame.SetMode(Mode::Viewer);
    QTest::keyClick(&frame, Qt::Key_End);
    EXPECT_EQ(app->State().m_nCurPage, 3);
}

TEST_F(VolumeAppTest, KeysWaitingDuringAPumpAreNotTranslated) {
    Start();
    ASSERT_TRUE(app->OpenDocumentFile(Volume("v.vol", "Three", 3).string()));
    QTimer::singleShot(0, [this] { QTest::keyClick(&app->Frame(), Qt::Key_PageDown); });
    app->PumpPendingMessages();
    EXPECT_EQ(app->State().m_nCurPage, 1);
    QTest::keyClick(&app->Frame(), Qt::Key_PageDown);
    EXPECT_EQ(app->State().m_nCurPage, 2);
}

TEST_F(VolumeAppTest, CaptionFollowsTheTitle) {
    Start();
    ASSERT_TRUE(app->OpenDocumentFile(Volume("t.vol", "", 1).string()));
    EXPECT_EQ(app->Frame().windowTitle(), "Tintaroo!");
    ASSERT_TRUE(app->OpenDocumentFile(Volume("u.vol", "Cows", 1).string()));
    EXPECT_EQ(app->Frame().windowTitle(), "Cows");
}

TEST_F(VolumeAppTest, BackgroundColourIsWrittenWhetherChosenOrCancelled) {
    Start();
    app->View().ChooseBackColor(); // no volume: nothing to write, nothing breaks
    auto vol = Volume("c.vol", "Colours", 1, "[Options]\nBackColor=0x0000FF\n");
    ASSERT_TRUE(app->OpenDocumentFile(vol.string()));
    EXPECT_EQ(app->View().GetBackColor(), 0xFFu);
    app->View().ChooseBackColor(); // cancelled
    EXPECT_EQ(dialogs.colourOpenedWith.back(), 0xFFu);
    EXPECT_EQ(GetPrivateProfileString("Options", "BackColor", "", 255, vol), "255");
    dialogs.colourAnswer = 0x00FF00; // green
    QTest::mouseDClick(app->View().viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(app->View().GetBackColor(), 0x00FF00u);
    EXPECT_EQ(app->Doc().GetBackColor(), 0x00FF00u);
    EXPECT_EQ(GetPrivateProfileString("Options", "BackColor", "", 255, vol), "65280");
}

TEST_F(VolumeAppTest, DroppedFilesOpenInTurn) {
    auto a = Volume("a.vol", "A", 1);
    auto b = Volume("b.vol", "B", 2);
    Start();
    EXPECT_TRUE(app->Frame().acceptDrops());
    app->Frame().OpenDroppedFiles(
        {QUrl::fromLocalFile(QString::fromStdString(a.string())),
         QUrl::fromLocalFile(QString::fromStdString((dir / "none.vol").string())),
         QUrl::fromLocalFile(QString::fromStdString(b.string()))});
    EXPECT_EQ(app->Doc().GetTitle(), "B");
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(ShowsStarted(), 0); // a dropped volume runs no show
    EXPECT_EQ(app->RecentFiles().size(), 2);
}

// Counts the idle calls the event loop makes.
class CountingApp : public CVolumeApp {
public:
    using CVolumeApp::CVolumeApp;
    bool OnIdle(long count) override {
        ++idleCalls;
        return CVolumeApp::OnIdle(count);
    }
    int idleCalls = 0;
    int quits = 0;

protected:
    void QuitEventLoop() override { ++quits; }
};

TEST_F(VolumeAppTest, WaitingForTheStartUpPictureDoesNotSpin) {
    CountingApp counting(settings, "", &dialogs, &audio);
    counting.SetTickSource([this] { return now; }); // the clock stands still
    ASSERT_TRUE(counting.InitInstance());
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    // Idle work ran, asked to be woken at the picture's deadline, and was not
    // asked again in a busy loop meanwhile.
    EXPECT_GE(counting.idleCalls, 1);
    EXPECT_LT(counting.idleCalls, 20);
    EXPECT_TRUE(counting.IsSplashUp());
}

TEST_F(VolumeAppTest, ExitDuringAPumpWaitsForTheMainLoop) {
    CountingApp exiting(settings, "", &dialogs, &audio);
    ASSERT_TRUE(exiting.InitInstance());
    QTimer::singleShot(0, [&] { exiting.RouteCommand(ID_APP_EXIT); });
    exiting.PumpPendingMessages();
    EXPECT_TRUE(exiting.Frame().isVisible());
    EXPECT_EQ(exiting.quits, 0);
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_FALSE(exiting.Frame().isVisible());
    EXPECT_EQ(exiting.quits, 1);
}

TEST_F(VolumeAppTest, StartingColourIsNeverWhite) {
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        app.reset();
        now = seed;
        Start();
        EXPECT_GE(app->State().m_nColor, 1);
        EXPECT_LE(app->State().m_nColor, 29);
    }
}

// Records, with each message, how the start-up picture stood when it appeared.
class WatchingDialogs : public ScriptedDialogs {
public:
    void MessageBox(const std::string& text, MessageIcon icon) override {
        ScriptedDialogs::MessageBox(text, icon);
        const QWidget* splash = app ? app->Splash() : nullptr;
        splashShown.push_back(splash && splash->isVisible());
        splashOnTop.push_back(splash && splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
    CVolumeApp* app = nullptr;
    std::vector<bool> splashShown, splashOnTop;
};

class StartUpSoundTest : public VolumeAppTest {
protected:
    // Starts on the real sound output that SDL_AUDIODRIVER names.
    void StartOnSdl() {
        app = std::make_unique<CVolumeApp>(settings, "", &watching);
        app->SetTickSource([this] { return now; });
        watching.app = app.get();
        ASSERT_TRUE(app->InitInstance());
    }
    WatchingDialogs watching;
};

TEST_F(StartUpSoundTest, WithoutAnyOutputBothWarningsAppearAndTheProgramGoesOn) {
    EnvGuard driver("SDL_AUDIODRIVER", "no-such-driver");
    StartOnSdl();
    ASSERT_EQ(watching.messages.size(), 2u);
    EXPECT_EQ(watching.messages[0].text,
              "Tintaroo! cannot play wave files because there is no waveform device driver "
              "present. Use the Driver option in Control Panel to install a driver.");
    EXPECT_EQ(watching.messages[1].text,
              "Tintaroo! cannot play midi files because there is no midi sequencer device driver "
              "present. Use the Driver option in Control Panel to install a driver.");
    EXPECT_EQ(watching.messages[0].icon, MessageIcon::Exclamation);
    // Shown while the start-up picture is up, but no longer above everything.
    EXPECT_EQ(watching.splashShown, (std::vector<bool>{true, true}));
    EXPECT_EQ(watching.splashOnTop, (std::vector<bool>{false, false}));

    std::string sound = "[Sound Files]\nPage1=beep.wav\nPage2=beep.wav\n";
    dir.Write("pages/beep.wav", "RIFF");
    PassStartUp();
    ASSERT_TRUE(app->OpenDocumentFile(Volume("v.vol", "Quiet", 2, sound).string()));
    EXPECT_EQ(app->Doc().CanPlaySound("beep.wav"), SoundPlayability::Unsupported);
    app->Frame().GoToPage(2); // silent, without a word
    EXPECT_FALSE(app->State().m_bSoundPlaying);
    EXPECT_EQ(watching.messages.size(), 2u);
    EXPECT_EQ(app->State().m_nCurPage, 2);
}

TEST_F(StartUpSoundTest, WithSoundOutputThereIsNoWarning) {
    StartOnSdl(); // the tests' dummy output
    EXPECT_TRUE(watching.messages.empty());
    EXPECT_TRUE(app->Splash()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(StartUpSoundTest, WithoutASoundFontOnlyMidiIsMissing) {
    EnvGuard fonts("SDL_SOUNDFONTS", (dir / "none.sf2").string());
    StartOnSdl();
    ASSERT_EQ(watching.messages.size(), 1u);
    EXPECT_NE(watching.messages[0].text.find("cannot play midi files"), std::string::npos);
}

} // namespace
