// Sets an environment variable for the life of the object, then puts the old
// value back (or removes it).
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class EnvGuard {
public:
    EnvGuard(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvGuard() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};
