#pragma once

#include <cstdint>
#include <string>

namespace SF_SOFT_BASE {

// Static system helpers.
class CSFSystem {
public:
    static void Sleep(std::uint32_t ms);
    // Opens a file or folder with the desktop's default application.
    // 1 when the opener was started, 0 otherwise.
    static int ShellOpen(const char* path);
    // Folder of the running program, with its trailing '/'; empty when unknown.
    static std::string GetModuleDir();
};

}  // namespace SF_SOFT_BASE
