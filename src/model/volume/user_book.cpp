#include "model/volume/user_book.h"

#include "platform/atomic_file.h"
#include "platform/profile_file.h"
#include "platform/user_paths.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// FNV-1a: the same on every host and in every run, unlike std::hash, so a
// book finds the folder it was given last time.
std::uint32_t StableHash(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

// The book's one name whichever way it was reached: relative, through
// links or with "..".
fs::path CanonicalPath(const fs::path& volume) {
    std::error_code ec;
    fs::path path = fs::weakly_canonical(fs::absolute(volume, ec), ec);
    return ec ? fs::absolute(volume, ec).lexically_normal() : path;
}

} // namespace

std::optional<UserBook> FindUserBook(const fs::path& volume) {
    std::error_code ec;
    if (!fs::is_regular_file(volume, ec) || UserMayWriteFile(volume))
        return std::nullopt;
    const fs::path data = UserDataHome();
    if (data.empty())
        return std::nullopt;
    const fs::path canonical = CanonicalPath(volume);
    char hash[9];
    std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(StableHash(canonical.string())));
    const fs::path folder = data / "tintaroo" / "books" / (canonical.stem().string() + "-" + hash);
    return UserBook{folder / canonical.filename(), folder / "copies"};
}

std::optional<ProfileText> ReadWorkingCopy(const UserBook& book) {
    std::optional<std::string> bytes = ReadWholeFile(book.workingCopy);
    if (!bytes)
        return std::nullopt;
    ProfileText text(std::move(*bytes));
    if (!text.HasSection("Volume"))
        return std::nullopt;
    return text;
}

bool MakeUserBook(const fs::path& volume, const UserBook& book, bool withCopyFolder) {
    std::error_code ec;
    fs::create_directories(book.workingCopy.parent_path(), ec);
    if (ec)
        return false;
    // A working copy that is not a volume (emptied, or changed by hand) would
    // take keys that opening never reads; it is made again from the book.
    if (!ReadWorkingCopy(book)) {
        std::optional<std::string> bytes = ReadWholeFile(volume);
        if (!bytes)
            return false;
        const ProfileText text(std::move(*bytes));
        // A book without CopyDir cannot be coloured; its copy must not
        // become one that can.
        std::optional<std::string> copy = text.Bytes();
        if (!GetProfileString(text, "Volume", "CopyDir", "", 2).empty())
            copy = text.WithValue("Volume", "CopyDir", book.copyFolder.string());
        if (!copy || !WriteFileAtomically(book.workingCopy, *copy).Ok())
            return false;
    }
    if (withCopyFolder) {
        fs::create_directories(book.copyFolder, ec);
        if (ec || !fs::is_directory(book.copyFolder, ec))
            return false;
    }
    return true;
}

bool WriteBookKey(const fs::path& volume, std::string_view section, std::string_view key,
                  std::string_view value) {
    const std::optional<UserBook> book = FindUserBook(volume);
    if (!book)
        return WritePrivateProfileString(section, key, value, volume);
    return MakeUserBook(volume, *book, false) &&
           WritePrivateProfileString(section, key, value, book->workingCopy);
}
