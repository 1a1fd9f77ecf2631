// Which media device type plays a file, judged by its extension: the
// built-in table (WAV -> waveaudio, MID and RMI -> sequencer, OGG and MP3 ->
// waveaudio), extended or overridden by the settings group "mci extensions".
#pragma once

#include <map>
#include <string>
#include <string_view>

class MciExtensions {
public:
    MciExtensions(); // the built-in table

    // Adds or replaces the device type of an extension (any case). An empty
    // device type removes the extension.
    void Set(std::string_view extension, std::string_view deviceType);

    // The device type for an extension, looked up without regard to case and
    // cut to 39 characters; empty when the table has none.
    std::string DeviceType(std::string_view extension) const;

    // The extension by which a file name is judged: its last three characters
    // (all of it when shorter).
    static std::string_view ExtensionOf(std::string_view name);

private:
    std::map<std::string, std::string> m_types; // lower-case extension -> device type
};
