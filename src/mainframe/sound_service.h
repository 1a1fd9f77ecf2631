// The sound service: effect sounds from the compiled-in WAVE resources, which
// play to their end before the caller goes on; spoken prompts from the sounds
// folder, which do not wait; and the message pumping that sound operations do.
// The page sound is the main window's (main_frame.h).
#pragma once

#include "model/effect_sounds.h"
#include "platform/audio.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

class CWinApp;
class HostPaths;
struct RunningState;

// A WAVE resource: named ("CLICK", in any letter case) or numbered (1 to 7).
using WaveResourceName = std::variant<std::string_view, int>;

// The whole RIFF file of a compiled-in WAVE resource, read in place from the
// program's resources (valid as long as the program runs); empty when there
// is no resource of that name.
std::span<const std::uint8_t> FindWaveResource(const WaveResourceName& name);

class SoundService : public IEffectSounds {
public:
    // All borrowed; they must outlive the service. Spoken files are looked
    // up under the state's g_soundsPath.
    SoundService(CWinApp& app, IAudio& audio, const HostPaths& paths, const RunningState& state);

    IAudio& Audio() { return m_audio; }
    const IAudioDevices& Devices() const { return m_audio; }

    // Plays a WAVE resource and returns when it has ended: nonzero when it
    // played, 0 when there is no such resource or it cannot be played.
    int PlayWaveResource(const WaveResourceName& name);
    // The same with a random one of the numbered resources 1 to 7.
    int PlayWaveResource();
    // Plays a random one of the resources 1, 2, 3 and "SPLAT" to its end.
    void PlaySplashSound() override;
    // PlayWaveResource of a named resource, for the model.
    void PlayEffect(std::string_view name) override { PlayWaveResource(name); }

    // The host file that g_soundsPath + name stands for, when it exists.
    std::optional<std::filesystem::path> FindSoundFile(std::string_view name) const;
    // Starts speaking the file g_soundsPath + name and returns at once; a
    // newer spoken sound replaces one still playing. A missing file is
    // skipped without a word. True when it started.
    bool SpeakSoundFile(std::string_view name);
    // Speaks g_soundsPath + name to its end (the page numbers). True when it played.
    bool SpeakSoundFileToEnd(std::string_view name);

    // Dispatches every event waiting on the UI thread, then returns. Their
    // handlers run nested in the caller, so a caller must look at its state
    // again afterwards.
    void PumpPendingMessages();

private:
    // A random number from lo to hi, the generator seeded with the tick count.
    int DrawFromTicks(int lo, int hi) const;

    CWinApp& m_app;
    IAudio& m_audio;
    const HostPaths& m_paths;
    const RunningState& m_state;
};
