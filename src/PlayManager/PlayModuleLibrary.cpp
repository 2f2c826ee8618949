#include "PlayManager/PlayModuleLibrary.h"

int CPlayModuleLibrary::GroupPlay_AddToPlayGroup(IPlayLibrary* member)
{
    PLAY_MODULE::CPlayModule* module = member ? member->NativeModule() : nullptr;
    return module ? m_module.GroupPlay_AddToPlayGroup(module) : 0;
}

int CPlayModuleLibrary::GroupPlay_DelFromPlayGroup(IPlayLibrary* member)
{
    PLAY_MODULE::CPlayModule* module = member ? member->NativeModule() : nullptr;
    return module ? m_module.GroupPlay_DelFromPlayGroup(module) : 0;
}

PlayLibraryFactory PlayModuleLibraryFactory()
{
    return [](PLAY_MODULE::IPlayModuleListener* listener) -> std::unique_ptr<IPlayLibrary> {
        return std::make_unique<CPlayModuleLibrary>(listener);
    };
}
