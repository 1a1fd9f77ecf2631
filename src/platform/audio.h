// The audio level: media devices that play sound files and report the end of
// each play, a blocking player for RIFF WAVE images in memory, a player for
// sound files, and the output device counts. The SDL back-end (sdl_audio.h)
// implements it; tests use a recording fake.
//
// Every call comes from the UI thread. Only the notice sinks handed to
// PlayMedia are called from other threads (the audio thread), and they must
// do no more than pass the notice on (the window level posts it as a queued
// event to the window that started the play).
#pragma once

#include "platform/audio_devices.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

// Identifies an open media device. Ids are never 0 and never reused.
using MediaDeviceId = std::uint32_t;
constexpr MediaDeviceId kNoMediaDevice = 0;

// How a play ended. Receivers that only need "it ended" may ignore it.
enum class MediaNotice {
    Successful, // played to its end
    Superseded, // the same device was played again
    Aborted,    // stopped, closed, or another device took the output
    Failure,    // could not start
};

// Receives the one notice of a play; may be called from any thread, also
// before PlayMedia has returned.
using MediaNoticeSink = std::function<void(MediaDeviceId, MediaNotice)>;

enum class SoundWait {
    Block,  // return when the sound has ended
    Return, // return at once; the sound plays on
};

class IAudio : public IAudioDevices {
public:
    // Opens a device for a sound file (WAV, MIDI, OGG, MP3). Returns its id,
    // or kNoMediaDevice when there is no output or the file cannot be read.
    virtual MediaDeviceId OpenMedia(const std::filesystem::path& file) = 0;

    // Plays the device's sound from its beginning and returns at once. Each
    // play that is accepted delivers exactly one notice to `sink`: when it
    // ends, is stopped, is closed, is replaced, or fails to start. A play
    // that fails to start answers false after its Failure notice. An id that
    // is not open answers false; nothing is played and no notice is sent.
    virtual bool PlayMedia(MediaDeviceId id, MediaNoticeSink sink) = 0;

    // Stop, pause and resume the device's play. False for an id that is not
    // open (nothing else is touched); true otherwise, also when it does not play.
    virtual bool StopMedia(MediaDeviceId id) = 0;
    virtual bool PauseMedia(MediaDeviceId id) = 0;
    virtual bool ResumeMedia(MediaDeviceId id) = 0;

    // Stops the device's play (its notice is sent) and releases the device;
    // once this returns its sink is never called again. False for an id that
    // is not open.
    virtual bool CloseMedia(MediaDeviceId id) = 0;

    // Plays a whole RIFF WAVE file image (borrowed for the call) and returns
    // when it has ended, or a short while after its length at the latest.
    // False, without playing anything, when there is no output or the image
    // is not a playable WAVE file.
    virtual bool PlayWaveImage(std::span<const std::uint8_t> image) = 0;

    // Plays a sound file, waiting for its end (bounded as above) or not. A
    // newer file sound replaces one still playing. False when there is no
    // output or the file cannot be read; a sound still playing then goes on.
    virtual bool PlaySoundFile(const std::filesystem::path& file, SoundWait wait) = 0;
};
