// The slide show against a recording audio level and a window and main
// window that record what they are asked: which pages are shown, which
// sounds play, where the main window ends up. Beats are calls of OnTimer;
// end notices wait in a script the pump runs, so nested handlers run exactly
// where the show pumps.
#include "model/slideshow/slide_show.h"

#include "model/mainframe/running_state.h"
#include "model/volume/vol_doc.h"
#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_pump.h"
#include "support/slide_show_record.h"
#include "support/sound_book.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace {

using Log = std::vector<std::string>;
using Pages = std::vector<int>;
using Visits = std::vector<std::pair<int, bool>>; // page, autoplay during the call

// Also records pauses and resumes.
class PausingAudio : public RecordingAudio {
public:
    bool PauseMedia(MediaDeviceId id) override {
        log.push_back("pause " + std::to_string(id));
        return RecordingAudio::PauseMedia(id);
    }
    bool ResumeMedia(MediaDeviceId id) override {
        log.push_back("resume " + std::to_string(id));
        return RecordingAudio::ResumeMedia(id);
    }
};

// The six-page sound book: 1 one.wav, 2 two.wav, 3 none, 4 song.mid,
// 5 clip.avi (unsupported), 6 gone.wav (missing).
class SlideShowTest : public ::testing::Test, public ISlideShowWindow, public ISlideShowOwner {
public:
    SlideShowTest() { EXPECT_TRUE(doc.OnOpenDocument(WriteSoundBook(dir).string())); }

    // ISlideShowWindow
    void LoadPicture(const std::string& name) override { pictures.push_back(name); }
    void LoadPage(int page) override { pages.push_back(page); }
    void StartBeat() override { beating = true; }
    void StopBeat() override { beating = false; }
    void HidePointer() override { pointerHidden = true; }
    void ShowPointer() override { pointerHidden = false; }
    void ShowWindow() override { ++windowShown; }
    MediaNoticeSink NoticeSink() override {
        return [this](MediaDeviceId id, MediaNotice) {
            pump.Post([this, id] { show->OnMciNotify(id); });
        };
    }
    bool ModalDialogUp() const override { return modalUp; }
    void CloseLater() override { ++closeRequests; }
    // ISlideShowOwner
    void GoToPage(int page) override { visits.push_back({page, state.g_bPageSoundAutoPlay}); }
    bool OpenVolume(const std::string& name) override {
        opened.push_back(name);
        return openAnswer;
    }

    // A new show; what the previous one did is forgotten.
    void Start(const CSlideShowInfo& info) {
        pages.clear();
        pictures.clear();
        visits.clear();
        opened.clear();
        closeRequests = 0;
        dialogs.messages.clear();
        show.emplace(info, state, doc, audio, dialogs, pump, *this, *this);
        show->StartShow();
    }
    void Tick(int beats) {
        for (int i = 0; i < beats; ++i)
            show->OnTimer();
    }
    void Do(const std::string& what) {
        static const std::map<std::string, CommandId> kIds = {
            {"first", ID_SHOW_FIRST}, {"prev", ID_SHOW_PREV},   {"next", ID_SHOW_NEXT},
            {"last", ID_SHOW_LAST},   {"pause", ID_SHOW_PAUSE}, {"end", ID_SHOW_END}};
        if (what == "left" || what == "right")
            show->OnClick(what == "left" ? 1 : -1);
        else
            EXPECT_TRUE(show->OnCommand(kIds.at(what)));
    }
    // The play under way comes to its end, and its notice is delivered.
    void FinishSound() {
        for (auto& [id, device] : audio.devices)
            if (device.playing) {
                audio.Finish(id);
                break;
            }
        pump.PumpPendingMessages();
    }
    // The file the one playing device plays, "" when none plays.
    std::string Playing() const {
        for (const auto& [id, device] : audio.devices)
            if (device.playing)
                return device.file.filename().string();
        return {};
    }
    bool Ended() const { return show->HasEnded(); }

    TempDir dir;
    HostPaths paths;
    MciExtensions mci;
    PausingAudio audio;
    ScriptedDialogs dialogs;
    RunningState state;
    CVolDoc doc{paths, mci, audio, dialogs, state};
    ScriptedPump pump;
    std::optional<SlideShow> show;

    Pages pages;
    std::vector<std::string> pictures;
    bool beating = false;
    bool pointerHidden = false;
    int windowShown = 0;
    bool modalUp = false;
    int closeRequests = 0;
    Visits visits;
    std::vector<std::string> opened;
    bool openAnswer = true;
};

TEST_F(SlideShowTest, KeysAndClicksStepThroughTheRange) {
    struct Case {
        const char* name;
        CSlideShowInfo info;
        Log steps;
        Pages shown;
        bool ended;
    };
    const std::vector<Case> cases = {
        {"next on the last page ends",
         Record(5, 6, 7, true, false, false),
         {"next", "right", "left", "left"},
         {5, 6, 5, 6},
         true},
        {"with loop page 1 follows, and the range begins there",
         Record(3, 4, 7, true, false, true),
         {"left", "next", "next", "first", "last"},
         {3, 4, 1, 2, 1, 4},
         false},
        {"previous before the start shows page 1, and the range begins there",
         Record(3, 6, 7, true, false, false),
         {"prev", "prev", "next", "first"},
         {3, 1, 1, 2, 1},
         false},
    };
    for (const Case& c : cases) {
        Start(c.info);
        for (const std::string& step : c.steps)
            Do(step);
        EXPECT_EQ(pages, c.shown) << c.name;
        EXPECT_EQ(Ended(), c.ended) << c.name;
        // The main window shows the page the show ended on, without its sound.
        EXPECT_EQ(visits, (c.ended ? Visits{{c.shown.back(), false}} : Visits{})) << c.name;
        EXPECT_TRUE(state.g_bPageSoundAutoPlay) << c.name;
        show->EndShow();
    }
}

// Ranges and seconds that do not fit the volume: the show starts on a page
// it has, never ends before showing one, and a page stays at least a beat.
TEST_F(SlideShowTest, ARangeOutsideTheVolumeIsFittedToIt) {
    struct Case {
        int start, end, seconds;
        bool loop;
        int first, beats, then; // then: the page after `beats` beats, 0 for the end
    };
    for (const Case& c : std::vector<Case>{{-3, 99, -5, false, 1, 1, 2},
                                           {99, 99, 3, false, 6, 3, 0},
                                           {5, 3, 2, false, 5, 2, 0},
                                           {5, 3, 2, true, 5, 2, 1},
                                           {2, 0, 0, false, 2, 1, 0}}) {
        const std::string name = std::to_string(c.start) + ".." + std::to_string(c.end);
        Start(Record(c.start, c.end, c.seconds, true, false, c.loop));
        Tick(c.beats - 1);
        EXPECT_EQ(pages, Pages{c.first}) << name;
        EXPECT_EQ(closeRequests, 0) << name;
        Tick(1);
        EXPECT_EQ(pages, (c.then ? Pages{c.first, c.then} : Pages{c.first})) << name;
        EXPECT_EQ(visits, (c.then ? Visits{} : Visits{{c.first, false}})) << name;
        show->EndShow();
    }
}

TEST_F(SlideShowTest, WaitingForSoundsTimesPagesWhoseSoundDoesNotPlay) {
    struct Case {
        const char* name;
        int page, wave;
        std::size_t messages;
    };
    for (const Case& c : std::vector<Case>{{"no sound entry", 3, 1, 0},
                                           {"a type nothing plays", 5, 1, 1},
                                           {"a missing file", 6, 1, 1},
                                           {"no wave output", 1, 0, 0}}) {
        audio.wave = c.wave;
        Start(Record(c.page, 6, 4, false, true, false));
        Tick(3);
        EXPECT_EQ(pages, Pages{c.page}) << c.name;
        EXPECT_EQ(dialogs.messages.size(), c.messages) << c.name;
        Tick(1);
        EXPECT_EQ(c.page == 6 ? Ended() : pages == (Pages{c.page, c.page + 1}), true) << c.name;
        show->EndShow();
    }
    EXPECT_EQ(audio.OpenCount(), 0);
}

// A page waits for its sound, also through a pause and past late notices of
// devices the show has already replaced.
TEST_F(SlideShowTest, WaitingForSoundsAdvancesAtTheEndOfEachPagesSound) {
    Start(Record(1, 2, 4, false, true, false));
    Tick(10);
    Do("pause");
    Tick(20);
    Do("pause");
    EXPECT_EQ(std::exchange(audio.log, {}),
              (Log{"open 1 one.wav", "play 1", "pause 1", "resume 1"}));
    // Previous on page 1 shows it again and starts its sound afresh.
    Do("prev");
    EXPECT_EQ(std::exchange(audio.log, {}), (Log{"stop 1", "close 1", "open 2 one.wav", "play 2"}));
    for (MediaDeviceId late : {MediaDeviceId{1}, MediaDeviceId{77}, kNoMediaDevice})
        show->OnMciNotify(late);
    EXPECT_EQ(Playing(), "one.wav");
    EXPECT_EQ(pages, (Pages{1, 1}));
    FinishSound();
    EXPECT_EQ(pages, (Pages{1, 1, 2}));
    EXPECT_EQ(Playing(), "two.wav");
    FinishSound();
    EXPECT_EQ(closeRequests, 1);
    EXPECT_EQ(audio.OpenCount(), 0);
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(SlideShowTest, TimedPagesCutALongerSoundOffWithoutAnExtraStep) {
    Start(Record(1, 6, 3, true, true, false));
    Tick(3);
    EXPECT_EQ(audio.log,
              (Log{"open 1 one.wav", "play 1", "stop 1", "close 1", "open 2 two.wav", "play 2"}));
    FinishSound(); // ends early: the page still stays its seconds
    Tick(2);
    EXPECT_EQ(pages, (Pages{1, 2}));
    Tick(1);
    EXPECT_EQ(pages, (Pages{1, 2, 3}));
}

TEST_F(SlideShowTest, APauseKeepsTheSecondsThePageHadLeft) {
    // Also a page timed only because it has no sound picks its count up again.
    for (bool goBySeconds : {true, false}) {
        Start(Record(3, 6, 8, goBySeconds, true, false));
        Tick(3);
        Do("pause");
        EXPECT_TRUE(show->IsStopped());
        Tick(20);
        Do("pause");
        Tick(4);
        EXPECT_EQ(pages, Pages{3}) << goBySeconds;
        Tick(1);
        EXPECT_EQ(pages, (Pages{3, 4})) << goBySeconds;
        show->EndShow();
    }
}

// The end of an earlier page's sound, whether it ends by itself or is
// stopped by the next page change, never moves the show on.
TEST_F(SlideShowTest, OnlyTheCurrentPagesOwnSoundAdvancesTheShow) {
    for (bool endsOnItsOwn : {false, true}) {
        Start(Record(2, 6, 2, false, true, true));
        Do("next"); // page 3 has no sound: two.wav plays on
        if (endsOnItsOwn)
            FinishSound();
        EXPECT_EQ(pages, (Pages{2, 3})) << endsOnItsOwn;
        Tick(2);
        EXPECT_EQ(pages, (Pages{2, 3, 4})) << endsOnItsOwn;
        EXPECT_EQ(Playing(), "song.mid") << endsOnItsOwn;
        EXPECT_EQ(audio.OpenCount(), 1) << endsOnItsOwn;
        EXPECT_EQ(closeRequests, 0) << endsOnItsOwn;
        show->EndShow();
    }
}

TEST_F(SlideShowTest, NothingAdvancesUnderADialog) {
    Start(Record(1, 6, 2, false, true, false));
    modalUp = true;
    FinishSound(); // page 1's sound ends while a dialog is open
    Tick(5);
    EXPECT_EQ(pages, Pages{1});
    modalUp = false;
    Tick(1); // the page moves on at the first beat after it
    Tick(1);
    EXPECT_EQ(pages, (Pages{1, 2}));
}

// Events waiting in the queue run inside the pump of a page change: a beat
// waits, a key's page change wins, and Esc ends the show there and then.
TEST_F(SlideShowTest, EventsHandledInsideAPageChangeLeaveOneConsistentShow) {
    struct Case {
        const char* name;
        std::function<void(SlideShowTest&)> queued;
        Pages shown;
        std::string playing;
        bool ended;
    };
    const std::vector<Case> cases = {
        {"a beat that would end the page",
         [](SlideShowTest& t) { t.Tick(1); },
         {1, 2},
         "two.wav",
         false},
        {"a second next", [](SlideShowTest& t) { t.Do("next"); }, {1, 2, 3}, "", false},
        {"previous back to a page with a sound",
         [](SlideShowTest& t) { t.Do("prev"); },
         {1, 2, 1},
         "one.wav",
         false},
        {"Esc", [](SlideShowTest& t) { t.Do("end"); }, {1, 2}, "", true},
        {"the window closed", [](SlideShowTest& t) { t.show->OnWindowClosed(); }, {1, 2}, "", true},
    };
    for (const Case& c : cases) {
        Start(Record(1, 6, 2, true, true, false));
        Tick(1);
        pump.Post([&] { c.queued(*this); });
        Do("next");
        EXPECT_EQ(pages, c.shown) << c.name;
        EXPECT_EQ(Playing(), c.playing) << c.name;
        EXPECT_EQ(audio.OpenCount(), c.playing.empty() ? 0 : 1) << c.name;
        EXPECT_EQ(closeRequests, c.ended ? 1 : 0) << c.name;
        EXPECT_EQ(visits, (c.ended ? Visits{{2, false}} : Visits{})) << c.name;
        show->EndShow();
    }
    EXPECT_TRUE(audio.misuse.empty());
}

TEST_F(SlideShowTest, ClosingTheWindowEndsTheShowProperly) {
    Start(Record(2, 6, 8, false, true, false));
    EXPECT_TRUE(state.g_bSlideShowRunning && beating && pointerHidden && windowShown == 1);
    show->OnWindowClosed();
    EXPECT_FALSE(state.g_bSlideShowRunning || beating || pointerHidden);
    EXPECT_EQ(audio.OpenCount(), 0);
    EXPECT_EQ(visits, (Visits{{2, false}}));
    EXPECT_TRUE(state.g_bPageSoundAutoPlay);
    // Whatever still arrives afterwards changes nothing.
    show->OnWindowClosed();
    Do("end");
    Do("next");
    Tick(10);
    show->OnMciNotify(1);
    EXPECT_EQ(closeRequests, 1);
    EXPECT_EQ(visits.size(), 1u);
    EXPECT_EQ(pages, Pages{2});
}

TEST_F(SlideShowTest, TheReturnVolumeIsReopenedAtItsPageOnce) {
    for (bool opens : {true, false}) {
        openAnswer = opens;
        state.g_strReturnVolume = "C:\\BOOKS\\MINE.VOL";
        state.g_nReturnPage = 4;
        Start(Record(1, 6, 8, true, false, false));
        Do("next");
        Do("end");
        EXPECT_EQ(opened, Log{"C:\\BOOKS\\MINE.VOL"}) << opens;
        // When it does not open, the main window shows the page the show ended on.
        EXPECT_EQ(visits, (Visits{{opens ? 4 : 2, false}})) << opens;
        EXPECT_TRUE(state.g_strReturnVolume.empty()) << opens;
    }
}

TEST_F(SlideShowTest, ColouredBooksShowTheCopyElseTheReadyColouredElseTheOriginal) {
    const std::string org = dir.MakeDir("org").string();
    const std::string copy = dir.MakeDir("copy").string();
    const std::string col = dir.MakeDir("col").string();
    dir.Write("copy/a.bmp", "copy");
    const std::string head = "[Volume]\nOrgPath=" + org + "\nNumPages=3\n";
    // Page 3 has only a sound entry.
    const std::string list =
        "[Picture Files]\nPage1=a.bmp\nPage2=b.bmp\n[Sound Files]\nPage3=c.wav\n";
    struct Case {
        std::string volume;
        Log pictures;
        Pages pages;
    };
    for (const Case& c : std::vector<Case>{
             {head + "CopyDir=" + copy + "\nColPath=" + col + "\n" + list,
              {copy + "\\a.bmp", col + "\\b.bmp", ""},
              {}},
             {head + "CopyDir=" + copy + "\n" + list, {copy + "\\a.bmp", org + "\\b.bmp", ""}, {}},
             {head + list, {}, {1, 2, 3}}}) {
        ASSERT_TRUE(doc.OnOpenDocument(dir.Write("pictures.vol", c.volume).string()));
        Start(Record(1, 3, 8, true, false, false));
        Do("next");
        Do("next");
        EXPECT_EQ(pictures, c.pictures) << c.volume;
        EXPECT_EQ(pages, c.pages) << c.volume;
        show->EndShow();
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
