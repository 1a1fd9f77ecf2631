// The user's own folders, found as the XDG base-directory rules say, and
// whether the user may write a file.
#pragma once

#include <filesystem>

// The folder for the user's data files: $XDG_DATA_HOME when it is an
// absolute path (unset, empty or relative counts as unset), else
// $HOME/.local/share, where HOME is the environment's when absolute, else the
// home folder of the user's account. Empty when no home folder is known.
// Nothing is created.
std::filesystem::path UserDataHome();

// True when the calling user may write the existing file at `path`
// (symbolic links followed): it has a write permission bit and the system
// grants write access (which it refuses on a read-only mount). A file
// without any write bit counts as read-only even for root, who could write
// it, since the program's writer refuses it too. False for a missing file.
bool UserMayWriteFile(const std::filesystem::path& path);
