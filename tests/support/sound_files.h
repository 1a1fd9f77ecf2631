// Short sound files for tests: RIFF WAVE tones, one-note MIDI songs, and a
// tone detector for PCM that a test recorded.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace test_sound {

inline void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A RIFF WAVE image of a sine tone: PCM, mono, 8 bits.
inline std::vector<std::uint8_t> ToneWave(int ms, double hz, int rate = 11025) {
    std::uint32_t samples = static_cast<std::uint32_t>(static_cast<long long>(rate) * ms / 1000);
    std::vector<std::uint8_t> w;
    w.insert(w.end(), {'R', 'I', 'F', 'F'});
    PutLe(w, 36 + samples, 4);
    w.insert(w.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(w, 16, 4);
    PutLe(w, 1, 2); // PCM
    PutLe(w, 1, 2); // mono
    PutLe(w, static_cast<std::uint32_t>(rate), 4);
    PutLe(w, static_cast<std::uint32_t>(rate), 4);
    PutLe(w, 1, 2);
    PutLe(w, 8, 2);
    w.insert(w.end(), {'d', 'a', 't', 'a'});
    PutLe(w, samples, 4);
    for (std::uint32_t i = 0; i < samples; ++i)
        w.push_back(
            static_cast<std::uint8_t>(128 + 90 * std::sin(2 * std::numbers::pi * hz * i / rate)));
    return w;
}

// A standard MIDI file playing one piano note for `beats` beats at 120 a minute.
inline std::vector<std::uint8_t> OneNoteMidi(int beats = 1, int note = 69) {
    std::vector<std::uint8_t> events = {
        0x00, 0xC0, 0x00, 0x00, 0x90, static_cast<std::uint8_t>(note), 0x70};
    std::uint32_t ticks = 96u * static_cast<std::uint32_t>(beats);
    std::vector<std::uint8_t> delta;
    do {
        delta.insert(delta.begin(),
                     static_cast<std::uint8_t>((ticks & 0x7F) | (delta.empty() ? 0 : 0x80)));
        ticks >>= 7;
    } while (ticks);
    events.insert(events.end(), delta.begin(), delta.end());
    events.insert(events.end(), {0x80, static_cast<std::uint8_t>(note), 0x00, // note off
                                 0x00, 0xB0, 120, 0x00, // all sound off: no long echo
                                 0x00, 0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> m = {'M', 'T', 'h', 'd', 0,  0,   0,   6,   0,
                                   0,   0,   1,   0,   96, 'M', 'T', 'r', 'k'};
    std::uint32_t n = static_cast<std::uint32_t>(events.size());
    m.insert(m.end(), {static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
                       static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
    m.insert(m.end(), events.begin(), events.end());
    return m;
}

inline std::filesystem::path WriteBytes(const std::filesystem::path& file,
                                        const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return file;
}

// Signed 16-bit stereo samples at 44100 per second, as SDL's disk driver
// writes them, folded to mono.
inline std::vector<double> ReadRecording(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<double> mono;
    std::int16_t frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame))
        mono.push_back((frame[0] + frame[1]) / 65536.0);
    return mono;
}

// The strength of one frequency in samples [from, from + count) (Goertzel).
inline double ToneLevel(const std::vector<double>& s, std::size_t from, std::size_t count,
                        double hz, int rate = 44100) {
    double k = 2 * std::cos(2 * std::numbers::pi * hz / rate);
    double a = 0, b = 0;
    for (std::size_t i = from; i < from + count && i < s.size(); ++i) {
        double c = s[i] + k * a - b;
        b = a;
        a = c;
    }
    return std::sqrt(a * a + b * b - k * a * b) / static_cast<double>(count);
}

// The root-mean-square level of all samples.
inline double Rms(const std::vector<double>& s) {
    double sum = 0;
    for (double v : s)
        sum += v * v;
    return s.empty() ? 0 : std::sqrt(sum / static_cast<double>(s.size()));
}

} // namespace test_sound
