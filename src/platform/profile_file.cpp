#include "platform/profile_file.h"

#include "platform/atomic_file.h"
#include "platform/text_util.h"

#include <climits>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <unordered_set>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Settings files are small; anything larger is refused rather than loaded, so
// a hostile name cannot make the program allocate without bound.
constexpr std::size_t kMaxSettingsFileBytes = 64u << 20;

bool ValidSection(std::string_view s) {
    return !s.empty() && Trim(s) == s && s.find_first_of("]\r\n", 0) == std::string_view::npos &&
           s.find('\0') == std::string_view::npos;
}

bool ValidKey(std::string_view k) {
    return !k.empty() && Trim(k) == k && k.front() != '[' && k.front() != ';' && k.front() != '#' &&
           k.find_first_of("=\r\n") == std::string_view::npos &&
           k.find('\0') == std::string_view::npos;
}

bool ValidValue(std::string_view v) {
    return v.find_first_of("\r\n") == std::string_view::npos &&
           v.find('\0') == std::string_view::npos;
}

// A UTF-8 byte-order mark some editors put at the start of a file. It is not
// part of the first line, and a write keeps it where it is.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::size_t BomLength(std::string_view bytes) {
    return bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
}

} // namespace

ProfileText::ProfileText(std::string bytes) : m_bytes(std::move(bytes)) {
    Parse();
}

void ProfileText::Parse() {
    const std::size_t n = m_bytes.size();
    std::unordered_set<std::string> sectionNames;
    std::unordered_set<std::string> keyNames;
    Section* current = nullptr;
    std::size_t pos = BomLength(m_bytes);
    while (pos < n) {
        std::size_t nl = m_bytes.find('\n', pos);
        std::size_t next = nl == std::string::npos ? n : nl + 1;
        std::size_t end = nl == std::string::npos ? n : nl;
        if (end > pos && m_bytes[end - 1] == '\r')
            --end;
        std::size_t b = pos;
        while (b < end && IsBlank(m_bytes[b]))
            ++b;
        if (b < end && m_bytes[b] == '[') {
            std::size_t close = m_bytes.find(']', b + 1);
            if (close == std::string::npos || close > end)
                close = end;
            std::string_view line(m_bytes);
            std::string_view name = Trim(line.substr(b + 1, close - b - 1));
            std::size_t nameBegin = static_cast<std::size_t>(name.data() - m_bytes.data());
            bool repeat = !sectionNames.insert(ToLowerAscii(name)).second;
            m_sections.push_back({nameBegin, nameBegin + name.size(), next, {}, repeat});
            current = &m_sections.back();
            keyNames.clear();
        } else if (b < end && m_bytes[b] != ';' && m_bytes[b] != '#' && current) {
            std::size_t eq = m_bytes.find('=', b);
            if (eq != std::string::npos && eq < end) {
                std::size_t ke = eq;
                while (ke > b && IsBlank(m_bytes[ke - 1]))
                    --ke;
                std::size_t vb = eq + 1;
                while (vb < end && IsBlank(m_bytes[vb]))
                    ++vb;
                std::size_t ve = end;
                while (ve > vb && IsBlank(m_bytes[ve - 1]))
                    --ve;
                if (ke > b) {
                    bool repeat =
                        !keyNames.insert(ToLowerAscii(std::string_view(m_bytes).substr(b, ke - b)))
                             .second;
                    current->keys.push_back({b, ke, vb, ve, vb, end, next, repeat});
                }
            }
        }
        pos = next;
    }
}

const ProfileText::Section* ProfileText::FindSection(std::string_view name) const {
    for (const Section& s : m_sections) {
        if (!s.repeat &&
            EqualsNoCase(std::string_view(m_bytes).substr(s.nameBegin, s.nameEnd - s.nameBegin),
                         name))
            return &s;
    }
    return nullptr;
}

std::string_view ProfileText::KeyName(const Key& k) const {
    return std::string_view(m_bytes).substr(k.nameBegin, k.nameEnd - k.nameBegin);
}

std::string_view ProfileText::Value(const Key& k) const {
    std::string_view v = std::string_view(m_bytes).substr(k.valueBegin, k.valueEnd - k.valueBegin);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return v;
}

std::string_view ProfileText::LineEnding() const {
    std::size_t nl = m_bytes.find('\n');
    return (nl != std::string::npos && nl > 0 && m_bytes[nl - 1] == '\r') ? "\r\n" : "\n";
}

std::optional<std::string_view> ProfileText::Find(std::string_view section,
                                                  std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s)
        return std::nullopt;
    for (const Key& k : s->keys) {
        if (!k.repeat && EqualsNoCase(KeyName(k), key))
            return Value(k);
    }
    return std::nullopt;
}

std::optional<std::string> ProfileText::WithValue(std::string_view section, std::string_view key,
                                                  std::string_view value) const {
    if (!ValidSection(section) || !ValidKey(key) || !ValidValue(value))
        return std::nullopt;
    const std::string_view eol = LineEnding();
    std::string out;
    const Section* s = FindSection(section);
    if (!s) {
        out = m_bytes;
        if (out.size() > BomLength(out) && out.back() != '\n')
            out.append(eol);
        out.append("[").append(section).append("]").append(eol);
        out.append(key).append("=").append(value).append(eol);
        return out;
    }
    for (const Key& k : s->keys) {
        if (!k.repeat && EqualsNoCase(KeyName(k), key)) {
            out.reserve(m_bytes.size() + value.size());
            out.append(m_bytes, 0, k.editBegin).append(value).append(m_bytes, k.editEnd);
            return out;
        }
    }
    std::size_t at = s->keys.empty() ? s->headerNext : s->keys.back().lineNext;
    std::string line;
    if (at == m_bytes.size() && !m_bytes.empty() && m_bytes.back() != '\n')
        line.append(eol);
    line.append(key).append("=").append(value).append(eol);
    out.reserve(m_bytes.size() + line.size());
    out.append(m_bytes, 0, at).append(line).append(m_bytes, at);
    return out;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::string bytes;
    if (ReadRegularFile(path, kMaxSettingsFileBytes, bytes) != ReadFileResult::Read)
        return std::nullopt;
    return bytes;
}

std::string GetProfileString(const ProfileText& text, std::string_view section,
                             std::string_view key, std::string_view def, std::size_t size) {
    if (size == 0)
        return {};
    std::string_view v = text.Find(section, key).value_or(def);
    v = v.substr(0, v.find('\0'));
    return std::string(v.substr(0, size - 1));
}

int GetProfileInt(const ProfileText& text, std::string_view section, std::string_view key,
                  int def) {
    std::optional<std::string_view> v = text.Find(section, key);
    if (!v || v->empty())
        return def;
    return ParseDecimalInt(*v);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view def, std::size_t size,
                                    const std::filesystem::path& file) {
    ProfileText text(ReadWholeFile(file).value_or(std::string{}));
    return GetProfileString(text, section, key, def, size);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int def,
                         const std::filesystem::path& file) {
    ProfileText text(ReadWholeFile(file).value_or(std::string{}));
    return GetProfileInt(text, section, key, def);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::path real = std::filesystem::canonical(file, ec);
    if (ec)
        return false;
    struct stat st {};
    if (::stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 ||
        ::access(real.c_str(), W_OK) != 0)
        return false;
    struct statvfs vfs {};
    if (::statvfs(real.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY))
        return false;
    std::optional<std::string> bytes = ReadWholeFile(real);
    if (!bytes)
        return false;
    ProfileText text(std::move(*bytes));
    std::optional<std::string> updated = text.WithValue(section, key, value);
    if (!updated)
        return false;
    if (*updated == text.Bytes())
        return true;
    return WriteFileAtomically(real, *updated).Ok();
}
