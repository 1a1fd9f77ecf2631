#include "platform/user_paths.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An environment variable that holds an absolute path; the base-directory
// rules say a relative one is invalid and must be ignored.
const char* AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? value : nullptr;
}

// The home folder of the account, for a session without HOME.
std::filesystem::path AccountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir || found->pw_dir[0] != '/')
        return {};
    return found->pw_dir;
}

} // namespace

std::filesystem::path UserDataHome() {
    if (const char* data = AbsoluteEnv("XDG_DATA_HOME"))
        return data;
    std::filesystem::path home;
    if (const char* env = AbsoluteEnv("HOME"))
        home = env;
    else
        home = AccountHome();
    if (home.empty())
        return {};
    return home / ".local" / "share";
}

bool UserMayWriteFile(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::access(path.c_str(), W_OK) == 0;
}
