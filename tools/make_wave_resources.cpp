// Writes the twelve effect sounds that are compiled into the program
// (src/resources/waves/): RIFF WAVE files of PCM, mono, 8 bits, 11025 samples
// per second, each of a fixed byte size. Everything is synthesised from
// sines, sweeps and seeded noise, so the output is the same on every run.
//
//   make_wave_resources OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 11025;
constexpr double kTau = 2 * std::numbers::pi;
constexpr std::size_t kHeaderBytes = 44;

using Samples = std::vector<double>; // -1 .. 1

double Seconds(std::size_t i) {
    return static_cast<double>(i) / kRate;
}

// Seeded white noise, the same sequence on every machine.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : m_state(seed) {}
    double Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t m_state;
};

// A one-pole low-pass filter; `cutoff` in Hz.
class LowPass {
public:
    double Step(double in, double cutoff) {
        double a = 1 - std::exp(-kTau * cutoff / kRate);
        m_y += a * (in - m_y);
        return m_y;
    }

private:
    double m_y = 0;
};

// Adds a tone from `start` seconds for `length` seconds whose frequency moves
// from f0 to f1 (exponentially) and whose loudness follows `env` (0..1 over
// the tone's length). `harmonics` gives the partials' weights.
void AddTone(Samples& s, double start, double length, double f0, double f1,
             const std::function<double(double)>& env, std::vector<double> harmonics = {1.0}) {
    double phase = 0;
    std::size_t first = static_cast<std::size_t>(start * kRate);
    std::size_t count = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < count && first + i < s.size(); ++i) {
        double x = static_cast<double>(i) / static_cast<double>(count);
        double f = f0 * std::pow(f1 / f0, x);
        phase += kTau * f / kRate;
        double v = 0;
        for (std::size_t h = 0; h < harmonics.size(); ++h)
            v += harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
        s[first + i] += v * env(x);
    }
}

// Attack-decay envelope: rises over `attack` of the length, then falls off
// exponentially at `decay` per length.
std::function<double(double)> Pluck(double attack, double decay) {
    return [=](double x) {
        if (x < attack)
            return x / attack;
        return std::exp(-decay * (x - attack));
    };
}

std::function<double(double)> Swell() {
    return [](double x) { return std::sin(std::numbers::pi * x); };
}

// A burst of low-passed noise with a falling cutoff.
void AddNoiseBurst(Samples& s, double start, double length, double cut0, double cut1, double decay,
                   std::uint32_t seed, double gain = 1.0) {
    Noise noise(seed);
    LowPass filter;
    std::size_t first = static_cast<std::size_t>(start * kRate);
    std::size_t count = static_cast<std::size_t>(length * kRate);
    for (std::size_t i = 0; i < count && first + i < s.size(); ++i) {
        double x = static_cast<double>(i) / static_cast<double>(count);
        double cutoff = cut0 * std::pow(cut1 / cut0, x);
        double attack = std::min(1.0, x * 60);
        s[first + i] += gain * filter.Step(noise.Next(), cutoff) * attack * std::exp(-decay * x);
    }
}

Samples Click(std::size_t n) {
    Samples s(n);
    AddNoiseBurst(s, 0.0, 0.012, 6000, 2000, 4, 11, 1.6);
    AddTone(s, 0.0, 0.03, 2100, 1900, Pluck(0.02, 7), {0.8});
    AddNoiseBurst(s, 0.075, 0.010, 4000, 1500, 4, 12, 1.0);
    AddTone(s, 0.075, 0.03, 1500, 1400, Pluck(0.02, 7), {0.5});
    return s;
}

Samples Whizz(std::size_t n) {
    Samples s(n);
    double length = Seconds(n);
    AddTone(s, 0.0, length, 280, 2600, Swell(), {0.55, 0.1});
    AddNoiseBurst(s, 0.0, length, 900, 5000, 1.5, 21, 0.9);
    return s;
}

Samples Cuckoo(std::size_t n) {
    Samples s(n);
    auto note = [](double x) { return std::min(1.0, x * 8) * std::min(1.0, (1 - x) * 5); };
    AddTone(s, 0.0, 0.13, 690, 660, note, {0.75, 0.15, 0.05});
    AddTone(s, 0.16, 0.145, 560, 520, note, {0.75, 0.15, 0.05});
    return s;
}

// A dot-matrix printer: four passes of the head, each a buzz of needle
// strikes, with the ratchet and thump of a line feed between them.
Samples Printer(std::size_t n) {
    Samples s(n);
    Noise noise(31);
    double pass = 0.74;
    double feed = 0.17;
    for (int p = 0; p < 4; ++p) {
        double start = p * (pass + feed);
        double strikeHz = p % 2 ? 610 : 560;
        std::size_t first = static_cast<std::size_t>(start * kRate);
        std::size_t count = static_cast<std::size_t>(pass * kRate);
        LowPass filter;
        for (std::size_t i = 0; i < count && first + i < s.size(); ++i) {
            double t = Seconds(i);
            double strike = std::fmod(t * strikeHz, 1.0) < 0.22 ? 1.0 : 0.0;
            double groups = 0.6 + 0.4 * std::sin(kTau * 7.5 * t); // characters
            double edge = std::min(1.0, t * 40) * std::min(1.0, (pass - t) * 40);
            s[first + i] += 0.55 * filter.Step(strike * groups + 0.3 * noise.Next(), 2800) * edge;
            s[first + i] += 0.12 * std::sin(kTau * 95 * t) * edge; // carriage motor
        }
        double feedStart = start + pass;
        for (int k = 0; k < 4; ++k)
            AddNoiseBurst(s, feedStart + 0.03 * k, 0.02, 3000, 1200, 5, 40 + p * 4 + k, 0.9);
        AddTone(s, feedStart + 0.12, 0.05, 130, 90, Pluck(0.05, 6), {0.5});
    }
    return s;
}

Samples Splat(std::size_t n) {
    Samples s(n);
    double length = Seconds(n);
    AddNoiseBurst(s, 0.0, length, 3500, 250, 6, 51, 2.2);
    AddTone(s, 0.0, 0.16, 150, 60, Pluck(0.03, 5), {0.6});
    return s;
}

// Water: a noise splash and rising bubble blips.
Samples Splash(std::size_t n, std::uint32_t seed, double bubbleHz, int bubbles) {
    Samples s(n);
    double length = Seconds(n);
    AddNoiseBurst(s, 0.0, length * 0.8, 5000, 800, 5, seed, 1.4);
    for (int b = 0; b < bubbles; ++b) {
        double at = 0.01 + length * 0.28 * b;
        double f = bubbleHz * (1 + 0.3 * b);
        AddTone(s, at, 0.05, f, f * 2.2, Pluck(0.05, 5), {0.55});
    }
    return s;
}

Samples Drip(std::size_t n) {
    Samples s(n);
    AddTone(s, 0.0, Seconds(n), 700, 1700, Pluck(0.04, 4.5), {0.8});
    return s;
}

// Bright notes for the little fanfares: a few falling harmonics.
void AddHorn(Samples& s, double start, double length, double hz) {
    auto env = [](double x) {
        return std::min(1.0, x * 12) * (0.75 + 0.25 * (1 - x)) * std::min(1.0, (1 - x) * 10);
    };
    AddTone(s, start, length, hz, hz, env, {0.45, 0.22, 0.14, 0.07});
}

Samples TwoNoteFanfare(std::size_t n) {
    Samples s(n);
    AddHorn(s, 0.0, 0.06, 784);                 // G5
    AddHorn(s, 0.065, Seconds(n) - 0.07, 1047); // C6
    return s;
}

Samples RisingFanfare(std::size_t n) {
    Samples s(n);
    const double notes[] = {523, 659, 784}; // C5 E5 G5
    for (int i = 0; i < 3; ++i)
        AddHorn(s, 0.085 * i, 0.08, notes[i]);
    AddHorn(s, 0.255, Seconds(n) - 0.26, 1047); // C6, held
    return s;
}

Samples TaDa(std::size_t n) {
    Samples s(n);
    AddHorn(s, 0.0, 0.1, 659);                 // E5
    AddHorn(s, 0.11, Seconds(n) - 0.115, 880); // A5, held with a shake
    AddTone(s, 0.25, Seconds(n) - 0.26, 1760, 1760,
            [](double x) { return 0.08 * (1 - x) * std::fabs(std::sin(kTau * 3 * x)); });
    return s;
}

Samples Ding(std::size_t n) {
    Samples s(n);
    AddTone(s, 0.0, Seconds(n), 1319, 1319, Pluck(0.01, 4), {0.6});
    AddTone(s, 0.0, Seconds(n), 3563, 3563, Pluck(0.01, 9), {0.2}); // bell partial
    return s;
}

struct Sound {
    const char* file;
    std::size_t bytes;
    std::function<Samples(std::size_t)> make;
};

std::vector<std::uint8_t> WaveFile(const Samples& s) {
    // Normalised to a comfortable peak, then 8-bit unsigned.
    double peak = 0;
    for (double v : s)
        peak = std::max(peak, std::fabs(v));
    double gain = peak > 0 ? 0.85 / peak : 0;
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    std::uint32_t data = static_cast<std::uint32_t>(s.size());
    tag("RIFF");
    put(36 + data, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(kRate, 4);
    put(kRate, 4); // bytes per second
    put(1, 2);     // bytes per sample
    put(8, 2);
    tag("data");
    put(data, 4);
    for (double v : s) {
        long q = std::lround(128 + 127 * std::clamp(v * gain, -1.0, 1.0));
        out.push_back(static_cast<std::uint8_t>(std::clamp(q, 0L, 255L)));
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_wave_resources OUTPUT_FOLDER\n");
        return 64;
    }
    const std::vector<Sound> sounds = {
        {"CLICK.WAV", 2968, Click},
        {"WHIZZ.WAV", 6772, Whizz},
        {"COOCOO.WAV", 3436, Cuckoo},
        {"PRINTER.WAV", 40496, Printer},
        {"SPLAT.WAV", 3940, Splat},
        {"1.WAV", 2534, [](std::size_t n) { return Splash(n, 61, 420, 3); }},
        {"2.WAV", 1120, Drip},
        {"3.WAV", 2192, [](std::size_t n) { return Splash(n, 63, 600, 2); }},
        {"4.WAV", 1940, TwoNoteFanfare},
        {"5.WAV", 6522, RisingFanfare},
        {"6.WAV", 6112, TaDa},
        {"7.WAV", 1564, Ding},
    };
    std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const Sound& sound : sounds) {
        std::vector<std::uint8_t> bytes = WaveFile(sound.make(sound.bytes - kHeaderBytes));
        std::ofstream out(folder / sound.file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out || bytes.size() != sound.bytes) {
            std::fprintf(stderr, "cannot write %s\n", sound.file);
            return 1;
        }
    }
    return 0;
}
