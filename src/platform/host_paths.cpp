#include "platform/host_paths.h"

#include "platform/text_util.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool HasDrive(std::string_view s) {
    return s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]));
}

char UpperDrive(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// Appends the components of a name to `parts`, dropping "." and applying "..";
// ".." at the start of the list is dropped, so a name never climbs above the
// folder it starts from (a drive's folder or the root).
void AppendComponents(std::string_view s, std::vector<std::string>& parts) {
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsSeparator(s[i]))
            ++i;
        std::size_t b = i;
        while (i < s.size() && !IsSeparator(s[i]))
            ++i;
        std::string_view part = s.substr(b, i - b);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.emplace_back(part);
    }
}

// The entry of a folder whose name equals `name` without regard to case; the
// smallest such name when there are several, so the choice does not depend on
// the order the folder lists its entries in.
std::optional<fs::path> FindNoCase(const fs::path& folder, std::string_view name) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    std::optional<std::string> best;
    for (const fs::directory_entry& e : it) {
        std::string candidate = e.path().filename().string();
        if (EqualsNoCase(candidate, name) && (!best || candidate < *best))
            best = std::move(candidate);
    }
    if (!best)
        return std::nullopt;
    return folder / *best;
}

} // namespace

std::string_view FilePart(std::string_view stored) {
    std::size_t cut = stored.find_last_of("\\/:");
    return cut == std::string_view::npos ? stored : stored.substr(cut + 1);
}

std::string JoinStoredPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    out.push_back('\\');
    out.append(name);
    return out;
}

HostPaths::HostPaths() {
    std::error_code ec;
    m_current = fs::current_path(ec);
    if (ec)
        m_current = "/";
}

void HostPaths::SetDrives(const std::map<char, fs::path>& drives) {
    m_drives.clear();
    for (const auto& [letter, folder] : drives) {
        if (std::isalpha(static_cast<unsigned char>(letter)))
            m_drives[UpperDrive(letter)] = folder;
    }
}

std::optional<fs::path> HostPaths::Resolve(std::string_view stored) const {
    if (stored.empty())
        return std::nullopt;
    fs::path base = "/";
    std::string_view rest = stored;
    std::vector<std::string> parts;
    if (HasDrive(stored)) {
        auto it = m_drives.find(UpperDrive(stored[0]));
        if (it == m_drives.end())
            return std::nullopt;
        base = it->second;
        rest = stored.substr(2);
    } else if (!IsSeparator(stored[0])) {
        // Relative: the current directory's own components come first, so
        // ".." can climb out of it.
        AppendComponents(m_current.string(), parts);
    }
    AppendComponents(rest, parts);
    fs::path out = base;
    bool parentExists = true;
    for (const std::string& part : parts) {
        fs::path exact = out / part;
        std::error_code ec;
        if (parentExists && fs::symlink_status(exact, ec).type() == fs::file_type::not_found) {
            std::optional<fs::path> other = FindNoCase(out, part);
            if (other) {
                out = std::move(*other);
                continue;
            }
            parentExists = false; // nothing below a missing component can exist
        }
        out = std::move(exact);
    }
    return out;
}

bool HostPaths::FileExists(std::string_view stored) const {
    std::optional<fs::path> p = Resolve(stored);
    std::error_code ec;
    return p && fs::is_regular_file(*p, ec);
}

bool HostPaths::DirectoryExists(std::string_view stored) const {
    std::optional<fs::path> p = Resolve(stored);
    std::error_code ec;
    return p && fs::is_directory(*p, ec);
}

bool HostPaths::DeleteFile(std::string_view stored) const {
    std::optional<fs::path> p = Resolve(stored);
    std::error_code ec;
    if (!p || !fs::is_regular_file(fs::symlink_status(*p, ec)))
        return false;
    return fs::remove(*p, ec) && !ec;
}

bool HostPaths::SetCurrentDirectory(std::string_view stored) {
    std::optional<fs::path> p = Resolve(stored);
    std::error_code ec;
    if (!p || !fs::is_directory(*p, ec))
        return false;
    fs::path canonical = fs::canonical(*p, ec);
    m_current = ec ? *p : canonical;
    return true;
}
