#include "Common/CustomLayoutStore.h"

#include "Common/AppDir.h"
#include "Base/AtomicFileWriter.h"
#include "Base/FileSystemHelpers.h"
#include "Common/ProtectedFile.h"

#include <cstdio>
#include <sstream>

namespace {

std::string Trim(const std::string& text)
{
    const char* space = " \t\r\n\v\f";
    auto first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    auto last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

std::string PlainTempPath(const std::string& path)
{
    return path + ".plain";
}

}  // namespace

std::string GetCustomLayoutFilePath()
{
    return SFGetAppDirUtf8() + "/CustomLayout.dat";
}

bool SaveCustomLayouts(const std::list<std::string>& layouts)
{
    return SaveCustomLayoutsTo(GetCustomLayoutFilePath(), layouts);
}

bool SaveCustomLayoutsTo(const std::string& path, const std::list<std::string>& layouts)
{
    if (layouts.empty())
        return false;
    std::string plain;
    for (const auto& layout : layouts)
        plain += layout + "\r\n";
    const std::string temp = PlainTempPath(path);
    bool ok = SF_SOFT_BASE::CAtomicFileWriter::WriteWhole(temp, plain) && ProtectFileTo(temp, path);
    std::remove(temp.c_str());
    return ok;
}

bool LoadCustomLayouts(std::list<std::string>& layouts)
{
    return LoadCustomLayoutsFrom(GetCustomLayoutFilePath(), layouts);
}

bool LoadCustomLayoutsFrom(const std::string& path, std::list<std::string>& layouts)
{
    layouts.clear();
    const std::string temp = PlainTempPath(path);
    if (!UnprotectFileTo(path, temp))
        return false;
    std::string plain;
    SF_SOFT_BASE::ReadRegularFile(temp, plain);
    std::remove(temp.c_str());
    std::istringstream lines(plain);
    std::string line;
    while (std::getline(lines, line)) {
        std::string layout = Trim(line);
        if (!layout.empty())
            layouts.push_back(layout);
    }
    return !layouts.empty();
}
