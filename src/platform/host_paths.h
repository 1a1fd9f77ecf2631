// Stored names and host files.
//
// Volumes store Windows-style names: "D:\BOOK\CAT.BMP", "PICS\CAT.BMP",
// "CAT.BMP", or host names such as "/srv/books\CAT.BMP". On this host both
// '\' and '/' separate components; a drive letter maps to a host folder
// through the "Drives" settings (D=/media/cdrom), and an unmapped drive is
// unreachable, as a drive without its disc would be. A name that does not
// start at a drive or the root is relative to the current directory. When a
// component does not exist under its exact name, a name differing only in
// ASCII letter case is taken instead (stored names were written for a
// file system that ignores case).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// The file part of a stored name: the text after the last '\', '/' or drive
// colon (the whole name when it has none).
std::string_view FilePart(std::string_view stored);

// folder + "\" + name: the separator is always added, even after a folder
// that already ends in one.
std::string JoinStoredPath(std::string_view folder, std::string_view name);

// Maps stored names to host paths against a current directory of its own
// (the process's working directory is never changed).
class HostPaths {
public:
    // Starts in the process's working directory, with no drives mapped.
    HostPaths();

    // Drive letter (either case) to host folder. Replaces earlier mappings.
    void SetDrives(const std::map<char, std::filesystem::path>& drives);

    // The host path a stored name stands for, or none when the name is empty
    // or starts at an unmapped drive. The file need not exist: components that
    // exist are matched (exactly, else without regard to case); the rest are
    // taken as written. "." and ".." are applied to the name's own text; ".."
    // never climbs above a drive's folder.
    std::optional<std::filesystem::path> Resolve(std::string_view stored) const;

    // True when the name resolves to a regular file (symbolic links followed).
    bool FileExists(std::string_view stored) const;
    // True when the name resolves to a folder.
    bool DirectoryExists(std::string_view stored) const;
    // Deletes the regular file the name resolves to; never a folder or anything
    // else. True when a file was deleted.
    bool DeleteFile(std::string_view stored) const;

    // Makes a reachable, existing folder the current directory. On failure
    // (empty name, unmapped drive, no such folder) nothing changes.
    bool SetCurrentDirectory(std::string_view stored);
    const std::filesystem::path& CurrentDirectory() const { return m_current; }

private:
    std::filesystem::path m_current;
    std::map<char, std::filesystem::path> m_drives; // upper-case letter -> folder
};
