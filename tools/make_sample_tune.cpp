// Writes the sample book's music (data/books/sample/SUN.MID): a short, bright
// tune in C major for a General MIDI player, a melody over a plodding bass.
//
//   make_sample_tune OUTPUT_FILE
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr int kTicksPerBeat = 96;

struct Note {
    int pitch;  // MIDI note number, 0 for a rest
    int beats8; // length in eighth notes
};

class Track {
public:
    void Delta(std::uint32_t ticks) {
        std::vector<std::uint8_t> v{static_cast<std::uint8_t>(ticks & 0x7F)};
        while (ticks >>= 7)
            v.insert(v.begin(), static_cast<std::uint8_t>((ticks & 0x7F) | 0x80));
        m_bytes.insert(m_bytes.end(), v.begin(), v.end());
    }
    void Event(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes) {
        Delta(delta);
        m_bytes.insert(m_bytes.end(), bytes);
    }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// Interleaves two voices into one track: each note on at its start, off at its end.
struct Timed {
    std::uint32_t at;
    std::uint8_t status, pitch, velocity;
};

void AddVoice(std::vector<Timed>& out, const std::vector<Note>& notes, std::uint8_t channel,
              std::uint8_t velocity) {
    std::uint32_t t = 0;
    for (const Note& n : notes) {
        std::uint32_t length = static_cast<std::uint32_t>(n.beats8 * kTicksPerBeat / 2);
        if (n.pitch > 0) {
            out.push_back({t, static_cast<std::uint8_t>(0x90 | channel),
                           static_cast<std::uint8_t>(n.pitch), velocity});
            out.push_back({t + length - 8, static_cast<std::uint8_t>(0x80 | channel),
                           static_cast<std::uint8_t>(n.pitch), 0});
        }
        t += length;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_tune OUTPUT_FILE\n");
        return 64;
    }
    const std::vector<Note> melody = {
        {72, 2}, {76, 2}, {79, 2}, {76, 2}, {77, 2}, {81, 2}, {84, 4}, {83, 2}, {81, 2},
        {79, 2}, {77, 2}, {76, 2}, {74, 2}, {72, 4}, {76, 1}, {77, 1}, {79, 2}, {79, 2},
        {81, 2}, {79, 2}, {77, 2}, {76, 4}, {74, 2}, {79, 2}, {76, 2}, {74, 2}, {72, 8},
    };
    const std::vector<Note> bass = {
        {48, 4}, {48, 4}, {53, 4}, {53, 4}, {55, 4}, {55, 4}, {48, 4}, {48, 4},
        {48, 4}, {53, 4}, {53, 4}, {48, 4}, {55, 4}, {55, 4}, {48, 8},
    };
    std::vector<Timed> events;
    AddVoice(events, melody, 0, 96);
    AddVoice(events, bass, 1, 72);
    std::stable_sort(events.begin(), events.end(),
                     [](const Timed& a, const Timed& b) { return a.at < b.at; });

    Track track;
    track.Event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}); // 500000 us a beat: 120 a minute
    track.Event(0, {0xC0, 9});                            // glockenspiel
    track.Event(0, {0xC1, 32});                           // acoustic bass
    std::uint32_t now = 0;
    for (const Timed& e : events) {
        track.Event(e.at - now, {e.status, e.pitch, e.velocity});
        now = e.at;
    }
    // All sound off on both channels a beat after the last note, so the
    // player's end comes with the music's and not after the last echo.
    track.Event(kTicksPerBeat, {0xB0, 120, 0});
    track.Event(0, {0xB1, 120, 0});
    track.Event(0, {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd',           0,   0,   0,   6,  0, 0,
                                      0,   1,   0,   kTicksPerBeat, 'M', 'T', 'r', 'k'};
    std::uint32_t n = static_cast<std::uint32_t>(track.Bytes().size());
    for (int shift : {24, 16, 8, 0})
        file.push_back(static_cast<std::uint8_t>(n >> shift));
    file.insert(file.end(), track.Bytes().begin(), track.Bytes().end());
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    return out ? 0 : 1;
}
