// The main window over its page sound, with the application around it: end
// notices arriving as queued events, the sound commands and button face, a
// slide-show start, a new volume, and the device closed with the window. The
// page sound's own rules are tested on the model (tests/model/mainframe).
#include "app/volume_app.h"

#include "framework/media_notice.h"
#include "mainframe/main_frame.h"
#include "model/volume/vol_doc.h"
#include "slideshow/slide_show_wnd.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/sound_book.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTimer>

namespace fs = std::filesystem;

namespace {

using Log = std::vector<std::string>;

class MainFrameSoundTest : public ::testing::Test {
protected:
    MainFrameSoundTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        volume = WriteSoundBook(dir);
    }

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

TEST_F(MainFrameSoundTest, CommandsPlayAndStopAndTheEndArrivesAsAQueuedEvent) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    EXPECT_EQ(TakeLog(), (Log{"open 1 one.wav", "play 1"}));
    EXPECT_FALSE(playFace);
    audio.Finish(1);
    EXPECT_TRUE(app->State().m_bSoundPlaying); // not before the event loop runs
    Deliver();
    EXPECT_FALSE(app->State().m_bSoundPlaying);
    EXPECT_TRUE(playFace);
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_OR_STOP_KEY));
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    EXPECT_EQ(TakeLog(), (Log{"play 1", "stop 1"}));
    // A late notice of a device that is not the page sound's changes nothing.
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    QCoreApplication::postEvent(&Frame(), new MediaNoticeEvent(77, MediaNotice::Successful));
    Deliver();
    EXPECT_TRUE(app->State().m_bSoundPlaying);
    Frame().GoToPage(3);
    EXPECT_FALSE(app->QueryCommand(ID_PLAY_SOUND).enabled == false); // it still plays
    Frame().StopPageSound(true);
    EXPECT_FALSE(app->QueryCommand(ID_PLAY_SOUND).enabled); // page 3 has no sound
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(MainFrameSoundTest, ASlideShowClicksUnlessASoundPlaysAndClosesTheDevice) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
    EXPECT_EQ(audio.waves, (std::vector<std::size_t>{2968})); // "click"
    ASSERT_TRUE(Frame().SlideShowWnd());
    EXPECT_TRUE(app->State().g_bSlideShowRunning);
    Frame().SlideShowWnd()->Show().OnCommand(ID_SHOW_END);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Frame().SlideShowWnd());
    EXPECT_FALSE(app->State().g_bSlideShowRunning);

    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    const MediaDeviceId playing = Frame().GetPageSound().SoundDevice();
    TakeLog();
    ASSERT_TRUE(app->RouteCommand(ID_SLIDE_SHOW));
    EXPECT_EQ(audio.waves.size(), 1u); // silent while the page sound played
    const Log log = TakeLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "stop " + std::to_string(playing));
    EXPECT_EQ(log[1], "close " + std::to_string(playing));
    EXPECT_FALSE(app->State().m_bSoundPlaying);
    EXPECT_TRUE(Frame().GetPageSound().m_bReopenDevice);
}

TEST_F(MainFrameSoundTest, OpeningAnotherVolumeSilencesThePreviousBook) {
    Start();
    Frame().GoToPage(2);
    ASSERT_TRUE(app->State().m_bSoundPlaying);
    TakeLog();
    fs::path other = dir.MakeDir("other");
    dir.Write("other/TWO.WAV", "other sound");
    fs::path vol = dir.Write("other.vol", "[Volume]\nOrgPath=" + other.string() +
                                              "\nNumPages=2\n[Sound Files]\nPage2=two.wav\n");
    ASSERT_TRUE(app->OpenDocumentFile(vol.string()));
    EXPECT_EQ(TakeLog(), (Log{"stop 1", "close 1"}));
    EXPECT_FALSE(app->State().m_bSoundPlaying);
    EXPECT_TRUE(playFace);
    EXPECT_EQ(app->State().m_nCurPage, 1);
    // Play on the new book's page 2 opens its own file, never the old device.
    Frame().GoToPage(2);
    EXPECT_EQ(TakeLog(), (Log{"open 2 TWO.WAV", "play 2"}));
    EXPECT_EQ(audio.devices.at(2).file.parent_path(), other);
}

TEST_F(MainFrameSoundTest, TheDeviceIsClosedWithTheWindow) {
    Start();
    ASSERT_TRUE(app->RouteCommand(ID_PLAY_SOUND));
    app.reset();
    EXPECT_EQ(audio.log.back(), "close 1");
    EXPECT_EQ(audio.OpenCount(), 0);
}

} // namespace
