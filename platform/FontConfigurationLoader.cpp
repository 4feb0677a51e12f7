#include "platform/FontConfigurationLoader.h"

#include <fontconfig/fontconfig.h>

#include <sys/resource.h>
#include <unistd.h>

namespace platform {

namespace {

// Below the program's other threads and the display server it talks to, which have the CPU
// first; on an idle core the loader runs as fast as any.
constexpr int LoaderNice = 10;

} // namespace

FontConfigurationLoader::FontConfigurationLoader()
    : m_thread([this] {
        // A thread's own nice value (on Linux each thread has one).
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), LoaderNice);
        FcInit();
        m_loaded.store(true, std::memory_order_release);
    })
{
}

FontConfigurationLoader::~FontConfigurationLoader()
{
    if (m_thread.joinable())
        m_thread.join();
}

void FontConfigurationLoader::wait()
{
    // On a busy machine the low-priority thread may not be done yet: loading here, at the
    // caller's priority, is never slower than having had no thread. FcInit is safe on any
    // thread, and fontconfig keeps whichever configuration is loaded first.
    if (!m_loaded.load(std::memory_order_acquire))
        FcInit();
}

} // namespace platform
