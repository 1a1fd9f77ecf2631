// Writing whole files so that a crash or a full disc never leaves a torn one,
// and reading whole files without ever blocking on something that is not a
// file. Every file the program writes goes through WriteFileAtomically.
//
// Writing: the bytes go to a new temporary file in the same folder as the
// target, which is synced, given the old file's mode (and, where the caller
// may give them, its owner and group) and renamed over the target; then the
// folder is synced. Readers see the old file or the new one, never a mix, and
// no temporary file is left behind on any failure.
//
// - The temporary file is named ".<target's name>.<8 hex digits>.tmp" and the
//   writer holds an exclusive lock (flock) on it until the rename. A writer
//   killed on the way leaves its temporary; the next write of the same target
//   removes every such file of that target that nobody holds locked (the
//   kernel drops a dead writer's lock), so two processes writing the same file
//   at once never remove each other's. Only regular files with exactly that
//   name are removed, never a link or what it leads to. Where the file system
//   cannot lock, only those untouched for an hour are removed. Names are
//   matched on the target's first 200 bytes, the part the temporary carries.
// - Symbolic links are followed to the file they lead to (through a chain of
//   links); the links themselves stay as they are. A link that leads to
//   nothing is refused: a file is only ever created at a path that is not a
//   link, so a stray link cannot make the program create a file elsewhere.
// - A destination that exists but is not a regular file (a folder, a device
//   such as /dev/null, a FIFO, a socket) is refused and left untouched, also
//   when running as root.
// - An existing file without write permission for the caller (no write bits
//   at all, even for root, or no permission for this user) is refused: it is
//   never replaced by renaming a new file over it.
// - A new file gets the mode a plain create gives it (0666 less the umask).
// - When the folder cannot take a new file (no permission, read-only folder)
//   but the file exists and may be written, the file is rewritten in place:
//   written over, cut to the new length and synced. Only that path is not
//   atomic: a failure part way through can leave a mix of old and new bytes.
//
// Nothing here throws.
//
// Reading: ReadRegularFile opens regular files only, so a path naming a FIFO
// or a device can neither block the caller nor feed it endless bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

enum class AtomicWriteResult {
    Written,               // the target holds the new bytes and is synced
    NotRegularFile,        // the target is a folder, device, FIFO or socket; untouched
    DanglingLink,          // a symbolic link on the way leads to nothing; nothing created
    NotWritable,           // the existing file may not be written by the caller; untouched
    CannotResolve,         // the path cannot be followed (link loop, a part not a folder, ...)
    CannotCreateTemporary, // no temporary file in the folder, and no in-place rewrite possible
    WriteFailed,           // writing the bytes failed (full disc, I/O error)
    SyncFailed,            // the written bytes could not be synced to the disc
    KeepModeFailed,        // the old file's mode could not be given to the new file
    RenameFailed,          // the new file could not take the target's place
    FolderSyncFailed,      // the target holds the new bytes, but its folder was not synced
};

// What a write did: the result, and the errno of the failing call (0 when
// the write succeeded or a refusal needed no failing call).
struct AtomicWriteStatus {
    AtomicWriteResult result = AtomicWriteResult::Written;
    int error = 0;

    bool Ok() const { return result == AtomicWriteResult::Written; }
};

// The steps of a write, for tests that make one of them fail.
enum class AtomicWriteStep {
    CreateTemporary, // creating the temporary file
    Write,           // writing the bytes (to the temporary file, or in place)
    Sync,            // syncing the written file
    KeepMode,        // giving the temporary file the old file's mode
    Rename,          // renaming the temporary file over the target
    SyncFolder,      // syncing the folder after the rename
    OpenInPlace,     // opening the existing file for an in-place rewrite
};

// Called before each step; a non-zero return makes that step fail with that
// errno without being carried out. Empty: every step runs for real.
using AtomicWriteFault = std::function<int(AtomicWriteStep)>;

// Writes `bytes` as the whole content of the file at `path` as described
// above.
AtomicWriteStatus WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                      const AtomicWriteFault& fault = {});

enum class ReadFileResult {
    Read,
    CannotOpen,     // missing, no permission, ...
    NotRegularFile, // a folder, device, FIFO or socket: refused without reading or blocking
    TooLarge,       // larger than the caller's limit: refused before anything is allocated
    ReadFailed,     // an I/O error, or the file grew while it was read
};

// Reads a whole regular file into `out` (one allocation of the file's size,
// refused when larger than `maxBytes` or when memory runs out). Follows
// symbolic links. A FIFO or device is refused at once, never waiting for a
// writer. On failure `out` is empty.
ReadFileResult ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                               std::string& out);
