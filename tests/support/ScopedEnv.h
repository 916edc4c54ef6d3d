// Sets an environment variable (or unsets it, for nullptr) for one scope and puts the old
// value back afterwards.
#pragma once

#include <cstdlib>
#include <string>

namespace testsupport {

class CScopedEnv {
public:
    CScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old, m_bHad = true;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~CScopedEnv() { m_bHad ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    const char* m_name;
    std::string m_old;
    bool m_bHad = false;
};

} // namespace testsupport
