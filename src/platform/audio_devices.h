// How many wave-output and MIDI-output devices the machine has. The audio
// back-end reports what it could open; tools and tests use fixed counts.
#pragma once

class IAudioDevices {
public:
    virtual ~IAudioDevices() = default;
    virtual int WaveOutCount() const = 0;
    virtual int MidiOutCount() const = 0;
};

class FixedAudioDevices final : public IAudioDevices {
public:
    FixedAudioDevices(int wave, int midi) : m_wave(wave), m_midi(midi) {}
    int WaveOutCount() const override { return m_wave; }
    int MidiOutCount() const override { return m_midi; }

private:
    int m_wave;
    int m_midi;
};
