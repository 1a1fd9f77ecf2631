// Read-only books: a volume file the user may not write (an installed book,
// a book on a read-only disc) keeps what the child changes in a working copy
// of the user's own, under the user's data folder:
//
//   <data>/tintaroo/books/<stem>-<hash>/<volume file name>  the working copy
//   <data>/tintaroo/books/<stem>-<hash>/copies/             the coloured copies
//
// <hash> is 8 hexadecimal digits of a hash of the volume file's canonical
// path, so that books of the same file name get folders of their own and a
// book always gets the same one. The working copy starts as the volume
// file's bytes with CopyDir (when the book names one) set to the copies
// folder; from then on every key of the book is read from and written to
// it. Nothing is ever written beside a read-only book.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

class ProfileText;

// Where a read-only book's working copy and coloured copies live.
struct UserBook {
    std::filesystem::path workingCopy;
    std::filesystem::path copyFolder;
};

// The places for a volume file that exists and that the user may not write
// (UserMayWriteFile); none for a writable or missing file, or when no user
// data folder is known. Nothing is created.
std::optional<UserBook> FindUserBook(const std::filesystem::path& volume);

// The working copy's content when it is a regular file with a [Volume]
// section; none otherwise (not made yet, or not a volume).
std::optional<ProfileText> ReadWorkingCopy(const UserBook& book);

// Makes the working folder and, unless ReadWorkingCopy finds one already,
// the working copy (written with WriteFileAtomically); with `withCopyFolder`
// also the copies folder. False when any of them could not be made (the
// volume file unreadable, no permission, a full disc, a file in the way).
bool MakeUserBook(const std::filesystem::path& volume, const UserBook& book, bool withCopyFolder);

// Writes one key of a volume file (WritePrivateProfileString): into the file
// itself unless it is a read-only book, else into its working copy, made
// first when missing. False when the write, or making the working copy,
// failed.
bool WriteBookKey(const std::filesystem::path& volume, std::string_view section,
                  std::string_view key, std::string_view value);
