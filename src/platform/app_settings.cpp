#include "platform/app_settings.h"

#include "platform/host_paths.h"
#include "platform/mci_extensions.h"
#include "platform/profile_file.h"

#include <cctype>
#include <cstdlib>

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Calls fn(decodedKey, value) for each key of a group, whether the file spells
// the group name plainly or with %XX escapes.
template <typename Fn>
void ForEachGroupKey(const ProfileText& text, const std::string& group, Fn fn) {
    std::string escaped;
    for (char c : group)
        escaped += (c == ' ') ? std::string("%20") : std::string(1, c);
    text.ForEachKey(group,
                    [&](std::string_view k, std::string_view v) { fn(DecodePercent(k), v); });
    if (escaped != group) {
        text.ForEachKey(escaped,
                        [&](std::string_view k, std::string_view v) { fn(DecodePercent(k), v); });
    }
}

} // namespace

void AppSettings::AddDrive(std::string_view key, std::string_view folder) {
    if (key.size() == 1 && std::isalpha(static_cast<unsigned char>(key[0])))
        drives[static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])))] =
            std::string(folder);
}

void AppSettings::AddMciExtension(std::string_view extension, std::string_view deviceType) {
    mciExtensions[std::string(extension)] = std::string(deviceType);
}

void AppSettings::ApplyTo(HostPaths& paths, MciExtensions& mci) const {
    paths.SetDrives(drives);
    for (const auto& [extension, type] : mciExtensions)
        mci.Set(extension, type);
}

std::string DecodePercent(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            int hi = HexValue(s[i + 1]);
            int lo = HexValue(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    return out;
}

std::vector<std::filesystem::path> AppSettingsFiles() {
    const std::filesystem::path name = std::filesystem::path("Quorvex") / "Tintaroo!.conf";
    std::vector<std::filesystem::path> files;
    std::string home = EnvOr("HOME", "/");
    files.push_back(std::filesystem::path(EnvOr("XDG_CONFIG_HOME", home + "/.config")) / name);
    std::string dirs = EnvOr("XDG_CONFIG_DIRS", "/etc/xdg");
    std::size_t pos = 0;
    while (pos <= dirs.size()) {
        std::size_t colon = dirs.find(':', pos);
        std::string dir =
            dirs.substr(pos, colon == std::string::npos ? std::string::npos : colon - pos);
        if (!dir.empty())
            files.push_back(std::filesystem::path(dir) / name);
        if (colon == std::string::npos)
            break;
        pos = colon + 1;
    }
    return files;
}

AppSettings LoadAppSettings(const std::vector<std::filesystem::path>& files) {
    AppSettings settings;
    // Later files first, so that earlier ones overwrite what they also set.
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        ProfileText text(ReadWholeFile(*it).value_or(std::string{}));
        ForEachGroupKey(text, "Drives", [&](const std::string& key, std::string_view value) {
            settings.AddDrive(key, value);
        });
        ForEachGroupKey(text, "mci extensions",
                        [&](const std::string& key, std::string_view value) {
                            settings.AddMciExtension(key, value);
                        });
    }
    return settings;
}
