#pragma once

#include <atomic>
#include <thread>

namespace platform {

// Loads the system's font configuration on a thread of its own, at idle priority. fontconfig
// parses its configuration files and caches the first time a font is asked for, which takes a
// few milliseconds; made first thing in main, the loader lets that happen while the application
// object connects to the display. The destructor waits for the thread.
class FontConfigurationLoader {
public:
    FontConfigurationLoader();
    ~FontConfigurationLoader();
    FontConfigurationLoader(const FontConfigurationLoader&) = delete;
    FontConfigurationLoader& operator=(const FontConfigurationLoader&) = delete;

    // Returns once the configuration is loaded: at once when the thread is done, else after
    // loading it on the calling thread.
    void wait();

private:
    std::atomic<bool> m_loaded{false};
    std::thread m_thread;
};

} // namespace platform
