// Effect sounds, spoken prompts and tool tips, against a recording audio
// level; and the page sound end to end through SDL's dummy driver.
#include "app/volume_app.h"

#include "mainframe/main_frame.h"
#include "mainframe/sound_service.h"
#include "platform/host_paths.h"
#include "support/recording_audio.h"
#include "support/scripted_dialogs.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTest>

#include <chrono>
#include <cstring>
#include <set>

namespace fs = std::filesystem;

namespace {

std::uint32_t Le(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}

const std::map<std::string, std::size_t> kWaveSizes = {
    {"CLICK", 2968}, {"WHIZZ", 6772}, {"COOCOO", 3436}, {"PRINTER", 40496},
    {"SPLAT", 3940}, {"1", 2534},     {"2", 1120},      {"3", 2192},
    {"4", 1940},     {"5", 6522},     {"6", 6112},      {"7", 1564},
};

TEST(WaveResourcesTest, TwelveCompiledInRiffWavesOfTheirExactSizes) {
    for (const auto& [name, size] : kWaveSizes) {
        WaveResourceName id = std::isdigit(static_cast<unsigned char>(name[0]))
                                  ? WaveResourceName(std::stoi(name))
                                  : WaveResourceName(std::string_view(name));
        std::span<const std::uint8_t> w = FindWaveResource(id);
        ASSERT_EQ(w.size(), size) << name;
        EXPECT_EQ(std::memcmp(w.data(), "RIFF", 4), 0) << name;
        EXPECT_EQ(Le(w, 4, 4), size - 8) << name;
        EXPECT_EQ(std::memcmp(w.data() + 8, "WAVEfmt ", 8), 0) << name;
        EXPECT_EQ(Le(w, 20, 2), 1u) << name;     // PCM
        EXPECT_EQ(Le(w, 22, 2), 1u) << name;     // mono
        EXPECT_EQ(Le(w, 24, 4), 11025u) << name; // samples per second
        EXPECT_EQ(Le(w, 34, 2), 8u) << name;     // bits per sample
        EXPECT_EQ(std::memcmp(w.data() + 36, "data", 4), 0) << name;
        EXPECT_EQ(Le(w, 40, 4), size - 44) << name;
    }
    EXPECT_EQ(FindWaveResource("whizz").size(), 6772u); // names in any case
    EXPECT_TRUE(FindWaveResource("BOING").empty());
    EXPECT_TRUE(FindWaveResource(8).empty());
    EXPECT_TRUE(FindWaveResource(0).empty());
    EXPECT_TRUE(FindWaveResource("../bitmaps/splash").empty());
}

class SoundServiceTest : public ::testing::Test {
protected:
    SoundServiceTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        sounds = dir.MakeDir("sounds");
        for (const char* file : {"FILL.WAV", "PAGENUM.WAV", "12.wav"})
            dir.Write(std::string("sounds/") + file, "voice");
    }

    void Start() {
        app = std::make_unique<CVolumeApp>(settings, "", &dialogs, &audio);
        app->SetTickSource([this] { return now; });
        ASSERT_TRUE(app->InitInstance());
        app->State().g_soundsPath = sounds.string() + "/"; // the start-up read the (empty) setting
    }
    SoundService& Sound() { return app->Sound(); }

    TempDir dir;
    fs::path sounds;
    QSettings settings;
    ScriptedDialogs dialogs;
    RecordingAudio audio;
    std::uint32_t now = 5000;
    std::unique_ptr<CVolumeApp> app;
};

TEST_F(SoundServiceTest, WaveResourcesPlayByNameOrNumber) {
    Start();
    EXPECT_NE(Sound().PlayWaveResource("Coocoo"), 0);
    EXPECT_NE(Sound().PlayWaveResource(5), 0);
    EXPECT_EQ(Sound().PlayWaveResource("NOSUCH"), 0);
    EXPECT_EQ(audio.waves, (std::vector<std::size_t>{3436, 6522}));
    audio.wave = 0; // the output cannot play it
    EXPECT_EQ(Sound().PlayWaveResource("CLICK"), 0);
}

TEST_F(SoundServiceTest, RandomSoundsComeFromTheirSetsOnly) {
    Start();
    std::set<std::size_t> random, splash;
    for (now = 0; now < 400; ++now) {
        Sound().PlayWaveResource();
        random.insert(audio.waves.back());
        Sound().PlaySplashSound();
        splash.insert(audio.waves.back());
    }
    std::set<std::size_t> one_to_seven;
    for (const char* n : {"1", "2", "3", "4", "5", "6", "7"})
        one_to_seven.insert(kWaveSizes.at(n));
    EXPECT_EQ(random, one_to_seven);
    EXPECT_EQ(splash, (std::set<std::size_t>{2534, 1120, 2192, 3940})); // 1, 2, 3, "SPLAT"
    // Drawn while the tick count stands still, the same sound again.
    audio.waves.clear();
    Sound().PlaySplashSound();
    Sound().PlaySplashSound();
    EXPECT_EQ(audio.waves[0], audio.waves[1]);
}

TEST_F(SoundServiceTest, ToolTipsShowTheFirstLineAndSpeakTheSecond) {
    Start();
    CMainFrame& frame = app->Frame();
    EXPECT_EQ(frame.OnNeedToolTipText(ID_TOOL_FILL), "Fill Tool");
    EXPECT_EQ(frame.OnNeedToolTipText(ID_PAGE_LIST), "Page Number");
    ASSERT_EQ(audio.files.size(), 2u);
    EXPECT_EQ(audio.files[0].file, sounds / "FILL.WAV");
    EXPECT_EQ(audio.files[0].wait, SoundWait::Return);
    EXPECT_EQ(audio.files[1].file, sounds / "PAGENUM.WAV");
    // No file of the prompt's name ("First"), no prompt, no control: silent.
    EXPECT_EQ(frame.OnNeedToolTipText(ID_FIRST_PAGE), "Go to the first page");
    EXPECT_EQ(frame.OnNeedToolTipText(ID_NEXT_PAGE), "Go to the next page"); // NEXT.WAV is missing
    EXPECT_EQ(frame.OnNeedToolTipText(ID_PAGE_LABEL), "");
    EXPECT_EQ(frame.OnNeedToolTipText(0), "");
    EXPECT_EQ(audio.files.size(), 2u);
    EXPECT_EQ(frame.OnNeedToolTipText(ID_RESTORE_PAGE), "Restore the original coloring picture");
}

TEST_F(SoundServiceTest, PageNumbersAreSpokenToTheirEnd) {
    Start();
    EXPECT_TRUE(Sound().SpeakSoundFileToEnd("12.wav"));
    EXPECT_FALSE(Sound().SpeakSoundFileToEnd("13.wav"));
    ASSERT_EQ(audio.files.size(), 1u);
    EXPECT_EQ(audio.files[0].wait, SoundWait::Block);
    // Without a sounds folder the names are looked up in the current directory.
    app->State().g_soundsPath.clear();
    EXPECT_FALSE(Sound().SpeakSoundFile("FILL.WAV"));
    app->Paths().SetCurrentDirectory(sounds.string());
    EXPECT_TRUE(Sound().SpeakSoundFile("FILL.WAV"));
}

// The real output, through SDL's dummy driver.
class SoundEndToEndTest : public ::testing::Test {
protected:
    SoundEndToEndTest()
        : settings(QString::fromStdString((dir / "settings.ini").string()), QSettings::IniFormat) {
        fs::path book = dir.MakeDir("book");
        test_sound::WriteBytes(book / "HELLO.WAV", test_sound::ToneWave(300, 440));
        test_sound::WriteBytes(book / "TUNE.MID", test_sound::OneNoteMidi());
        volume = dir.Write("book.vol", "[Volume]\nOrgPath=" + book.string() +
                                           "\nNumPages=2\n[Sound Files]\nPage1=hello.wav\n"
                                           "Page2=tune.mid\n");
    }

    TempDir dir;
    fs::path volume;
    QSettings settings;
    ScriptedDialogs dialogs;
};

TEST_F(SoundEndToEndTest, WaveAndMidiPageSoundsPlayAndTheirEndReachesTheWindow) {
    CVolumeApp app(settings, "", &dialogs);
    ASSERT_TRUE(app.InitInstance());
    ASSERT_TRUE(dialogs.messages.empty()) << "no output: " << dialogs.messages[0].text;
    ASSERT_TRUE(app.OpenDocumentFile(volume.string()));
    CMainFrame& frame = app.Frame();
    std::vector<bool> faces;
    QObject::connect(&frame, &CMainFrame::PlayButtonChanged,
                     [&](bool play) { faces.push_back(play); });
    for (int page : {1, 2}) {
        frame.GoToPage(page);
        ASSERT_TRUE(app.State().m_bSoundPlaying) << page;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !app.State().m_bSoundPlaying; }, 15000)) << page;
    }
    EXPECT_EQ(faces, (std::vector<bool>{false, true, false, true}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SoundEndToEndTest, AnEffectSoundBlocksForItsLength) {
    CVolumeApp app(settings, "", &dialogs);
    ASSERT_TRUE(app.InitInstance());
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(app.Sound().PlayWaveResource("COOCOO"), 0); // 3392 samples: 308 ms
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(307));
    EXPECT_LT(took, std::chrono::milliseconds(308 + 1000 + 1000));
}

} // namespace
