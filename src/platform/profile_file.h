// Sectioned settings files ("[Section]" lines followed by "key=value" lines),
// read and written one key at a time.
//
// Reading: section and key names match without regard to ASCII letter case.
// Only the first section of a name counts, and within it the first key of a
// name. Names and values are trimmed of blanks and tabs; a value wrapped in a
// matching pair of double or single quotes loses them. Lines starting with ';'
// or '#' are comments. Lines end with LF or CRLF. A UTF-8 byte-order mark at
// the start of the file is not part of the first line.
//
// Writing changes exactly one value: it replaces the value of an existing key
// in place, or adds "key=value" after the last key of the section, or adds the
// section with the key at the end of the file. Every other byte stays as it
// was, a byte-order mark included.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A parsed settings file. Holds its own copy of the bytes; cheap to query.
class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(std::string bytes);

    const std::string& Bytes() const { return m_bytes; }

    // The raw value of a key (trimmed, quotes removed), or none when the key
    // or its section is absent.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // Whether the file has a section of that name, with or without keys.
    bool HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

    // Calls fn(key, value) for each key of the first section of that name, in
    // file order, skipping later repeats of a key name.
    template <typename Fn> void ForEachKey(std::string_view section, Fn&& fn) const {
        const Section* s = FindSection(section);
        if (!s)
            return;
        for (std::size_t i = 0; i < s->keys.size(); ++i) {
            if (!s->keys[i].repeat)
                fn(KeyName(s->keys[i]), Value(s->keys[i]));
        }
    }

    // The bytes of the file with one key set to a value, or none when a name
    // or the value cannot be stored on one line (empty or ill-formed names,
    // line breaks or NUL in any of them, '=' in the key, ']' in the section).
    std::optional<std::string> WithValue(std::string_view section, std::string_view key,
                                         std::string_view value) const;

private:
    struct Key {
        std::size_t nameBegin, nameEnd;   // trimmed key name
        std::size_t valueBegin, valueEnd; // trimmed value, quotes included
        std::size_t editBegin, editEnd;   // what a write replaces: after '=' to the line end
        std::size_t lineNext;             // first byte of the next line
        bool repeat;                      // an earlier key of the section has this name
    };
    struct Section {
        std::size_t nameBegin, nameEnd;
        std::size_t headerNext; // first byte after the header line
        std::vector<Key> keys;
        bool repeat; // an earlier section has this name
    };

    void Parse();
    const Section* FindSection(std::string_view name) const;
    std::string_view KeyName(const Key& k) const;
    std::string_view Value(const Key& k) const;
    std::string_view LineEnding() const;

    std::string m_bytes;
    std::vector<Section> m_sections;
};

// Reads a whole regular file; none when it cannot be read, is not a regular
// file (a FIFO or device is refused at once, never waited on) or is larger
// than a settings file can sensibly be (64 MiB).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// The value of a key cut to size - 1 characters (and at a NUL byte), or the
// default, likewise cut, when the key or its section is absent. Size 0 gives "".
std::string GetProfileString(const ProfileText& text, std::string_view section,
                             std::string_view key, std::string_view def, std::size_t size);

// The value of a key as a decimal integer: optional sign, then digits up to
// the first other character (none gives 0), clamped to the int range. The
// default when the key is absent or its value empty.
int GetProfileInt(const ProfileText& text, std::string_view section, std::string_view key, int def);

// The same, on a file by host path; an unreadable file reads as an empty one.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view def, std::size_t size,
                                    const std::filesystem::path& file);
int GetPrivateProfileInt(std::string_view section, std::string_view key, int def,
                         const std::filesystem::path& file);

// Writes one key into an existing file and reports success. Follows symbolic
// links to the real file and writes it with WriteFileAtomically
// (atomic_file.h): a crash leaves the old or the new file, the file's mode
// (and, for root, its owner) is kept, and a file in a folder that cannot take
// a new file is rewritten in place. Fails, changing nothing, when the file
// does not exist or is not a regular file, has no write permission bits, lies
// on a read-only mount, cannot be read or written, or when the names or value
// cannot be stored (see ProfileText::WithValue). Also fails, with the new
// content in place, when the folder could not be synced after the rename.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& file);
