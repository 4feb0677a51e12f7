#pragma once

#include <thread>

namespace platform {

// Loads the system's font configuration on a thread of its own. fontconfig parses its
// configuration files and caches the first time a font is asked for, which takes a few
// milliseconds; made first thing in main, the loader lets that happen while the application
// object connects to the display. The destructor waits for the thread.
class FontConfigurationLoader {
public:
    FontConfigurationLoader();
    ~FontConfigurationLoader();
    FontConfigurationLoader(const FontConfigurationLoader&) = delete;
    FontConfigurationLoader& operator=(const FontConfigurationLoader&) = delete;

    // Returns once the configuration is loaded (at once when it already is).
    void wait();

private:
    std::thread m_thread;
};

} // namespace platform
