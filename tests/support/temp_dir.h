// A private temporary folder for one test, removed with everything in it
// when the object goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Path of a name inside the folder (the file need not exist).
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }
    // Writes bytes to a file inside the folder, making folders on the way; returns its path.
    std::filesystem::path Write(std::string_view name, std::string_view bytes) const;
    // Makes a folder inside this one (and its parents); returns its path.
    std::filesystem::path MakeDir(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

// Whole content of a file, or an empty string when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
