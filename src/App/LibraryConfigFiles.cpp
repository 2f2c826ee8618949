#include "LibraryConfigFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "Base/FileSystemHelpers.h"

namespace LibraryConfigFiles {

namespace {

bool IsSafe(const std::string& path)
{
    return SF_SOFT_BASE::IsAbsentOrSmallRegularFile(path, kMaxConfigBytes);
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Every file the sound library may take as the user's client configuration.
std::vector<std::string> PulseUserClientConfigs()
{
    const std::string named = Environment("PULSE_CLIENTCONFIG");
    if (!named.empty())
        return {named};
    const std::string configPath = Environment("PULSE_CONFIG_PATH");
    if (!configPath.empty())
        return {configPath + "/client.conf"};
    std::vector<std::string> files;
    const std::string home = Environment("HOME");
    if (!home.empty())
        files.push_back(home + "/.pulse/client.conf");
    const std::string configHome = Environment("XDG_CONFIG_HOME");
    if (!configHome.empty())
        files.push_back(configHome + "/pulse/client.conf");
    else if (!home.empty())
        files.push_back(home + "/.config/pulse/client.conf");
    return files;
}

// A client configuration file and the "*.conf" files of "<file>.d", which
// the library reads after it.
bool IsSafeWithItsParts(const std::string& file)
{
    if (!IsSafe(file))
        return false;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(file + ".d", error))
        if (entry.path().extension() == ".conf" && !IsSafe(entry.path().string()))
            return false;
    return true;
}

}  // namespace

bool AreQtConfFilesSafe(const std::string& programFolder)
{
    return IsSafe(programFolder + "/qt6.conf") && IsSafe(programFolder + "/qt.conf");
}

std::string PulseClientConfigReplacement(const std::string& systemFile)
{
    for (const std::string& file : PulseUserClientConfigs())
        if (!IsSafeWithItsParts(file))
            return SF_SOFT_BASE::IsRegularFile(systemFile) && IsSafe(systemFile) ? systemFile : "/dev/null";
    return {};
}

bool GuardPulseClientConfig()
{
    const std::string replacement = PulseClientConfigReplacement();
    if (replacement.empty())
        return false;
    ::setenv("PULSE_CLIENTCONFIG", replacement.c_str(), 1);
    std::fprintf(stderr, "lumivex: the sound settings of the user cannot be read safely; %s is used instead\n",
                 replacement.c_str());
    return true;
}

}  // namespace LibraryConfigFiles
