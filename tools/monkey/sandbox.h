// The monkey run's private world: a temporary folder holding copies of the
// sample book, the colouring instructions and the spoken prompts, the volumes
// that point at them, a few files that are not usable volumes, and the
// folders the program writes its settings and printed files to. Nothing of
// the checkout is ever opened for writing.
//
// After the run, Check compares the folder with the snapshot taken before it:
// only the coloured copies in the copy folder and the two keys the program
// records in a volume ("Picture Files" PageN, "Options" BackColor) may have
// changed, every page entry must name an existing file, and every coloured
// copy must be an 8-bit bitmap.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

class Sandbox {
public:
    // Makes the folder under the system's temporary folder and fills it from
    // `dataDir` (the checkout's data/ folder). Throws std::runtime_error with
    // the reason when a file cannot be copied or written.
    explicit Sandbox(const std::filesystem::path& dataDir);
    // Removes the folder unless Keep() was called.
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    void Keep() { m_keep = true; }
    const std::filesystem::path& Root() const { return m_root; }

    // The sample book, the colouring instructions, a book whose pictures are
    // on a drive that is not there (the insert-disc prompt), a file that is
    // not a volume, and a name with no file behind it.
    std::filesystem::path SampleVolume() const { return m_root / "sample.vol"; }
    std::filesystem::path InstructionsVolume() const { return m_root / "instructions.vol"; }
    std::filesystem::path DiscVolume() const { return m_root / "disc.vol"; }
    std::filesystem::path NotAVolume() const { return m_root / "not-a-volume.vol"; }
    std::filesystem::path MissingVolume() const { return m_root / "missing.vol"; }
    std::filesystem::path SoundsFolder() const { return m_root / "sounds"; }
    std::filesystem::path CopyFolder() const { return m_root / "copies"; }
    // HOME and the working directory: the print dialog offers its PDF file here.
    std::filesystem::path Home() const { return m_root / "home"; }
    // XDG_CONFIG_HOME, XDG_CONFIG_DIRS and XDG_RUNTIME_DIR.
    std::filesystem::path ConfigHome() const { return m_root / "config"; }
    std::filesystem::path ConfigDirs() const { return m_root / "etc"; }
    std::filesystem::path RuntimeDir() const { return m_root / "runtime"; }

    // Records a digest of every file the checks cover.
    void TakeSnapshot();
    // The failed checks, one sentence each; empty when every check held.
    std::vector<std::string> Check() const;

private:
    std::map<std::string, std::uint64_t> Digests() const;
    void CheckFiles(std::vector<std::string>& failures) const;
    void CheckPageEntries(const std::filesystem::path& volume,
                          std::vector<std::string>& failures) const;
    void CheckCopies(std::vector<std::string>& failures) const;

    std::filesystem::path m_root;
    std::map<std::string, std::uint64_t> m_digests;     // relative path -> digest
    std::map<std::string, std::string> m_volumesBefore; // relative path -> bytes
    bool m_keep = false;
};

// The lines of a volume that must not change, by section: everything but the
// keys the program records ("Picture Files" PageN and "Options" BackColor).
// Section names are lower-cased; blank lines and sections left with no
// lines are dropped (writing a key may add its section).
std::map<std::string, std::vector<std::string>> FixedVolumeLines(const std::string& bytes);
