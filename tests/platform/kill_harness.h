// Runs a save in a child process and kills it with SIGKILL at a chosen
// moment, then tells what the save left in the target's folder.
//
// Deterministic moments: the child stops itself (SIGSTOP) where the test
// wants it killed, either from a WriteFileAtomically fault hook (StopBefore)
// or when a file it writes reaches a size limit part way through a write
// (StopWhenAFileReaches); the parent sees it stopped and kills it. Other
// moments: the parent kills the child after a delay (KillAfter).
//
// Fork only: the test programs run no threads of their own.
#pragma once

#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kill_harness {

// A fault hook that stops the process just before `step` runs.
inline AtomicWriteFault StopBefore(AtomicWriteStep step) {
    return [step](AtomicWriteStep now) {
        if (now == step)
            ::raise(SIGSTOP);
        return 0;
    };
}

// For the child: a write that would make any file larger than `bytes` stops
// the process instead, after the bytes up to the limit were written (the
// kernel writes up to the limit, then refuses with SIGXFSZ).
inline void StopWhenAFileReaches(rlim_t bytes) {
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, [](int) { ::raise(SIGSTOP); });
}

// Runs `save` in a child that an alarm ends should it hang.
inline pid_t StartChild(const std::function<void()>& save) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(10);
        save();
        ::_exit(0);
    }
    return pid;
}

// Kills a child and reaps it.
inline void KillAndReap(pid_t pid) {
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// Runs `save` in a child and kills it once it stops itself. False when the
// child ended without stopping (the chosen moment never came).
inline bool KillWhenStopped(const std::function<void()>& save) {
    const pid_t pid = StartChild(save);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, WUNTRACED) != pid)
        return false;
    const bool stopped = WIFSTOPPED(status);
    if (stopped)
        KillAndReap(pid);
    return stopped;
}

// Runs `save` in a child and kills it after `delay`, wherever it is then.
inline void KillAfter(const std::function<void()>& save, std::chrono::microseconds delay) {
    const pid_t pid = StartChild(save);
    if (pid <= 0)
        return;
    std::this_thread::sleep_for(delay);
    KillAndReap(pid);
}

// How long `save` takes in a child from fork to exit: the span over which
// KillAfter spreads its kills. Not asserted on.
inline std::chrono::microseconds DurationOf(const std::function<void()>& save) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = StartChild(save);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

// The name WriteFileAtomically gives its temporary file for `target`:
// ".<name>.<8 hex digits>.tmp" in the same folder.
inline bool IsTemporaryOf(const std::string& name, const std::filesystem::path& target) {
    const std::string prefix = "." + target.filename().string() + ".";
    if (name.size() != prefix.size() + 12 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    return name.find_first_not_of("0123456789abcdef", prefix.size()) == name.size() - 4;
}

// What a killed save left: the target's bytes, and the temporary files
// beside it. Any other file in the folder fails the test.
struct Remains {
    std::string content;
    std::vector<std::filesystem::path> temporaries;
};

inline Remains RemainsOf(const std::filesystem::path& target) {
    Remains r;
    std::string bytes;
    EXPECT_EQ(ReadRegularFile(target, 1u << 30, bytes), ReadFileResult::Read);
    r.content = std::move(bytes);
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (IsTemporaryOf(name, target))
            r.temporaries.push_back(entry.path());
        else
            EXPECT_EQ(entry.path(), target) << "unexpected file " << name;
    }
    return r;
}

// A point in a write where the child is killed, and what that must leave.
struct KillPoint {
    const char* what;
    AtomicWriteStep stopBefore;
    bool newContent;      // the rename has happened
    bool leavesTemporary; // killed between creating the temporary and renaming it
};

// Every step of a write to an existing file, in order.
inline const std::vector<KillPoint>& KillPoints() {
    using S = AtomicWriteStep;
    static const std::vector<KillPoint> points{
        {"before the temporary is created", S::CreateTemporary, false, false},
        {"after creating the temporary, before writing", S::Write, false, true},
        {"after writing, before the mode", S::KeepMode, false, true},
        {"after writing, before the sync", S::Sync, false, true},
        {"after the sync, before the rename", S::Rename, false, true},
        {"after the rename, before the folder sync", S::SyncFolder, true, false},
    };
    return points;
}

} // namespace kill_harness
