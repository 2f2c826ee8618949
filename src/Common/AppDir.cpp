#include "Common/AppDir.h"

#include "Base/SFSystem.h"
#include "Base/TextCodec.h"

std::string SFGetAppDirUtf8()
{
    static const std::string dir = [] {
        std::string module = SF_SOFT_BASE::CSFSystem::GetModuleDir();
        if (module.size() > 1 && module.back() == '/')
            module.pop_back();
        return module;
    }();
    return dir;
}

std::wstring SFGetAppDir()
{
    static const std::wstring dir = SF_SOFT_BASE::Utf8ToWide(SFGetAppDirUtf8());
    return dir;
}
