#include "mainframe/sound_service.h"

#include "framework/win_app.h"
#include "model/mainframe/running_state.h"
#include "platform/host_paths.h"
#include "platform/random.h"
#include "platform/text_util.h"

#include <QResource>
#include <QString>

std::span<const std::uint8_t> FindWaveResource(const WaveResourceName& name) {
    std::string file = std::holds_alternative<int>(name)
                           ? std::to_string(std::get<int>(name))
                           : ToUpperAscii(std::get<std::string_view>(name));
    if (file.empty() || file.find('/') != std::string::npos)
        return {};
    QResource resource(QString::fromStdString(":/waves/" + file + ".WAV"));
    // The sounds are compiled in without compression, so the data is the
    // file itself and needs no copy.
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return {resource.data(), static_cast<std::size_t>(resource.size())};
}

SoundService::SoundService(CWinApp& app, IAudio& audio, const HostPaths& paths,
                           const RunningState& state)
    : m_app(app), m_audio(audio), m_paths(paths), m_state(state) {}

int SoundService::DrawFromTicks(int lo, int hi) const {
    return DrawRandom(m_app.GetTickCount(), lo, hi);
}

int SoundService::PlayWaveResource(const WaveResourceName& name) {
    std::span<const std::uint8_t> image = FindWaveResource(name);
    if (image.empty())
        return 0;
    return m_audio.PlayWaveImage(image) ? 1 : 0;
}

int SoundService::PlayWaveResource() {
    return PlayWaveResource(DrawFromTicks(1, 7));
}

void SoundService::PlaySplashSound() {
    int n = DrawFromTicks(1, 4);
    if (n == 4)
        PlayWaveResource("SPLAT");
    else
        PlayWaveResource(n);
}

std::optional<std::filesystem::path> SoundService::FindSoundFile(std::string_view name) const {
    if (name.empty())
        return std::nullopt;
    std::string stored = m_state.g_soundsPath + std::string(name);
    if (!m_paths.FileExists(stored))
        return std::nullopt;
    return m_paths.Resolve(stored);
}

bool SoundService::SpeakSoundFile(std::string_view name) {
    std::optional<std::filesystem::path> file = FindSoundFile(name);
    return file && m_audio.PlaySoundFile(*file, SoundWait::Return);
}

bool SoundService::SpeakSoundFileToEnd(std::string_view name) {
    std::optional<std::filesystem::path> file = FindSoundFile(name);
    return file && m_audio.PlaySoundFile(*file, SoundWait::Block);
}

void SoundService::PumpPendingMessages() {
    m_app.PumpPendingMessages();
}
