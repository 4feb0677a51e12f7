#include "platform/desktop/FontConfigurationLoader.h"

#include <fontconfig/fontconfig.h>

#include <pthread.h>
#include <sched.h>

namespace platform {

FontConfigurationLoader::FontConfigurationLoader()
    : m_thread([this] {
        // Runs only on a processor nothing else wants: the program's other threads and the
        // display server it talks to take the processor from it the moment they wake. (At a
        // mere low priority the scheduler lets it finish its time slice first, and the
        // display server's answers to the application object wait up to a few milliseconds.)
        // On an idle core the loader runs as fast as any.
        const sched_param idle{};
        ::pthread_setschedparam(::pthread_self(), SCHED_IDLE, &idle);
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
