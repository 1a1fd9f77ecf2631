#include "platform/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Result = AtomicWriteResult;
using Step = AtomicWriteStep;

// As many links as the kernel itself follows before giving up with ELOOP.
constexpr int kMaxLinkHops = 40;

// The file a path leads to after its symbolic links.
struct Target {
    fs::path path;
    bool exists = false;
    struct stat st {};
};

AtomicWriteStatus Failure(Result result, int error) {
    return {result, error};
}

// Runs one step unless the test seam fails it; `call` returns 0 or -1 with
// errno set, as the POSIX calls do.
template <typename Call>
AtomicWriteStatus RunStep(const AtomicWriteFault& fault, Step step, Result onFailure, Call call) {
    int error = fault ? fault(step) : 0;
    if (error == 0 && call() != 0)
        error = errno != 0 ? errno : EIO;
    return error == 0 ? AtomicWriteStatus{} : Failure(onFailure, error);
}

// Follows the links of the last part of the path one by one (the kernel
// follows those of the folders on the way), so that a link leading nowhere
// is told apart from a new file.
AtomicWriteStatus Resolve(const fs::path& given, Target& target) {
    fs::path p = given;
    for (int hops = 0;; ++hops) {
        if (::lstat(p.c_str(), &target.st) != 0) {
            const int error = errno;
            if (error != ENOENT)
                return Failure(Result::CannotResolve, error);
            if (hops > 0)
                return Failure(Result::DanglingLink, error);
            target.path = p; // a new file
            return {};
        }
        if (!S_ISLNK(target.st.st_mode)) {
            target.path = p;
            target.exists = true;
            return {};
        }
        if (hops == kMaxLinkHops)
            return Failure(Result::CannotResolve, ELOOP);
        std::error_code ec;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec)
            return Failure(Result::CannotResolve, ec.value());
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
}

fs::path FolderOf(const fs::path& file) {
    fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0) {
            errno = ENOSPC;
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// The hidden name of a temporary file for a target: "." + the target's name
// (its first 200 bytes, so the whole stays within a name's length) + ".".
std::string TemporaryPrefix(const fs::path& target) {
    // Appended piece by piece: GCC 12 at -O3 reports a false overlap
    // (-Wrestrict) in the chain of string additions.
    std::string prefix = ".";
    prefix.append(target.filename().string(), 0, 200);
    prefix.push_back('.');
    return prefix;
}

// True for prefix + 8 lower-case hex digits + ".tmp", the names
// CreateTemporary gives.
bool IsTemporaryName(std::string_view name, std::string_view prefix) {
    constexpr std::string_view kEnd = ".tmp";
    if (name.size() != prefix.size() + 8 + kEnd.size() || !name.starts_with(prefix) ||
        !name.ends_with(kEnd))
        return false;
    const std::string_view tag = name.substr(prefix.size(), 8);
    return tag.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Where the file system cannot lock files, a temporary is taken for stale
// once nobody has written to it for this long.
constexpr std::time_t kUnlockableStaleSeconds = 3600;

// Removes one temporary if nobody is writing it. A live writer holds an
// exclusive lock on its temporary from creation to rename, and the kernel
// drops the lock when the writer dies, so a lock we can take means a dead
// writer. Only a regular file that is still the one looked at is removed.
void RemoveIfStale(int folder, const char* name) {
    struct stat before {};
    if (::fstatat(folder, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode))
        return;
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    int fd = ::openat(folder, name, O_RDONLY | kFlags);
    if (fd < 0)
        fd = ::openat(folder, name, O_WRONLY | kFlags); // a write-only mode
    if (fd < 0)
        return;
    struct stat opened {};
    bool stale = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
                 opened.st_dev == before.st_dev && opened.st_ino == before.st_ino;
    if (stale && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        stale = errno != EWOULDBLOCK && errno != EINTR &&
                std::time(nullptr) - opened.st_mtime > kUnlockableStaleSeconds;
    struct stat now {};
    if (stale && ::fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        now.st_dev == opened.st_dev && now.st_ino == opened.st_ino)
        ::unlinkat(folder, name, 0);
    ::close(fd); // drops the lock
}

// Temporaries of this target that a killed writer left behind. Best effort:
// a folder that cannot be read or a file that cannot be removed stays.
void RemoveStaleTemporaries(const fs::path& target) {
    const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    const int listing = ::dup(folder);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        ::close(folder);
        return;
    }
    const std::string prefix = TemporaryPrefix(target);
    std::vector<std::string> found;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsTemporaryName(entry->d_name, prefix))
            found.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : found)
        RemoveIfStale(folder, name.c_str());
    ::close(folder);
}

// Takes the writer's lock on a temporary just created. False when the file
// must be given up: a cleaner holds it, or already removed it in the moment
// between its creation and the lock (the cleaner saw an unlocked file).
// Where the file system cannot lock, the file is kept without a lock.
bool LockTemporary(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno != EWOULDBLOCK && errno != EINTR;
    struct stat st {};
    return ::fstat(fd, &st) == 0 && st.st_nlink > 0;
}

// A new file beside the target, under a hidden name made from the target's,
// created the way any new file is (0666 less the umask, the folder's default
// access lists) so a new target needs no mode of its own, and locked for as
// long as it is open. O_EXCL: a name that appeared meanwhile is never reused.
int CreateTemporary(const fs::path& target, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    const std::string prefix = TemporaryPrefix(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const auto clock =
            static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
        const unsigned tag = clock ^ (static_cast<unsigned>(::getpid()) << 12) ^
                             (counter.fetch_add(1) * 0x9E3779B9u);
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%08x.tmp", tag);
        temp = FolderOf(target) / (prefix + suffix);
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return fd;
        if (fd >= 0 && LockTemporary(fd))
            return fd;
        if (fd >= 0)
            ::close(fd); // the cleaner that took it removes it
    }
    errno = EEXIST;
    return -1;
}

// Root may give the new file any owner; others may keep the group when they
// belong to it. A refusal leaves the new file the caller's, as a plain save
// over the file would.
void KeepOwner(int fd, const struct stat& old) {
    if (::geteuid() == 0) {
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    } else if (old.st_gid != ::getegid()) {
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
}

// Owner before mode: a change of owner clears the set-id bits.
AtomicWriteStatus FillTemporary(int fd, std::string_view bytes, const Target& target,
                                const AtomicWriteFault& fault) {
    AtomicWriteStatus s =
        RunStep(fault, Step::Write, Result::WriteFailed, [&] { return WriteAll(fd, bytes); });
    if (s.Ok() && target.exists) {
        KeepOwner(fd, target.st);
        s = RunStep(fault, Step::KeepMode, Result::KeepModeFailed,
                    [&] { return ::fchmod(fd, target.st.st_mode & 07777); });
    }
    if (s.Ok())
        s = RunStep(fault, Step::Sync, Result::SyncFailed, [&] { return ::fsync(fd); });
    return s;
}

// Without a synced folder the rename may not survive a power cut. A folder
// the caller may not read cannot be opened to sync it, and some file systems
// cannot sync folders at all; the rename stands in those cases.
AtomicWriteStatus SyncFolder(const fs::path& folder, const AtomicWriteFault& fault) {
    if (const int error = fault ? fault(Step::SyncFolder) : 0)
        return Failure(Result::FolderSyncFailed, error);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const int synced = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (synced != 0 && error != EINVAL && error != ENOTSUP)
        return Failure(Result::FolderSyncFailed, error);
    return {};
}

// Room for a longer file is reserved before any old byte is overwritten, so
// a full disc fails the write with the old content still whole.
int ReserveAndWrite(int fd, std::string_view bytes, off_t oldSize) {
    const auto newSize = static_cast<off_t>(bytes.size());
    if (newSize > oldSize) {
        const int error = ::posix_fallocate(fd, 0, newSize);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
            [[maybe_unused]] const int ignored = ::ftruncate(fd, oldSize);
            errno = error;
            return -1;
        }
    }
    if (WriteAll(fd, bytes) != 0)
        return -1;
    return ::ftruncate(fd, newSize);
}

AtomicWriteStatus RewriteInPlace(const Target& target, std::string_view bytes,
                                 const AtomicWriteFault& fault, int temporaryError) {
    int error = fault ? fault(Step::OpenInPlace) : 0;
    int fd = -1;
    if (error == 0) {
        // Not O_TRUNC: nothing is lost until the new bytes are on their way.
        fd = ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            error = errno;
    }
    if (fd < 0)
        return Failure(Result::CannotCreateTemporary, temporaryError);
    struct stat st {};
    AtomicWriteStatus s;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        s = Failure(Result::NotRegularFile, 0);
    if (s.Ok())
        s = RunStep(fault, Step::Write, Result::WriteFailed,
                    [&] { return ReserveAndWrite(fd, bytes, st.st_size); });
    if (s.Ok())
        s = RunStep(fault, Step::Sync, Result::SyncFailed, [&] { return ::fsync(fd); });
    ::close(fd);
    return s;
}

// 0 when the caller may write the file, else the errno that says why not.
// No write bits means read-only for everybody: root could write it, but a
// file someone marked read-only is not the program's to change.
int WritePermission(const Target& target) {
    if ((target.st.st_mode & 0222) == 0)
        return EACCES;
    return ::faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

ReadFileResult ReadOpenFile(int fd, std::uint64_t maxBytes, std::string& out) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return ReadFileResult::ReadFailed;
    if (!S_ISREG(st.st_mode))
        return ReadFileResult::NotRegularFile;
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes)
        return ReadFileResult::TooLarge;
    // The flag only kept the open from waiting on a FIFO; reads of a regular
    // file never wait, but clear it all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    try {
        out.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        return ReadFileResult::TooLarge;
    }
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadFileResult::ReadFailed;
        if (n == 0)
            break; // the file shrank meanwhile
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    char probe;
    ssize_t more;
    do {
        more = ::read(fd, &probe, 1);
    } while (more < 0 && errno == EINTR);
    return more == 0 ? ReadFileResult::Read : ReadFileResult::ReadFailed;
}

} // namespace

AtomicWriteStatus WriteFileAtomically(const fs::path& path, std::string_view bytes,
                                      const AtomicWriteFault& fault) {
    Target target;
    if (AtomicWriteStatus s = Resolve(path, target); !s.Ok())
        return s;
    if (target.exists && !S_ISREG(target.st.st_mode))
        return Failure(Result::NotRegularFile, 0);
    if (const int denied = target.exists ? WritePermission(target) : 0)
        return Failure(Result::NotWritable, denied);

    fs::path temp;
    int error = fault ? fault(Step::CreateTemporary) : 0;
    int fd = -1;
    if (error == 0) {
        RemoveStaleTemporaries(target.path);
        fd = CreateTemporary(target.path, temp);
        if (fd < 0)
            error = errno;
    }
    if (fd < 0) {
        if (target.exists && (error == EACCES || error == EPERM || error == EROFS))
            return RewriteInPlace(target, bytes, fault, error);
        return Failure(Result::CannotCreateTemporary, error);
    }

    // The file stays open, and so locked, until it has taken the target's
    // place: a closed temporary would look stale to another writer. Its
    // bytes were synced, so the close has nothing left to report.
    AtomicWriteStatus s = FillTemporary(fd, bytes, target, fault);
    if (s.Ok())
        s = RunStep(fault, Step::Rename, Result::RenameFailed,
                    [&] { return ::rename(temp.c_str(), target.path.c_str()); });
    if (!s.Ok())
        ::unlink(temp.c_str());
    ::close(fd);
    if (!s.Ok())
        return s;
    return SyncFolder(FolderOf(target.path), fault);
}

ReadFileResult ReadRegularFile(const fs::path& path, std::uint64_t maxBytes, std::string& out) {
    out.clear();
    // Looked at before opening, so that opening never waits on a FIFO or
    // wakes a device; looked at again once open, in case the file was
    // replaced in between.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return ReadFileResult::CannotOpen;
    if (!S_ISREG(st.st_mode))
        return ReadFileResult::NotRegularFile;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return ReadFileResult::CannotOpen;
    const ReadFileResult result = ReadOpenFile(fd, maxBytes, out);
    ::close(fd);
    if (result != ReadFileResult::Read)
        std::string().swap(out);
    return result;
}
