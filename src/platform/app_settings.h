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

struct AppSettings {
    std::map<char, std::filesystem::path> drives;     // group "Drives": D=/media/cdrom
    std::map<std::string, std::string> mciExtensions; // group "mci extensions": OGG=waveaudio
};

// The settings files in the order they are consulted: the user's file first,
// then the system files. Files that do not exist are included.
std::vector<std::filesystem::path> AppSettingsFiles();

// Reads the groups the model needs from the given files; a key in an earlier
// file wins over the same key in a later one. Missing files read as empty.
AppSettings LoadAppSettings(const std::vector<std::filesystem::path>& files);

// Decodes %XX escapes; a '%' not followed by two hex digits stays as it is.
std::string DecodePercent(std::string_view s);
