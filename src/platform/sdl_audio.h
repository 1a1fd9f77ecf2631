// The audio level on SDL2 and SDL2_mixer: the only code that includes SDL.
//
// Page sounds (media devices) stream through the mixer's music player, so
// one media device plays at a time: playing another device stops the one
// that played (its notice says Aborted). Memory wave images and sound files
// play on channels of their own and mix with it. MIDI goes through the
// mixer's FluidSynth decoder with a General MIDI sound font.
//
// Only regular files are opened (a FIFO or device is refused without
// waiting), and a file named as MIDI must start with a MIDI file's header.
#pragma once

#include "platform/audio.h"

#include <filesystem>
#include <memory>
#include <vector>

struct SdlAudioOptions {
    // Sound fonts for MIDI, the first that exists is used. A sound-font list
    // in the environment (SDL_SOUNDFONTS) wins over this one.
    std::vector<std::filesystem::path> soundFonts = {
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/default-GM.sf2",
    };
    // How long a blocking play may run past the length of its sound before
    // it is given up.
    int blockGraceMs = 1000;
};

class SdlAudio final : public IAudio {
public:
    // Opens the default output (SDL_AUDIODRIVER chooses the driver). Never
    // fails: without an output, or while another SdlAudio is open (the mixer
    // is process-wide), both counts are 0 and every play fails.
    explicit SdlAudio(SdlAudioOptions options = {});
    // Closes every device (their notices are sent) and the output.
    ~SdlAudio() override;
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Wave: 1 when the output opened. MIDI: 1 when, in addition, a MIDI
    // decoder and one of the sound fonts are usable. 0 otherwise.
    int WaveOutCount() const override;
    int MidiOutCount() const override;

    MediaDeviceId OpenMedia(const std::filesystem::path& file) override;
    bool PlayMedia(MediaDeviceId id, MediaNoticeSink sink) override;
    bool StopMedia(MediaDeviceId id) override;
    bool PauseMedia(MediaDeviceId id) override;
    bool ResumeMedia(MediaDeviceId id) override;
    bool CloseMedia(MediaDeviceId id) override;
    bool PlayWaveImage(std::span<const std::uint8_t> image) override;
    bool PlaySoundFile(const std::filesystem::path& file, SoundWait wait) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};
