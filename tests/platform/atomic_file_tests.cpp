#include "platform/atomic_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::size_t FilesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

struct stat StatOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st;
}

AtomicWriteFault FailAt(AtomicWriteStep failing, int error) {
    return [=](AtomicWriteStep step) { return step == failing ? error : 0; };
}

// The exit code of fn run in a child process that an alarm ends after 10 s
// (-1 when it was killed), so code that blocks fails the test instead of
// hanging it.
int ExitCodeOfGuardedChild(const std::function<int()>& fn) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(10);
        ::_exit(fn());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AtomicWrite, AFailingStepLeavesTheOldFileAndNoTemporary) {
    struct Case {
        AtomicWriteStep step;
        int error;
        AtomicWriteResult result;
        bool newBytes; // only the folder sync fails after the rename
    };
    using S = AtomicWriteStep;
    using R = AtomicWriteResult;
    for (const Case& c :
         {Case{S::CreateTemporary, EIO, R::CannotCreateTemporary, false},
          Case{S::Write, ENOSPC, R::WriteFailed, false},
          Case{S::KeepMode, EPERM, R::KeepModeFailed, false},
          Case{S::Sync, EIO, R::SyncFailed, false}, Case{S::Rename, EXDEV, R::RenameFailed, false},
          Case{S::SyncFolder, EIO, R::FolderSyncFailed, true}}) {
        TempDir dir;
        const fs::path file = dir.Write("book.vol", "old bytes");
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
        const AtomicWriteStatus s = WriteFileAtomically(file, "new bytes", FailAt(c.step, c.error));
        const int step = static_cast<int>(c.step);
        EXPECT_EQ(s.result, c.result) << step;
        EXPECT_EQ(s.error, c.error) << step;
        EXPECT_EQ(ReadFileBytes(file), c.newBytes ? "new bytes" : "old bytes") << step;
        EXPECT_EQ(StatOf(file).st_mode & 07777, 0640u) << step;
        EXPECT_EQ(FilesIn(dir.Path()), 1u) << step;
    }
    // A new file that fails leaves nothing at all.
    TempDir dir;
    EXPECT_EQ(WriteFileAtomically(dir / "new.bmp", "x", FailAt(AtomicWriteStep::Sync, EIO)).result,
              AtomicWriteResult::SyncFailed);
    EXPECT_EQ(FilesIn(dir.Path()), 0u);
}

TEST(AtomicWrite, KeepsModeAndOwnerAndGivesNewFilesTheUmaskMode) {
    TempDir dir;
    const fs::path old = dir.Write("old.bmp", "old");
    ASSERT_EQ(::chmod(old.c_str(), 0604), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(old.c_str(), 65534, 65534), 0);
    }
    const ino_t inode = StatOf(old).st_ino;
    ASSERT_TRUE(WriteFileAtomically(old, "a longer new content").Ok());
    EXPECT_EQ(ReadFileBytes(old), "a longer new content");
    const struct stat after = StatOf(old);
    EXPECT_NE(after.st_ino, inode); // replaced, not rewritten
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(after.st_uid, 65534u);
        EXPECT_EQ(after.st_gid, 65534u);
    }

    const mode_t saved = ::umask(027);
    const AtomicWriteStatus s = WriteFileAtomically(dir / "new.bmp", "new");
    ::umask(saved);
    ASSERT_TRUE(s.Ok());
    EXPECT_EQ(ReadFileBytes(dir / "new.bmp"), "new");
    EXPECT_EQ(StatOf(dir / "new.bmp").st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(dir.Path()), 2u);
}

TEST(AtomicWrite, WritesThroughSymbolicLinksAndRefusesDanglingOnes) {
    TempDir dir;
    const fs::path real = dir.Write("pages/real.bmp", "old");
    fs::create_symlink("pages/real.bmp", dir / "first");
    fs::create_symlink("first", dir / "second");
    ASSERT_TRUE(WriteFileAtomically(dir / "second", "new").Ok());
    EXPECT_EQ(ReadFileBytes(real), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "first"));
    EXPECT_TRUE(fs::is_symlink(dir / "second"));
    EXPECT_EQ(FilesIn(dir / "pages"), 1u);

    fs::create_symlink("pages/gone.bmp", dir / "dangling");
    EXPECT_EQ(WriteFileAtomically(dir / "dangling", "new").result, AtomicWriteResult::DanglingLink);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_FALSE(fs::exists(dir / "pages/gone.bmp"));

    fs::create_symlink("loop", dir / "loop");
    EXPECT_EQ(WriteFileAtomically(dir / "loop", "new").result, AtomicWriteResult::CannotResolve);
}

TEST(AtomicWrite, RefusesWhatIsNotAWritableRegularFile) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    dir.MakeDir("folder");
    fs::create_symlink("/dev/null", dir / "null link");
    for (const fs::path& p :
         {dir / "fifo", dir / "folder", dir / "null link", fs::path("/dev/null")}) {
        const mode_t type = StatOf(fs::canonical(p)).st_mode & S_IFMT;
        EXPECT_EQ(WriteFileAtomically(p, "new").result, AtomicWriteResult::NotRegularFile) << p;
        EXPECT_EQ(StatOf(fs::canonical(p)).st_mode & S_IFMT, type) << p;
    }
    EXPECT_TRUE(S_ISCHR(StatOf("/dev/null").st_mode));
    EXPECT_TRUE(fs::is_symlink(dir / "null link"));

    // No write bits: refused even for root, who could write it.
    const fs::path locked = dir.Write("locked.bmp", "old");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    EXPECT_EQ(WriteFileAtomically(locked, "new").result, AtomicWriteResult::NotWritable);
    EXPECT_EQ(ReadFileBytes(locked), "old");
    EXPECT_EQ(FilesIn(dir.Path()), 4u);
}

TEST(AtomicWrite, AFolderWithoutRoomForANewFileGetsTheFileRewrittenInPlace) {
    TempDir dir;
    const fs::path file = dir.Write("book.vol", "twelve bytes");
    const ino_t inode = StatOf(file).st_ino;
    const auto noTemporary = FailAt(AtomicWriteStep::CreateTemporary, EACCES);
    for (const char* bytes : {"a content longer than the old one", "short"}) {
        ASSERT_TRUE(WriteFileAtomically(file, bytes, noTemporary).Ok());
        EXPECT_EQ(ReadFileBytes(file), bytes);
    }
    EXPECT_EQ(StatOf(file).st_ino, inode);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);

    // A failing in-place step is reported; one failing before any byte was
    // written leaves the old content.
    const auto fails = [&](AtomicWriteStep step) {
        return step == AtomicWriteStep::CreateTemporary ? EROFS
               : step == AtomicWriteStep::Write         ? EIO
                                                        : 0;
    };
    EXPECT_EQ(WriteFileAtomically(file, "new", fails).result, AtomicWriteResult::WriteFailed);
    EXPECT_EQ(ReadFileBytes(file), "short");
    // A file that does not exist yet is never created in place.
    EXPECT_EQ(WriteFileAtomically(dir / "new.vol", "new", noTemporary).result,
              AtomicWriteResult::CannotCreateTemporary);
    EXPECT_FALSE(fs::exists(dir / "new.vol"));
}

TEST(AtomicWrite, AReadOnlyFolderForItsUser) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const fs::path file = dir.Write("ro/book.vol", "old");
    ASSERT_EQ(::chmod((dir / "ro").c_str(), 0555), 0);
    const AtomicWriteStatus s = WriteFileAtomically(file, "new bytes");
    ::chmod((dir / "ro").c_str(), 0755);
    EXPECT_TRUE(s.Ok());
    EXPECT_EQ(ReadFileBytes(file), "new bytes");
    EXPECT_EQ(FilesIn(dir / "ro"), 1u);
}

TEST(ReadRegularFile, ReadsFilesAndRefusesEverythingElseAtOnce) {
    TempDir dir;
    std::string out;
    const fs::path file = dir.Write("page.bmp", std::string("BM\0data", 7));
    EXPECT_EQ(ReadRegularFile(file, 7, out), ReadFileResult::Read);
    EXPECT_EQ(out, std::string("BM\0data", 7));
    EXPECT_EQ(ReadRegularFile(file, 6, out), ReadFileResult::TooLarge);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(ReadRegularFile(dir / "none", 100, out), ReadFileResult::CannotOpen);
    EXPECT_EQ(ReadRegularFile(dir.Path(), 100, out), ReadFileResult::NotRegularFile);
    EXPECT_EQ(ReadRegularFile("/dev/zero", 100, out), ReadFileResult::NotRegularFile);

    // A FIFO without a writer would block an ordinary open for ever.
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    EXPECT_EQ(ExitCodeOfGuardedChild([&] {
                  std::string bytes;
                  return static_cast<int>(ReadRegularFile(dir / "fifo", 100, bytes));
              }),
              static_cast<int>(ReadFileResult::NotRegularFile));
}

} // namespace
