// The main window's page sound against a recording audio level: which device
// is opened, played, stopped and closed, what the sound button shows, and
// which messages the child sees.
#include "app/volume_app.h"

#include "framework/media_notice.h"
#include "mainframe/main_frame.h"
#include "model/volume/vol_doc.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>

namespace fs = std::filesystem;

namespace {

using Log = std::vector<std::string>;

class PageSoundTest : public ::testing::Test {
protected:
    PageSoundTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        fs::path book = dir.MakeDir("book");
        for (const char* file : {"one.wav", "two.wav", "song.mid", "clip.avi"})
            dir.Write(std::string("book/") + file, "sound");
        // Page 3 has no sound; page 6 names a file that does not exist.
        volume = dir.Write("book.vol", "[Volume]\nOrgPath=" + book.string() +
                                           "\nNumPages=6\n[Sound Files]\nPage1=one.wav\n"
                                           "Page2=two.wav\nPage4=song.mid\nPage5=clip.avi\n"
                                           "Page6=gone.wav\n");
    }
    ~PageSoundTest() override { g_bPageSoundAutoPlay = 1; }

    void Start() {
        app = std::make_unique<CVolumeApp>(settings, "", &dialogs, &audio);
        ASSERT_TRUE(app->InitInstance());
        QObject::connect(&Frame(), &CMainFrame::PlayButtonChanged,
                         [this](bool play) { playFace = play; });
        ASSERT_TRUE(app->OpenDocumentFile(volume.string()));
        audio.log.clear();
    }
    CMainFrame& Frame() { return app->Frame(); }
    // Delivers the notices the audio level has posted.
    void Deliver() { QCoreApplication::processEvents(); }
    Log TakeLog() { return std::exchange(audio.log, {}); }

    TempDir dir;
    fs::path volume;
    QSettings settings;
    ScriptedDialogs dialogs;
    RecordingAudio audio;
    std::unique_ptr<CVolumeApp> app;
    bool playFace = true;
};

TEST_F(PageSoundTest, AReplayOnTheSamePageReusesTheOpenDevice) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    // The entry, used in capitals, finds the file of any letter case.
    EXPECT_EQ(TakeLog(), (Log{"open 1 one.wav", "play 1"}));
    EXPECT_EQ(Frame().m_bSoundPlaying, 1);
    EXPECT_EQ(Frame().m_nSoundPage, 1);
    EXPECT_FALSE(playFace);

    audio.Finish(1);
    Deliver();
    EXPECT_EQ(Frame().m_bSoundPlaying, 0);
    EXPECT_TRUE(playFace);
    EXPECT_EQ(audio.OpenCount(), 1); // the device stays open for the next play

    ASSERT_TRUE(app->RouteCommand(ID_PLAY_OR_STOP_KEY));
    EXPECT_EQ(TakeLog(), (Log{"play 1"}));
    // A play request while it plays stops it.
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    EXPECT_EQ(TakeLog(), (Log{"stop 1"}));
    EXPECT_EQ(Frame().m_bSoundPlaying, 0);
    EXPECT_TRUE(playFace);
    EXPECT_TRUE(audio.misuse.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PageSoundTest, APageChangeStopsClosesAndOpensTheNewPage) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    TakeLog();
    ASSERT_TRUE(app->RouteCommand(ID_NEXT_PAGE));
    EXPECT_EQ(TakeLog(), (Log{"stop 1", "close 1", "open 2 two.wav", "play 2"}));
    EXPECT_EQ(Frame().m_bSoundPlaying, 1);
    EXPECT_EQ(Frame().m_nSoundPage, 2);
    EXPECT_EQ(Frame().m_bReopenDevice, 1); // marked by the page change itself
    EXPECT_FALSE(playFace);

    // Ended first, then a page change: the next page still plays, afresh.
    audio.Finish(2);
    Deliver();
    ASSERT_TRUE(app->RouteCommand(ID_PREV_PAGE));
    EXPECT_EQ(TakeLog(), (Log{"close 2", "open 3 one.wav", "play 3"}));

    // Going to the current page again restarts its sound on a new device.
    Frame().GoToPage(1);
    EXPECT_EQ(TakeLog(), (Log{"stop 3", "close 3", "open 4 one.wav", "play 4"}));
    EXPECT_EQ(audio.OpenCount(), 1);
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(PageSoundTest, ASoundPlaysOnPastAPageWithoutOneAndClosesItsDeviceAtTheEnd) {
    Start();
    Frame().GoToPage(2);
    ASSERT_EQ(Frame().m_bSoundPlaying, 1);
    TakeLog();
    Frame().GoToPage(3); // no sound entry
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_EQ(Frame().m_bSoundPlaying, 1);
    EXPECT_FALSE(playFace);

    audio.Finish(1);
    Deliver();
    EXPECT_EQ(TakeLog(), (Log{"close 1"}));
    EXPECT_EQ(Frame().m_bSoundPlaying, 0);
    EXPECT_EQ(Frame().m_bReopenDevice, 1);
    EXPECT_TRUE(playFace);
    EXPECT_EQ(audio.OpenCount(), 0);
}

TEST_F(PageSoundTest, WithoutAutoplayAPageChangeOnlyMarksTheDevice) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    audio.Finish(1);
    Deliver();
    TakeLog();
    g_bPageSoundAutoPlay = 0;
    Frame().GoToPage(2);
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_EQ(Frame().m_bReopenDevice, 1);
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    EXPECT_EQ(TakeLog(), (Log{"close 1", "open 2 two.wav", "play 2"}));
}

TEST_F(PageSoundTest, EmptyMissingAndUnplayableSoundsAreReportedAndNothingOpens) {
    Start();
    Frame().GoToPage(3);
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_OR_STOP_KEY));
    EXPECT_FALSE(app->QueryCommand(ID_PLAY_SOUND).enabled); // the button is off here
    Frame().GoToPage(5);                                    // with autoplay: reported as well
    Frame().GoToPage(6);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "There is no sound file for this page.");
    EXPECT_EQ(dialogs.messages[1].text, "CLIP.AVI\nUnsupported sound file type.");
    EXPECT_EQ(dialogs.messages[2].text, "Cannot find file: GONE.WAV.\n\nPlease verify that the "
                                        "correct path and filename are given.");
    for (const ScriptedDialogs::Message& m : dialogs.messages)
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_EQ(Frame().m_bSoundPlaying, 0);
    EXPECT_TRUE(app->QueryCommand(ID_PLAY_SOUND).enabled); // an entry, even a bad one
}

TEST_F(PageSoundTest, WithoutOutputPageChangesAreSilentAndAPlayIsAnsweredUnsupported) {
    audio.wave = 0;
    audio.midi = 0;
    Start();
    dialogs.messages.clear(); // the start-up warnings (tested with the application)
    Frame().GoToPage(2);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "TWO.WAV\nUnsupported sound file type.");
    EXPECT_EQ(TakeLog(), Log{});
}

TEST_F(PageSoundTest, ADeviceThatDoesNotOpenIsNeverPlayed) {
    Start();
    audio.failOpen = true;
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "ONE.WAV\nUnsupported sound file type.");
    EXPECT_EQ(Frame().m_bSoundPlaying, 0);
    EXPECT_EQ(Frame().m_bReopenDevice, 1);
    EXPECT_TRUE(playFace);
    // Paging on, and the next try, touch no device that was never opened.
    Frame().GoToPage(2);
    audio.failOpen = false;
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    EXPECT_EQ(Frame().m_bSoundPlaying, 1);
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(PageSoundTest, NoticesOfOtherDevicesAreIgnored) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    ASSERT_TRUE(app->RouteCommand(ID_NEXT_PAGE)); // device 1 closed, 2 plays
    // A late notice of the closed device, and one of a device never ours.
    QCoreApplication::postEvent(&Frame(), new MediaNoticeEvent(1, MediaNotice::Successful));
    QCoreApplication::postEvent(&Frame(), new MediaNoticeEvent(77, MediaNotice::Successful));
    Deliver();
    EXPECT_EQ(Frame().m_bSoundPlaying, 1);
    EXPECT_FALSE(playFace);
    audio.Finish(2);
    Deliver();
    EXPECT_EQ(Frame().m_bSoundPlaying, 0);
}

TEST_F(PageSoundTest, AClickHandledWhileReopeningStartsOneSoundOnly) {
    Start();
    // The second press waits in the queue and runs inside the first one's pump.
    QTimer::singleShot(0, &Frame(), [this] { app->RouteCommand(ID_PLAY_SOUND); });
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    EXPECT_EQ(audio.OpenCount(), 1);
    EXPECT_EQ(audio.PlayingCount(), 1);
    EXPECT_EQ(Frame().m_bSoundPlaying, 1);
    ASSERT_EQ(audio.devices.count(Frame().m_wSoundDevice), 1u);
    EXPECT_TRUE(audio.devices.at(Frame().m_wSoundDevice).playing);
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(PageSoundTest, PagingOnWhileReopeningLeavesOneDeviceForTheCurrentPage) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    // Each page change pumps; a queued key turns the page again meanwhile.
    QTimer::singleShot(0, &Frame(), [this] { app->RouteCommand(ID_NEXT_PAGE); });
    ASSERT_TRUE(app->RouteCommand(ID_NEXT_PAGE));
    Deliver();
    EXPECT_EQ(Frame().m_nCurPage, 3);
    EXPECT_LE(audio.OpenCount(), 1);
    EXPECT_EQ(audio.PlayingCount(), Frame().m_bSoundPlaying);
    // Page 3 has no sound: page 2's may play on, but nothing of page 1.
    for (const auto& [id, device] : audio.devices)
        EXPECT_EQ(device.file.filename(), "two.wav");
    EXPECT_TRUE(audio.misuse.empty());
    EXPECT_TRUE(dialogs.messages.empty()); // page 3 has no sound, but nobody asked for one
}

TEST_F(PageSoundTest, AStopHandledWhileReopeningLeavesNoDeviceBehind) {
    Start();
    Frame().GoToPage(2);
    audio.Finish(1);
    Deliver();
    // Going back pumps twice; a queued press plays and a second one stops.
    QTimer::singleShot(0, &Frame(), [this] {
        app->RouteCommand(ID_PLAY_SOUND);
        app->RouteCommand(ID_PLAY_SOUND);
    });
    ASSERT_TRUE(app->RouteCommand(ID_PREV_PAGE));
    Deliver();
    EXPECT_LE(audio.OpenCount(), 1);
    EXPECT_EQ(audio.PlayingCount(), Frame().m_bSoundPlaying);
    if (audio.OpenCount() == 1) {
        EXPECT_EQ(audio.devices.begin()->first, Frame().m_wSoundDevice);
    }
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(PageSoundTest, ASlideShowClicksUnlessASoundPlaysAndClosesTheDevice) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
    EXPECT_EQ(audio.waves, (std::vector<std::size_t>{2968})); // "click"
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    TakeLog();
    ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
    EXPECT_EQ(audio.waves.size(), 1u); // silent while the page sound played
    EXPECT_EQ(TakeLog(), (Log{"stop 1", "close 1"}));
    EXPECT_EQ(Frame().m_bSoundPlaying, 0);
    EXPECT_EQ(Frame().m_bReopenDevice, 1);
}

TEST_F(PageSoundTest, TheDeviceIsClosedWithTheWindow) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    app.reset();
    EXPECT_EQ(audio.log.back(), "close 1");
    EXPECT_EQ(audio.OpenCount(), 0);
}

} // namespace
