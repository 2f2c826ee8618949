#pragma once

#include <cstdint>
#include <string>

// Configuration files that libraries of the program read at start or on
// first use, checked before the libraries take them: a FIFO would block
// them for good, a link to /dev/zero would have them read without end.
namespace LibraryConfigFiles {

// Larger than any real configuration file of these libraries.
constexpr std::uintmax_t kMaxConfigBytes = 1 << 20;
constexpr const char* kSystemPulseClientConfig = "/etc/pulse/client.conf";

// Whether the qt.conf and qt6.conf beside the program, which Qt reads in
// place of its own paths, are absent or safe to read.
bool AreQtConfFilesSafe(const std::string& programFolder);

// The file to name in PULSE_CLIENTCONFIG in place of the sound library's
// client configuration of the user (as PULSE_CLIENTCONFIG, PULSE_CONFIG_PATH,
// HOME and XDG_CONFIG_HOME name it) when that is not safe to read: the
// system's, or /dev/null when that is not safe either. Empty when the
// user's files are safe.
std::string PulseClientConfigReplacement(const std::string& systemFile = kSystemPulseClientConfig);
// Sets PULSE_CLIENTCONFIG to the replacement, if any, and says so on the
// error output. To be called before other threads start (it changes the
// environment); true when it did.
bool GuardPulseClientConfig();

}  // namespace LibraryConfigFiles
