#include "platform/sdl_audio.h"

#include "platform/text_util.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

// A stream over a regular file, or null for anything else. The mixer's own
// opens would wait for ever on a FIFO and read a device without end; this
// refuses both, looking before the open (which so never waits or wakes a
// device) and again once open (a file swapped in between).
SDL_RWops* OpenRegularFile(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    std::FILE* stream = nullptr;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0)
        stream = ::fdopen(fd, "rb");
    if (!stream) {
        ::close(fd);
        return nullptr;
    }
    SDL_RWops* rw = SDL_RWFromFP(stream, SDL_TRUE);
    if (!rw)
        std::fclose(stream);
    return rw;
}

// The MIDI decoder takes any bytes at open and finds out only when it plays
// them, so a file named as MIDI must start as a standard MIDI file does.
// The stream is left at its start.
bool StartsWithMidiHeader(SDL_RWops* rw) {
    char magic[4] = {};
    const bool midi = SDL_RWread(rw, magic, 1, sizeof magic) == sizeof magic &&
                      std::memcmp(magic, "MThd", sizeof magic) == 0;
    return SDL_RWseek(rw, 0, RW_SEEK_SET) == 0 && midi;
}

// The music type the mixer guesses from a file name's extension, as its
// loading by name does; none leaves it to the file's first bytes.
Mix_MusicType MusicTypeOf(const std::filesystem::path& file) {
    const std::string ext = ToUpperAscii(file.extension().string());
    if (ext == ".WAV")
        return MUS_WAV;
    if (ext == ".MID" || ext == ".MIDI" || ext == ".KAR")
        return MUS_MID;
    if (ext == ".OGG")
        return MUS_OGG;
    if (ext == ".OPUS")
        return MUS_OPUS;
    if (ext == ".FLAC")
        return MUS_FLAC;
    if (ext == ".MPG" || ext == ".MPEG" || ext == ".MP3" || ext == ".MAD")
        return MUS_MP3;
    return MUS_NONE;
}

constexpr int kWaveChannel = 0; // memory wave images (effect sounds)
constexpr int kFileChannel = 1; // sound files (spoken prompts)
constexpr int kChannels = 2;

// What the mixer's two callbacks reach. They run on the audio thread, or on
// the calling thread inside Mix_HaltMusic and Mix_HaltChannel, always under
// the mixer's own lock; so they touch only this, under its mutex, and never
// call the mixer, and the mutex is never held while calling the mixer.
struct CallbackState {
    std::mutex mutex;
    std::condition_variable channelDone;
    bool channelBusy[kChannels] = {};
    MediaDeviceId musicOwner = kNoMediaDevice; // the device whose play is under way
    MediaNoticeSink musicSink;
    bool halting = false; // the play now ending was halted, not finished
    MediaNotice haltCode = MediaNotice::Aborted;
};

// The mixer's callbacks take no user data, and the mixer is process-wide:
// one back-end at a time owns the output.
CallbackState* g_state = nullptr;
std::atomic<bool> g_outputTaken{false};

void OnMusicFinished() {
    MediaDeviceId id;
    MediaNoticeSink sink;
    MediaNotice code;
    {
        std::lock_guard lock(g_state->mutex);
        id = std::exchange(g_state->musicOwner, kNoMediaDevice);
        sink = std::exchange(g_state->musicSink, nullptr);
        code = g_state->halting ? g_state->haltCode : MediaNotice::Successful;
    }
    if (id != kNoMediaDevice && sink)
        sink(id, code);
}

void OnChannelFinished(int channel) {
    if (channel < 0 || channel >= kChannels)
        return;
    {
        std::lock_guard lock(g_state->mutex);
        g_state->channelBusy[channel] = false;
    }
    g_state->channelDone.notify_all();
}

// A one-note General MIDI song: whether MIDI decodes at all.
constexpr std::uint8_t kProbeMidi[] = {
    'M',  'T',  'h',  'd',  0, 0, 0, 6,  0, 0, 0, 1, 0, 0x60, // header, 96 ticks a beat
    'M',  'T',  'r',  'k',  0, 0, 0, 15,                      // one track of 15 bytes
    0x00, 0xC0, 0x00,                                         // piano
    0x00, 0x90, 0x3C, 0x40,                                   // middle C on
    0x60, 0x80, 0x3C, 0x00,                                   // off a beat later
    0x00, 0xFF, 0x2F, 0x00,                                   // end of track
};

bool AnyFileExists(const std::string& list) {
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        std::error_code ec;
        if (end > start && std::filesystem::is_regular_file(list.substr(start, end - start), ec))
            return true;
        start = end + 1;
    }
    return false;
}

bool IsRiffWave(std::span<const std::uint8_t> image) {
    return image.size() >= 12 && image.size() <= static_cast<std::size_t>(INT_MAX) &&
           std::memcmp(image.data(), "RIFF", 4) == 0 &&
           std::memcmp(image.data() + 8, "WAVE", 4) == 0;
}

} // namespace

struct SdlAudio::Impl {
    explicit Impl(SdlAudioOptions o) : options(std::move(o)) {}

    void Open();
    void Close();
    bool ChooseSoundFont() const;
    bool ProbeMidi() const;
    MediaDeviceId MusicOwner();
    void HaltMusic(MediaNotice code);
    std::chrono::milliseconds Length(const Mix_Chunk& chunk) const;
    bool PlayChunk(int channel, Mix_Chunk* chunk, SoundWait wait);

    SdlAudioOptions options;
    bool ownsOutput = false;
    bool sdlStarted = false;
    bool open = false;
    bool midi = false;
    CallbackState state;
    std::map<MediaDeviceId, Mix_Music*> devices;
    MediaDeviceId nextId = 1;
    Mix_Chunk* fileChunk = nullptr; // the file sound that plays on after PlaySoundFile returned
};

void SdlAudio::Impl::Open() {
    if (g_outputTaken.exchange(true))
        return;
    ownsOutput = true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return;
    sdlStarted = true;
    Mix_Init(MIX_INIT_MID | MIX_INIT_OGG | MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0)
        return;
    open = true;
    g_state = &state;
    Mix_AllocateChannels(kChannels);
    Mix_ReserveChannels(kChannels);
    Mix_ChannelFinished(OnChannelFinished);
    Mix_HookMusicFinished(OnMusicFinished);
    midi = ChooseSoundFont() && ProbeMidi();
}

void SdlAudio::Impl::Close() {
    if (open) {
        while (!devices.empty()) {
            MediaDeviceId id = devices.begin()->first;
            if (MusicOwner() == id)
                HaltMusic(MediaNotice::Aborted);
            Mix_FreeMusic(devices.begin()->second);
            devices.erase(devices.begin());
        }
        Mix_HaltChannel(-1);
        Mix_FreeChunk(fileChunk);
        fileChunk = nullptr;
        Mix_HookMusicFinished(nullptr);
        Mix_ChannelFinished(nullptr);
        Mix_CloseAudio();
        g_state = nullptr;
        open = false;
    }
    if (sdlStarted) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0)
            SDL_Quit();
        sdlStarted = false;
    }
    if (ownsOutput) {
        g_outputTaken = false;
        ownsOutput = false;
    }
}

bool SdlAudio::Impl::ChooseSoundFont() const {
    // A list in the environment is the mixer's own choice; it only has to exist.
    if (const char* env = std::getenv("SDL_SOUNDFONTS"); env && *env)
        return AnyFileExists(env);
    for (const std::filesystem::path& font : options.soundFonts) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(font, ec)) {
            Mix_SetSoundFonts(font.c_str());
            return true;
        }
    }
    return false;
}

bool SdlAudio::Impl::ProbeMidi() const {
    if (!Mix_HasMusicDecoder("FLUIDSYNTH"))
        return false;
    SDL_RWops* rw = SDL_RWFromConstMem(kProbeMidi, sizeof kProbeMidi);
    Mix_Music* music = rw ? Mix_LoadMUSType_RW(rw, MUS_MID, 1) : nullptr;
    if (!music)
        return false;
    Mix_FreeMusic(music);
    return true;
}

MediaDeviceId SdlAudio::Impl::MusicOwner() {
    std::lock_guard lock(state.mutex);
    return state.musicOwner;
}

void SdlAudio::Impl::HaltMusic(MediaNotice code) {
    {
        std::lock_guard lock(state.mutex);
        state.halting = true;
        state.haltCode = code;
    }
    Mix_HaltMusic(); // runs OnMusicFinished here when something played
    std::lock_guard lock(state.mutex);
    state.halting = false;
}

std::chrono::milliseconds SdlAudio::Impl::Length(const Mix_Chunk& chunk) const {
    int frequency = 0;
    int channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&frequency, &format, &channels) || frequency <= 0 || channels <= 0)
        return {};
    long long bytesPerSecond =
        static_cast<long long>(SDL_AUDIO_BITSIZE(format) / 8) * channels * frequency;
    // Rounded up: a caller waiting for the length must not return a hair early.
    return std::chrono::milliseconds(
        (static_cast<long long>(chunk.alen) * 1000 + bytesPerSecond - 1) / bytesPerSecond);
}

bool SdlAudio::Impl::PlayChunk(int channel, Mix_Chunk* chunk, SoundWait wait) {
    // The sound still playing on the channel ends first, so its end is not
    // taken for the end of the new one.
    Mix_HaltChannel(channel);
    {
        std::lock_guard lock(state.mutex);
        state.channelBusy[channel] = true;
    }
    Clock::time_point start = Clock::now();
    if (Mix_PlayChannel(channel, chunk, 0) < 0) {
        std::lock_guard lock(state.mutex);
        state.channelBusy[channel] = false;
        return false;
    }
    if (wait == SoundWait::Return)
        return true;
    std::chrono::milliseconds length = Length(*chunk);
    {
        std::unique_lock lock(state.mutex);
        state.channelDone.wait_until(
            lock, start + length + std::chrono::milliseconds(options.blockGraceMs),
            [&] { return !state.channelBusy[channel]; });
    }
    Mix_HaltChannel(channel); // gives up a sound that overran its bound
    // The mixer lets go of a sound once its last samples are mixed, which is
    // a buffer ahead of what is heard: wait for its length in any case.
    std::this_thread::sleep_until(start + length);
    return true;
}

SdlAudio::SdlAudio(SdlAudioOptions options) : m(std::make_unique<Impl>(std::move(options))) {
    m->Open();
}

SdlAudio::~SdlAudio() {
    m->Close();
}

int SdlAudio::WaveOutCount() const {
    return m->open ? 1 : 0;
}

int SdlAudio::MidiOutCount() const {
    return m->open && m->midi ? 1 : 0;
}

MediaDeviceId SdlAudio::OpenMedia(const std::filesystem::path& file) {
    if (!m->open)
        return kNoMediaDevice;
    SDL_RWops* rw = OpenRegularFile(file);
    const Mix_MusicType type = MusicTypeOf(file);
    if (rw && type == MUS_MID && !StartsWithMidiHeader(rw)) {
        SDL_RWclose(rw);
        return kNoMediaDevice;
    }
    Mix_Music* music = rw ? Mix_LoadMUSType_RW(rw, type, SDL_TRUE) : nullptr;
    if (!music)
        return kNoMediaDevice;
    MediaDeviceId id = m->nextId++;
    m->devices.emplace(id, music);
    return id;
}

bool SdlAudio::PlayMedia(MediaDeviceId id, MediaNoticeSink sink) {
    auto it = m->devices.find(id);
    if (it == m->devices.end())
        return false;
    if (MediaDeviceId owner = m->MusicOwner(); owner != kNoMediaDevice)
        m->HaltMusic(owner == id ? MediaNotice::Superseded : MediaNotice::Aborted);
    {
        std::lock_guard lock(m->state.mutex);
        m->state.musicOwner = id;
        m->state.musicSink = std::move(sink);
    }
    if (Mix_PlayMusic(it->second, 0) == 0)
        return true;
    MediaNoticeSink failed;
    {
        std::lock_guard lock(m->state.mutex);
        if (m->state.musicOwner == id) {
            m->state.musicOwner = kNoMediaDevice;
            failed = std::exchange(m->state.musicSink, nullptr);
        }
    }
    if (failed)
        failed(id, MediaNotice::Failure);
    return false;
}

bool SdlAudio::StopMedia(MediaDeviceId id) {
    if (!m->devices.contains(id))
        return false;
    if (m->MusicOwner() == id)
        m->HaltMusic(MediaNotice::Aborted);
    return true;
}

bool SdlAudio::PauseMedia(MediaDeviceId id) {
    if (!m->devices.contains(id))
        return false;
    if (m->MusicOwner() == id)
        Mix_PauseMusic();
    return true;
}

bool SdlAudio::ResumeMedia(MediaDeviceId id) {
    if (!m->devices.contains(id))
        return false;
    if (m->MusicOwner() == id)
        Mix_ResumeMusic();
    return true;
}

bool SdlAudio::CloseMedia(MediaDeviceId id) {
    auto it = m->devices.find(id);
    if (it == m->devices.end())
        return false;
    StopMedia(id);
    {
        // A play that could not be halted (it had already let go of the
        // mixer) must not report after the close.
        std::lock_guard lock(m->state.mutex);
        if (m->state.musicOwner == id) {
            m->state.musicOwner = kNoMediaDevice;
            m->state.musicSink = nullptr;
        }
    }
    Mix_FreeMusic(it->second);
    m->devices.erase(it);
    return true;
}

bool SdlAudio::PlayWaveImage(std::span<const std::uint8_t> image) {
    if (!m->open || !IsRiffWave(image))
        return false;
    SDL_RWops* rw = SDL_RWFromConstMem(image.data(), static_cast<int>(image.size()));
    Mix_Chunk* chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (!chunk)
        return false;
    bool played = m->PlayChunk(kWaveChannel, chunk, SoundWait::Block);
    Mix_FreeChunk(chunk);
    return played;
}

bool SdlAudio::PlaySoundFile(const std::filesystem::path& file, SoundWait wait) {
    if (!m->open)
        return false;
    SDL_RWops* rw = OpenRegularFile(file);
    Mix_Chunk* chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (!chunk)
        return false;
    Mix_HaltChannel(kFileChannel);
    Mix_FreeChunk(std::exchange(m->fileChunk, nullptr));
    if (wait == SoundWait::Block) {
        bool played = m->PlayChunk(kFileChannel, chunk, SoundWait::Block);
        Mix_FreeChunk(chunk);
        return played;
    }
    m->fileChunk = chunk;
    return m->PlayChunk(kFileChannel, chunk, SoundWait::Return);
}
