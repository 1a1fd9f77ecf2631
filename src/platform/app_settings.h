// The program's own settings file, read without Qt (for the command-line
// tools): $XDG_CONFIG_HOME/Quorvex/Tintaroo!.conf (default ~/.config), with
// the same file under each folder of $XDG_CONFIG_DIRS (default /etc/xdg) as
// fallback. The file is in Qt's ini format: group and key names may carry
// %XX escapes ("[mci%20extensions]"), which are decoded here.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class HostPaths;
class MciExtensions;

struct AppSettings {
    std::map<char, std::filesystem::path> drives;     // group "Drives": D=/media/cdrom
    std::map<std::string, std::string> mciExtensions; // group "mci extensions": OGG=waveaudio

    // One key of the group "Drives" or "mci extensions", as every reader of
    // the settings takes it: a drive key is a single letter (any case; other
    // keys are ignored), an extension key is taken as it is. A later add of
    // the same key replaces the earlier one.
    void AddDrive(std::string_view key, std::string_view folder);
    void AddMciExtension(std::string_view extension, std::string_view deviceType);

    // Hands the drives to `paths` and the extensions to `mci`.
    void ApplyTo(HostPaths& paths, MciExtensions& mci) const;
};

// The settings files in the order they are consulted: the user's file first,
// then the system files. Files that do not exist are included.
std::vector<std::filesystem::path> AppSettingsFiles();

// Reads the groups the model needs from the given files; a key in an earlier
// file wins over the same key in a later one. Missing files read as empty.
AppSettings LoadAppSettings(const std::vector<std::filesystem::path>& files);

// Decodes %XX escapes; a '%' not followed by two hex digits stays as it is.
std::string DecodePercent(std::string_view s);
