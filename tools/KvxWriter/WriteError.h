#pragma once

#include <cstring>
#include <string>

namespace KVX_WRITER {

// ": <reason>" for an errno value, nothing for 0.
inline std::string WriteErrorText(int error)
{
    return error != 0 ? std::string(": ") + std::strerror(error) : std::string();
}

}  // namespace KVX_WRITER
