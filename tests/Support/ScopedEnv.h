#pragma once

#include <cstdlib>
#include <string>

// Sets (or, with null, unsets) an environment variable for the lifetime of
// the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        const char* old = std::getenv(name);
        m_hadOld = old != nullptr;
        m_old = old ? old : "";
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_hadOld)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::string m_old;
    bool m_hadOld = false;
};
