#include "platform/FontConfigurationLoader.h"

#include <fontconfig/fontconfig.h>

namespace platform {

// FcInit is safe to call from any thread, and a later call, Qt's own included, finds the
// configuration this one loaded.
FontConfigurationLoader::FontConfigurationLoader()
    : m_thread([] { FcInit(); })
{
}

FontConfigurationLoader::~FontConfigurationLoader()
{
    wait();
}

void FontConfigurationLoader::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace platform
