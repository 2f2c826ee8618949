#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace PLAY_MODULE_TEST {

// Bytes this thread has read through system calls so far.
inline std::uint64_t ThreadReadBytes()
{
    std::ifstream io("/proc/thread-self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return 0;
}

}  // namespace PLAY_MODULE_TEST
