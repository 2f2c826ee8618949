// Any settings text loads into values or defaults, never a crash.
#include "Common/ConfigManager.h"
#include "Common/ConfigXMLPersistImp.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    auto store = std::make_shared<CConfigXMLPersistImp>("");
    store->LoadXml(text.c_str());
    CConfigManager config;
    config.SetPersistent(store);
    config.Init();
    store->ReadDouble(L"UIConfig", L"VideoLayout", 0.0, 0);
    return 0;
}
