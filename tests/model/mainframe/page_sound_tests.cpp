// The page sound and page changes against a recording audio level, without
// the application: which device is opened, played, stopped and closed, what
// the sound button shows, and which messages the child sees. Events that
// would wait in the UI queue (end notices, queued presses) wait in a script
// the pump runs, so nested handlers run exactly where the pumps are.
#include "model/mainframe/page_navigator.h"
#include "model/mainframe/page_sound.h"

#include "model/mainframe/running_state.h"
#include "model/message_pump.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/text_util.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_pump.h"
#include "support/sound_book.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>

namespace fs = std::filesystem;

namespace {

using Log = std::vector<std::string>;

class PageSoundTest : public ::testing::Test, public IPageSoundOwner, public IPageDisplay {
public:
    PageSoundTest() {
        volume = WriteSoundBook(dir);
        EXPECT_TRUE(doc.OnOpenDocument(volume.string()));
    }

    // IPageSoundOwner: the end notice is posted to the UI queue.
    void SetPlayButton(bool play) override { playFace = play; }
    MediaNoticeSink NoticeSink() override {
        return [this](MediaDeviceId id, MediaNotice) {
            pump.Post([this, id] { sound.OnMciNotify(id); });
        };
    }
    // IPageDisplay
    void LoadPage(int page) override { loaded.push_back(page); }
    void SelectPage(int) override {}

    // The commands of the sound button and the page buttons.
    void Play() { sound.PlayOrStopPageSound(); }
    void Next() {
        if (pages.CanGoForward())
            pages.GoToPage(state.m_nCurPage + 1);
    }
    void Prev() {
        if (pages.CanGoBack())
            pages.GoToPage(state.m_nCurPage - 1);
    }
    void Deliver() { pump.PumpPendingMessages(); }
    Log TakeLog() { return std::exchange(audio.log, {}); }

    TempDir dir;
    fs::path volume;
    HostPaths paths;
    MciExtensions mci;
    RecordingAudio audio;
    ScriptedDialogs dialogs;
    RunningState state;
    CVolDoc doc{paths, mci, audio, dialogs, state};
    ScriptedPump pump;
    PageSound sound{state, doc, audio, dialogs, pump, *this};
    PageNavigator pages{state, doc, sound, *this};
    bool playFace = true;
    std::vector<int> loaded;
};

TEST_F(PageSoundTest, AReplayOnTheSamePageReusesTheOpenDevice) {
    Play();
    // The entry, used in capitals, finds the file of any letter case.
    EXPECT_EQ(TakeLog(), (Log{"open 1 one.wav", "play 1"}));
    EXPECT_TRUE(state.m_bSoundPlaying);
    EXPECT_EQ(sound.m_nSoundPage, 1);
    EXPECT_FALSE(playFace);

    audio.Finish(1);
    Deliver();
    EXPECT_FALSE(state.m_bSoundPlaying);
    EXPECT_TRUE(playFace);
    EXPECT_EQ(audio.OpenCount(), 1); // the device stays open for the next play

    Play();
    EXPECT_EQ(TakeLog(), (Log{"play 1"}));
    // A play request while it plays stops it, and the stop's notice is
    // handled before the request returns.
    Play();
    EXPECT_EQ(TakeLog(), (Log{"stop 1"}));
    EXPECT_TRUE(pump.queue.empty());
    EXPECT_FALSE(state.m_bSoundPlaying);
    EXPECT_TRUE(playFace);
    EXPECT_TRUE(audio.misuse.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PageSoundTest, APageChangeStopsClosesAndOpensTheNewPage) {
    Play();
    TakeLog();
    Next();
    EXPECT_EQ(TakeLog(), (Log{"stop 1", "close 1", "open 2 two.wav", "play 2"}));
    EXPECT_TRUE(state.m_bSoundPlaying);
    EXPECT_EQ(sound.m_nSoundPage, 2);
    EXPECT_TRUE(sound.m_bReopenDevice); // marked by the page change itself
    EXPECT_FALSE(playFace);

    // Ended first, then a page change: the next page still plays, afresh.
    audio.Finish(2);
    Deliver();
    Prev();
    EXPECT_EQ(TakeLog(), (Log{"close 2", "open 3 one.wav", "play 3"}));

    // Going to the current page again reloads it and restarts its sound on a new device.
    pages.GoToPage(1);
    EXPECT_EQ(TakeLog(), (Log{"stop 3", "close 3", "open 4 one.wav", "play 4"}));
    EXPECT_EQ(loaded, (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(audio.OpenCount(), 1);
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(PageSoundTest, PagesAreClampedToTheBook) {
    for (auto [asked, shown] : {std::pair{0, 1}, {-7, 1}, {6, 6}, {11, 6}, {3, 3}}) {
        pages.GoToPage(asked);
        EXPECT_EQ(state.m_nCurPage, shown) << asked;
        EXPECT_EQ(loaded.back(), shown) << asked;
    }
    pages.GoToPage(1);
    EXPECT_FALSE(pages.CanGoBack());
    EXPECT_TRUE(pages.CanGoForward());
    pages.GoToPage(6);
    EXPECT_FALSE(pages.CanGoForward());
    EXPECT_TRUE(pages.CanGoBack());
}

TEST_F(PageSoundTest, ASoundPlaysOnPastAPageWithoutOneAndClosesItsDeviceAtTheEnd) {
    pages.GoToPage(2);
    ASSERT_TRUE(state.m_bSoundPlaying);
    TakeLog();
    pages.GoToPage(3); // no sound entry
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_TRUE(state.m_bSoundPlaying);
    EXPECT_FALSE(playFace);

    audio.Finish(1);
    Deliver();
    EXPECT_EQ(TakeLog(), (Log{"close 1"}));
    EXPECT_FALSE(state.m_bSoundPlaying);
    EXPECT_TRUE(sound.m_bReopenDevice);
    EXPECT_TRUE(playFace);
    EXPECT_EQ(audio.OpenCount(), 0);
}

TEST_F(PageSoundTest, WithoutAutoplayAPageChangeOnlyMarksTheDevice) {
    Play();
    audio.Finish(1);
    Deliver();
    TakeLog();
    state.g_bPageSoundAutoPlay = false;
    pages.GoToPage(2);
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_TRUE(sound.m_bReopenDevice);
    Play();
    EXPECT_EQ(TakeLog(), (Log{"close 1", "open 2 two.wav", "play 2"}));
}

TEST_F(PageSoundTest, EmptyMissingAndUnplayableSoundsAreReportedAndNothingOpens) {
    pages.GoToPage(3);
    Play();
    pages.GoToPage(5); // with autoplay: reported as well
    pages.GoToPage(6);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "There is no sound file for this page.");
    EXPECT_EQ(dialogs.messages[1].text, "CLIP.AVI\nUnsupported sound file type.");
    EXPECT_EQ(dialogs.messages[2].text, "Cannot find file: GONE.WAV.\n\nPlease verify that the "
                                        "correct path and filename are given.");
    for (const ScriptedDialogs::Message& m : dialogs.messages)
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    EXPECT_EQ(TakeLog(), Log{});
    EXPECT_FALSE(state.m_bSoundPlaying);
}

TEST_F(PageSoundTest, WithoutOutputPageChangesAreSilentAndAPlayIsAnsweredUnsupported) {
    audio.wave = 0;
    audio.midi = 0;
    pages.GoToPage(2);
    EXPECT_TRUE(dialogs.messages.empty());
    Play();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "TWO.WAV\nUnsupported sound file type.");
    EXPECT_EQ(TakeLog(), Log{});
}

TEST_F(PageSoundTest, ADeviceThatDoesNotOpenIsNeverPlayed) {
    audio.failOpen = true;
    Play();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "ONE.WAV\nUnsupported sound file type.");
    EXPECT_FALSE(state.m_bSoundPlaying);
    EXPECT_TRUE(sound.m_bReopenDevice);
    EXPECT_TRUE(playFace);
    // Paging on, and the next try, touch no device that was never opened.
    pages.GoToPage(2);
    audio.failOpen = false;
    Play();
    EXPECT_TRUE(state.m_bSoundPlaying);
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(PageSoundTest, NoticesOfOtherDevicesAreIgnored) {
    Play();
    Next(); // device 1 closed, 2 plays
    // A late notice of the closed device, and one of a device never ours.
    sound.OnMciNotify(1);
    sound.OnMciNotify(77);
    sound.OnMciNotify(kNoMediaDevice);
    EXPECT_TRUE(state.m_bSoundPlaying);
    EXPECT_FALSE(playFace);
    audio.Finish(2);
    Deliver();
    EXPECT_FALSE(state.m_bSoundPlaying);
}

// Presses and page changes that wait in the queue and so run inside a pump
// of the operation under way: one device at most, for the current page, and
// never a call on an id that is not open.
TEST_F(PageSoundTest, EventsHandledInsideAPumpLeaveOneConsistentDevice) {
    struct Case {
        const char* name;
        std::function<void(PageSoundTest&)> before;  // sets the scene
        std::function<void(PageSoundTest&)> queued;  // waits in the queue
        std::function<void(PageSoundTest&)> command; // the operation that pumps
    };
    const std::vector<Case> cases = {
        {"a second press while the first reopens", [](PageSoundTest&) {},
         [](PageSoundTest& t) { t.Play(); }, [](PageSoundTest& t) { t.Play(); }},
        {"paging on while the next page reopens", [](PageSoundTest& t) { t.Play(); },
         [](PageSoundTest& t) { t.Next(); }, [](PageSoundTest& t) { t.Next(); }},
        {"a play and a stop while going back",
         [](PageSoundTest& t) {
             t.pages.GoToPage(2);
             t.audio.Finish(t.sound.SoundDevice());
             t.Deliver();
         },
         [](PageSoundTest& t) {
             t.Play();
             t.Play();
         },
         [](PageSoundTest& t) { t.Prev(); }},
    };
    for (const Case& c : cases) {
        PageSoundTest& t = *this;
        t.pages.GoToPage(1);
        t.sound.StopPageSound(true);
        t.Deliver();
        c.before(t);
        t.pump.Post([&] { c.queued(t); });
        c.command(t);
        t.Deliver();
        EXPECT_LE(audio.OpenCount(), 1) << c.name;
        EXPECT_EQ(audio.PlayingCount(), state.m_bSoundPlaying ? 1 : 0) << c.name;
        if (audio.OpenCount() == 1) {
            EXPECT_EQ(audio.devices.begin()->first, sound.SoundDevice()) << c.name;
        }
        for (const auto& [id, device] : audio.devices) {
            if (device.playing && state.m_nCurPage != 3) {
                EXPECT_EQ(ToUpperAscii(device.file.filename().string()),
                          ToUpperAscii(doc.GetPageFile(sound.m_nSoundPage, PageFileKind::Sound)))
                    << c.name;
            }
        }
        EXPECT_TRUE(audio.misuse.empty()) << c.name;
        EXPECT_TRUE(dialogs.messages.empty()) << c.name;
    }
}

TEST_F(PageSoundTest, AnotherVolumeStopsAndClosesThePreviousBooksSound) {
    pages.GoToPage(2);
    ASSERT_TRUE(state.m_bSoundPlaying);
    TakeLog();
    // The other book's page 1 has a sound file of the same name.
    fs::path other = dir.MakeDir("other");
    dir.Write("other/ONE.WAV", "other sound");
    fs::path vol = dir.Write("other.vol", "[Volume]\nOrgPath=" + other.string() +
                                              "\nNumPages=1\n[Sound Files]\nPage1=one.wav\n");
    ASSERT_TRUE(doc.OnOpenDocument(vol.string()));
    pages.OnVolumeRead();
    EXPECT_EQ(TakeLog(), (Log{"stop 1", "close 1"}));
    EXPECT_FALSE(state.m_bSoundPlaying);
    EXPECT_TRUE(playFace);
    EXPECT_EQ(state.m_nCurPage, 1);
    EXPECT_TRUE(loaded.size() == 1); // no picture load: the window does that next
    // The next play opens the new book's file, not the old device.
    Play();
    EXPECT_EQ(TakeLog(), (Log{"open 2 ONE.WAV", "play 2"}));
    EXPECT_EQ(audio.devices.at(2).file.parent_path(), other);
}

TEST_F(PageSoundTest, TheDeviceIsClosedWhenThePageSoundGoes) {
    {
        PageSound local(state, doc, audio, dialogs, pump, *this);
        local.PlayOrStopPageSound();
        TakeLog();
    }
    EXPECT_EQ(TakeLog(), (Log{"close 1"}));
    EXPECT_EQ(audio.OpenCount(), 0);
    EXPECT_FALSE(state.m_bSoundPlaying);
}

} // namespace
