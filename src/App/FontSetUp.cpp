#include "FontSetUp.h"

#include <dlfcn.h>

CFontSetUp::CFontSetUp()
{
    // The font library comes with Qt's; its initialisation may run on any thread.
    using InitFunction = int (*)();
    auto init = reinterpret_cast<InitFunction>(::dlsym(RTLD_DEFAULT, "FcInit"));
    if (init)
        m_thread = std::thread(init);
}

CFontSetUp::~CFontSetUp()
{
    if (m_thread.joinable())
        m_thread.join();
}
