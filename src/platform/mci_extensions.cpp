#include "platform/mci_extensions.h"

#include "platform/text_util.h"

MciExtensions::MciExtensions() {
    Set("wav", "waveaudio");
    Set("mid", "sequencer");
    Set("rmi", "sequencer");
    Set("ogg", "waveaudio");
    Set("mp3", "waveaudio");
}

void MciExtensions::Set(std::string_view extension, std::string_view deviceType) {
    std::string key = ToLowerAscii(Trim(extension));
    if (deviceType.empty())
        m_types.erase(key);
    else
        m_types[key] = std::string(deviceType);
}

std::string MciExtensions::DeviceType(std::string_view extension) const {
    auto it = m_types.find(ToLowerAscii(extension));
    if (it == m_types.end())
        return {};
    return it->second.substr(0, 39);
}

std::string_view MciExtensions::ExtensionOf(std::string_view name) {
    return name.size() <= 3 ? name : name.substr(name.size() - 3);
}
