// The SDL back-end end to end: SDL's dummy driver plays in real time without
// hardware, its disk driver records what would be heard.
#include "platform/sdl_audio.h"

#include "support/env_guard.h"
#include "support/sound_files.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Collects notices from whatever thread sends them.
class Notices {
public:
    MediaNoticeSink Sink() {
        return [this](MediaDeviceId id, MediaNotice code) {
            std::lock_guard lock(m_mutex);
            m_got.push_back({id, code});
            m_cv.notify_all();
        };
    }
    // Waits for the n-th notice (from 1); false when it does not come in time.
    bool WaitFor(std::size_t n, std::chrono::milliseconds limit = 10s) {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, limit, [&] { return m_got.size() >= n; });
    }
    std::vector<std::pair<MediaDeviceId, MediaNotice>> Got() {
        std::lock_guard lock(m_mutex);
        return m_got;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::pair<MediaDeviceId, MediaNotice>> m_got;
};

long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

class SdlAudioTest : public ::testing::Test {
protected:
    fs::path Wave(const std::string& name, int ms, double hz = 440) {
        return test_sound::WriteBytes(dir / name, test_sound::ToneWave(ms, hz));
    }
    fs::path Midi(const std::string& name) {
        return test_sound::WriteBytes(dir / name, test_sound::OneNoteMidi());
    }

    EnvGuard driver{"SDL_AUDIODRIVER", "dummy"};
    TempDir dir;
};

TEST_F(SdlAudioTest, WaveAndMidiPageSoundsPlayToTheirEnd) {
    SdlAudio audio;
    ASSERT_EQ(audio.WaveOutCount(), 1);
    ASSERT_EQ(audio.MidiOutCount(), 1) << "a General MIDI sound font must be installed";
    for (const fs::path& file : {Wave("short.wav", 300), Midi("note.mid")}) {
        Notices notices;
        MediaDeviceId id = audio.OpenMedia(file);
        ASSERT_NE(id, kNoMediaDevice) << file;
        Clock::time_point start = Clock::now();
        ASSERT_TRUE(audio.PlayMedia(id, notices.Sink()));
        ASSERT_TRUE(notices.WaitFor(1)) << file;
        EXPECT_GE(MsSince(start), 200) << file; // it took about as long as the sound
        EXPECT_EQ(notices.Got()[0], std::pair(id, MediaNotice::Successful));
        // Played again on the same device, it starts from the beginning and ends again.
        ASSERT_TRUE(audio.PlayMedia(id, notices.Sink()));
        ASSERT_TRUE(notices.WaitFor(2)) << file;
        EXPECT_EQ(notices.Got()[1], std::pair(id, MediaNotice::Successful));
        EXPECT_TRUE(audio.CloseMedia(id));
    }
}

TEST_F(SdlAudioTest, StopCloseAndAnotherPlayEachEndAPlayWithOneNotice) {
    SdlAudio audio;
    fs::path file = Wave("long.wav", 5000);
    Notices notices;
    MediaDeviceId a = audio.OpenMedia(file);
    MediaDeviceId b = audio.OpenMedia(file);
    ASSERT_NE(a, kNoMediaDevice);
    ASSERT_NE(b, a);

    ASSERT_TRUE(audio.PlayMedia(a, notices.Sink()));
    EXPECT_TRUE(audio.StopMedia(a));
    ASSERT_TRUE(notices.WaitFor(1));
    EXPECT_TRUE(audio.StopMedia(a)); // nothing plays: no second notice

    ASSERT_TRUE(audio.PlayMedia(a, notices.Sink()));
    ASSERT_TRUE(audio.PlayMedia(a, notices.Sink())); // replaces its own play
    ASSERT_TRUE(audio.PlayMedia(b, notices.Sink())); // takes the output
    EXPECT_TRUE(audio.PauseMedia(b));
    EXPECT_TRUE(audio.ResumeMedia(b));
    EXPECT_TRUE(audio.CloseMedia(b));
    ASSERT_TRUE(notices.WaitFor(4));
    std::this_thread::sleep_for(100ms);
    std::vector<std::pair<MediaDeviceId, MediaNotice>> want = {
        {a, MediaNotice::Aborted},
        {a, MediaNotice::Superseded},
        {a, MediaNotice::Aborted},
        {b, MediaNotice::Aborted},
    };
    EXPECT_EQ(notices.Got(), want);

    // A closed id, or one never handed out, is refused and touches nothing.
    for (MediaDeviceId id : {b, kNoMediaDevice, MediaDeviceId{999}}) {
        EXPECT_FALSE(audio.PlayMedia(id, notices.Sink()));
        EXPECT_FALSE(audio.StopMedia(id));
        EXPECT_FALSE(audio.PauseMedia(id));
        EXPECT_FALSE(audio.CloseMedia(id));
    }
    EXPECT_EQ(notices.Got().size(), 4u);
    MediaDeviceId c = audio.OpenMedia(file);
    EXPECT_NE(c, a);
    EXPECT_NE(c, b); // ids are never used twice
    EXPECT_EQ(audio.OpenMedia(dir / "missing.wav"), kNoMediaDevice);
}

TEST_F(SdlAudioTest, AClosedDeviceNeverReportsAgain) {
    Notices notices;
    {
        SdlAudio audio;
        MediaDeviceId id = audio.OpenMedia(Wave("short.wav", 150));
        ASSERT_TRUE(audio.PlayMedia(id, notices.Sink()));
        EXPECT_TRUE(audio.CloseMedia(id));
        std::this_thread::sleep_for(400ms); // past the sound's end
        EXPECT_EQ(notices.Got().size(), 1u);
        // Closing the output ends a play still under way with its notice.
        MediaDeviceId other = audio.OpenMedia(Wave("long.wav", 5000));
        ASSERT_TRUE(audio.PlayMedia(other, notices.Sink()));
    }
    ASSERT_EQ(notices.Got().size(), 2u);
    EXPECT_EQ(notices.Got()[1].second, MediaNotice::Aborted);
}

TEST_F(SdlAudioTest, EffectSoundBlocksForItsLengthAndNoLongerThanItsBound) {
    SdlAudio audio({.blockGraceMs = 1000});
    std::vector<std::uint8_t> image = test_sound::ToneWave(400, 660);
    Clock::time_point start = Clock::now();
    EXPECT_TRUE(audio.PlayWaveImage(image));
    long long took = MsSince(start);
    EXPECT_GE(took, 400);
    EXPECT_LT(took, 400 + 1000 + 500);

    // Not a wave image: refused at once, nothing plays.
    std::vector<std::uint8_t> midi = test_sound::OneNoteMidi(8);
    start = Clock::now();
    EXPECT_FALSE(audio.PlayWaveImage(midi));
    EXPECT_FALSE(audio.PlayWaveImage({}));
    std::vector<std::uint8_t> cut(image.begin(), image.begin() + 30);
    EXPECT_FALSE(audio.PlayWaveImage(cut));
    EXPECT_LT(MsSince(start), 300);
}

TEST_F(SdlAudioTest, FileSoundsBlockOrNot) {
    SdlAudio audio;
    fs::path file = Wave("prompt.wav", 300);
    Clock::time_point start = Clock::now();
    EXPECT_TRUE(audio.PlaySoundFile(file, SoundWait::Return));
    EXPECT_LT(MsSince(start), 250);
    start = Clock::now();
    EXPECT_TRUE(audio.PlaySoundFile(file, SoundWait::Block));
    EXPECT_GE(MsSince(start), 300);
    EXPECT_FALSE(audio.PlaySoundFile(dir / "missing.wav", SoundWait::Block));
}

TEST_F(SdlAudioTest, ANewerSpokenSoundReplacesTheOlderOne) {
    fs::path recording = dir / "heard.raw";
    EnvGuard disk("SDL_AUDIODRIVER", "disk");
    EnvGuard output("SDL_DISKAUDIOFILE", recording.string());
    fs::path low = Wave("low.wav", 1500, 440);
    fs::path high = Wave("high.wav", 600, 880);
    {
        SdlAudio audio;
        ASSERT_EQ(audio.WaveOutCount(), 1);
        ASSERT_TRUE(audio.PlaySoundFile(low, SoundWait::Return));
        std::this_thread::sleep_for(300ms);
        ASSERT_TRUE(audio.PlaySoundFile(high, SoundWait::Block));
        std::this_thread::sleep_for(300ms);
    }
    std::vector<double> heard = test_sound::ReadRecording(recording);
    ASSERT_GT(heard.size(), 44100u);
    // Find where the high voice starts; from there on the low one is gone.
    const std::size_t window = 2205; // 50 ms
    std::size_t highStart = 0;
    for (std::size_t at = 0; at + window < heard.size(); at += window) {
        if (test_sound::ToneLevel(heard, at, window, 880) > 0.05) {
            highStart = at;
            break;
        }
    }
    ASSERT_GT(highStart, 0u) << "the newer sound was not heard";
    EXPECT_GT(test_sound::ToneLevel(heard, highStart - 4 * window, window, 440), 0.05)
        << "the older sound was not heard before it";
    for (std::size_t at = highStart + window; at < heard.size() - window; at += window)
        EXPECT_LT(test_sound::ToneLevel(heard, at, window, 440), 0.01) << "at sample " << at;
}

TEST_F(SdlAudioTest, WithoutAnOutputEverythingIsSilent) {
    EnvGuard none("SDL_AUDIODRIVER", "no-such-driver");
    SdlAudio audio;
    EXPECT_EQ(audio.WaveOutCount(), 0);
    EXPECT_EQ(audio.MidiOutCount(), 0);
    fs::path file = Wave("short.wav", 100);
    EXPECT_EQ(audio.OpenMedia(file), kNoMediaDevice);
    EXPECT_FALSE(audio.PlayWaveImage(test_sound::ToneWave(100, 440)));
    EXPECT_FALSE(audio.PlaySoundFile(file, SoundWait::Block));
}

// FIFOs, folders and junk are refused at the open; a junk MIDI file too,
// though the MIDI decoder itself would take it and fail only once playing.
TEST_F(SdlAudioTest, OnlyRegularFilesAreOpenedAndNothingWaits) {
    SdlAudio audio;
    const fs::path fifo = dir / "fifo.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = dir.MakeDir("folder.mid");
    const fs::path junk = dir.Write("junk.wav", std::string(3000, '\x5a'));
    const fs::path junkMidi = dir.Write("junk.mid", std::string(3000, '\x5a'));
    ::alarm(10); // a blocked open ends the test program
    for (const fs::path& file : {fifo, folder, junk, junkMidi, dir / "none.wav"}) {
        EXPECT_EQ(audio.OpenMedia(file), kNoMediaDevice) << file;
        EXPECT_FALSE(audio.PlaySoundFile(file, SoundWait::Block)) << file;
    }
    ::alarm(0);
    EXPECT_NE(audio.OpenMedia(Wave("real.WAV", 50)), kNoMediaDevice);
}

TEST_F(SdlAudioTest, OneBackEndOwnsTheOutputAtATime) {
    auto first = std::make_unique<SdlAudio>();
    SdlAudio second;
    EXPECT_EQ(first->WaveOutCount(), 1);
    EXPECT_EQ(second.WaveOutCount(), 0);
    first.reset();
    SdlAudio third;
    EXPECT_EQ(third.WaveOutCount(), 1);
}

TEST_F(SdlAudioTest, MidiNeedsASoundFont) {
    EnvGuard fonts("SDL_SOUNDFONTS", (dir / "none.sf2").string());
    SdlAudio audio;
    EXPECT_EQ(audio.WaveOutCount(), 1);
    EXPECT_EQ(audio.MidiOutCount(), 0);
}

} // namespace
