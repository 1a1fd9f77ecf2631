#include "sandbox.h"

#include "model/display/dib.h"
#include "platform/host_paths.h"
#include "platform/profile_file.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The folders the program may write freely: Qt's settings, the runtime
// folder and the printed PDF files. The copy folder is checked on its own.
constexpr const char* kUncheckedFolders[] = {"home", "config", "etc", "runtime"};

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + file.string());
}

// FNV-1a: enough to tell whether a file changed.
std::uint64_t Digest(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

// A volume template of data/books with its @NAME@ placeholders filled in.
std::string FillTemplate(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [name, value] : values) {
        const std::string key = "@" + name + "@";
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at))
            text.replace(at, key.size(), value), at += value.size();
    }
    return text;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool IsPageKey(const std::string& key) {
    return key.size() > 4 && Lower(key.substr(0, 4)) == "page" &&
           std::all_of(key.begin() + 4, key.end(), [](unsigned char c) { return std::isdigit(c); });
}

// True for a line the program may write: a page's picture or the background colour.
bool IsRecordedKey(const std::string& section, const std::string& line) {
    const auto eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    const std::string key = Trim(line.substr(0, eq));
    return (section == "picture files" && IsPageKey(key)) ||
           (section == "options" && Lower(key) == "backcolor");
}

bool IsUnchecked(const fs::path& relative) {
    const std::string top = relative.begin()->string();
    return std::any_of(std::begin(kUncheckedFolders), std::end(kUncheckedFolders),
                       [&](const char* f) { return top == f; });
}

} // namespace

std::map<std::string, std::vector<std::string>> FixedVolumeLines(const std::string& bytes) {
    std::map<std::string, std::vector<std::string>> sections;
    std::string section; // lines before the first header belong to ""
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty())
            continue;
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            section = Lower(Trim(trimmed.substr(1, trimmed.size() - 2)));
            continue;
        }
        if (!IsRecordedKey(section, line))
            sections[section].push_back(line);
    }
    return sections;
}

Sandbox::Sandbox(const fs::path& dataDir) {
    std::string pattern = (fs::temp_directory_path() / "tintaroo-monkey-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_root = pattern;
    for (const char* folder : {"home", "config", "etc", "runtime", "copies"})
        fs::create_directories(m_root / folder);
    fs::permissions(RuntimeDir(), fs::perms::owner_all, fs::perm_options::replace);
    const auto copyOptions = fs::copy_options::recursive;
    fs::copy(dataDir / "books" / "sample", m_root / "book", copyOptions);
    fs::copy(dataDir / "books" / "instructions", m_root / "instructions", copyOptions);
    fs::copy(dataDir / "sounds", SoundsFolder(), copyOptions);

    WriteBytes(SampleVolume(), FillTemplate(ReadBytes(dataDir / "books" / "sample.vol.in"),
                                            {{"SAMPLE_ORIGINALS", (m_root / "book").string()},
                                             {"SAMPLE_COPIES", CopyFolder().string()}}));
    WriteBytes(InstructionsVolume(),
               FillTemplate(ReadBytes(dataDir / "books" / "instructions.vol.in"),
                            {{"INSTRUCTIONS_ORIGINALS", (m_root / "instructions").string()}}));
    // No drive is mapped, so drive D is a disc drive without its disc.
    WriteBytes(DiscVolume(), "[Volume]\nTitle=The Missing Disc\nOrgPath=D:\\BOOK\nCopyDir=" +
                                 CopyFolder().string() +
                                 "\nNumPages=2\n\n[Picture Files]\nPage1=CAT.BMP\nPage2=DOG.BMP\n");
    // The start of a sound file: binary bytes with a .vol name.
    WriteBytes(NotAVolume(), ReadBytes(m_root / "book" / "CAT.WAV").substr(0, 4096));
    if (!fs::exists(SampleVolume()) || !fs::exists(m_root / "book" / "CAT.BMP"))
        throw std::runtime_error("the sample book was not copied from " + dataDir.string());
}

Sandbox::~Sandbox() {
    if (m_keep)
        return;
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

std::map<std::string, std::uint64_t> Sandbox::Digests() const {
    std::map<std::string, std::uint64_t> digests;
    for (auto it = fs::recursive_directory_iterator(m_root);
         it != fs::recursive_directory_iterator(); ++it) {
        const fs::path relative = fs::relative(it->path(), m_root);
        if (it->is_directory() && IsUnchecked(relative)) {
            it.disable_recursion_pending();
            continue;
        }
        if (!it->is_directory())
            digests[relative.string()] = Digest(ReadBytes(it->path()));
    }
    return digests;
}

void Sandbox::TakeSnapshot() {
    m_digests = Digests();
    m_volumesBefore.clear();
    for (const auto& [name, digest] : m_digests) {
        if (fs::path(name).extension() == ".vol")
            m_volumesBefore[name] = ReadBytes(m_root / name);
    }
}

void Sandbox::CheckFiles(std::vector<std::string>& failures) const {
    const std::map<std::string, std::uint64_t> now = Digests();
    const std::string copies = fs::relative(CopyFolder(), m_root).string() + "/";
    for (const auto& [name, digest] : m_digests) {
        auto after = now.find(name);
        if (after == now.end()) {
            if (name.rfind(copies, 0) != 0)
                failures.push_back("file removed: " + name);
        } else if (m_volumesBefore.count(name)) {
            if (FixedVolumeLines(m_volumesBefore.at(name)) !=
                FixedVolumeLines(ReadBytes(m_root / name)))
                failures.push_back("volume changed beyond its page and background keys: " + name);
        } else if (after->second != digest && name.rfind(copies, 0) != 0) {
            failures.push_back("file changed: " + name);
        }
    }
    for (const auto& [name, digest] : now) {
        if (!m_digests.count(name) && name.rfind(copies, 0) != 0)
            failures.push_back("file created outside the copy folder: " + name);
    }
}

void Sandbox::CheckPageEntries(const fs::path& volume, std::vector<std::string>& failures) const {
    const std::optional<std::string> bytes = ReadWholeFile(volume);
    if (!bytes) {
        failures.push_back("volume unreadable: " + volume.string());
        return;
    }
    const ProfileText text(*bytes);
    HostPaths paths;
    if (!paths.SetCurrentDirectory(GetProfileString(text, "Volume", "OrgPath", "", 256))) {
        failures.push_back("volume's OrgPath is unreachable: " + volume.string());
        return;
    }
    text.ForEachKey("Picture Files", [&](std::string_view key, std::string_view value) {
        if (IsPageKey(std::string(key)) && !paths.FileExists(value))
            failures.push_back(volume.filename().string() + " " + std::string(key) +
                               " names a missing file: " + std::string(value));
    });
}

void Sandbox::CheckCopies(std::vector<std::string>& failures) const {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(CopyFolder())) {
        if (entry.is_directory())
            continue;
        std::string why;
        DibHandle dib = LoadDIB(entry.path(), &why);
        if (!dib)
            failures.push_back("coloured copy " + entry.path().string() + " " + why);
        else if (dib->header.bitCount != 8)
            failures.push_back("coloured copy " + entry.path().string() + " has " +
                               std::to_string(dib->header.bitCount) + " bits a pixel, not 8");
    }
}

std::vector<std::string> Sandbox::Check() const {
    std::vector<std::string> failures;
    CheckFiles(failures);
    CheckPageEntries(SampleVolume(), failures);
    CheckPageEntries(InstructionsVolume(), failures);
    CheckCopies(failures);
    return failures;
}
