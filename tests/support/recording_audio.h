// An audio level for tests: it plays nothing and records every call. Plays
// end when the test says so (Finish), with the notice the real output would
// send; calls with an id that is not open are recorded as misuse.
#pragma once

#include "platform/audio.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class RecordingAudio : public IAudio {
public:
    int WaveOutCount() const override { return wave; }
    int MidiOutCount() const override { return midi; }

    MediaDeviceId OpenMedia(const std::filesystem::path& file) override {
        if (failOpen || wave == 0) {
            log.push_back("open failed " + file.filename().string());
            return kNoMediaDevice;
        }
        MediaDeviceId id = m_next++;
        devices[id] = {file, nullptr, false};
        log.push_back("open " + std::to_string(id) + " " + file.filename().string());
        return id;
    }
    bool PlayMedia(MediaDeviceId id, MediaNoticeSink sink) override {
        if (!Known(id, "play"))
            return false;
        Device& d = devices[id];
        if (d.playing)
            d.sink(id, MediaNotice::Superseded);
        d.sink = std::move(sink);
        d.playing = true;
        log.push_back("play " + std::to_string(id));
        return true;
    }
    bool StopMedia(MediaDeviceId id) override {
        if (!Known(id, "stop"))
            return false;
        log.push_back("stop " + std::to_string(id));
        End(id, MediaNotice::Aborted);
        return true;
    }
    bool PauseMedia(MediaDeviceId id) override { return Known(id, "pause"); }
    bool ResumeMedia(MediaDeviceId id) override { return Known(id, "resume"); }
    bool CloseMedia(MediaDeviceId id) override {
        if (!Known(id, "close"))
            return false;
        log.push_back("close " + std::to_string(id));
        End(id, MediaNotice::Aborted);
        devices.erase(id);
        return true;
    }
    bool PlayWaveImage(std::span<const std::uint8_t> image) override {
        waves.push_back(image.size());
        return wave > 0;
    }
    bool PlaySoundFile(const std::filesystem::path& file, SoundWait wait) override {
        files.push_back({file, wait});
        return wave > 0;
    }

    // The play under way on a device comes to its end.
    void Finish(MediaDeviceId id) { End(id, MediaNotice::Successful); }

    int OpenCount() const { return static_cast<int>(devices.size()); }
    int PlayingCount() const {
        int n = 0;
        for (const auto& [id, d] : devices)
            n += d.playing ? 1 : 0;
        return n;
    }

    struct Device {
        std::filesystem::path file;
        MediaNoticeSink sink;
        bool playing;
    };
    struct FileSound {
        std::filesystem::path file;
        SoundWait wait;
    };

    int wave = 1;
    int midi = 1;
    bool failOpen = false;
    std::map<MediaDeviceId, Device> devices; // the open ones
    std::vector<std::string> log;            // media device calls, in order
    std::vector<std::string> misuse;         // calls with ids that were not open
    std::vector<std::size_t> waves;          // byte sizes of the wave images played
    std::vector<FileSound> files;            // sound files played

private:
    bool Known(MediaDeviceId id, const char* what) {
        if (devices.contains(id))
            return true;
        misuse.push_back(std::string(what) + " " + std::to_string(id));
        return false;
    }
    void End(MediaDeviceId id, MediaNotice code) {
        auto it = devices.find(id);
        if (it == devices.end() || !it->second.playing)
            return;
        Device& d = it->second;
        d.playing = false;
        MediaNoticeSink sink = std::move(d.sink);
        d.sink = nullptr;
        sink(id, code);
    }
    MediaDeviceId m_next = 1;
};
