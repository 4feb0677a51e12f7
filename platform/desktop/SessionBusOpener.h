#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform {

// Opens the session bus connection on a thread of its own while the window is built. The
// toolkit's screen reader bridge opens that connection when the window's first control gets
// its text, and the window waits for it there: connecting, or without a session bus the bus
// library's attempt to start one, takes a millisecond or more. Made before the application
// object, the thread is waiting when open() is called and needs no time to start; until then
// it touches nothing of the toolkit.
class SessionBusOpener {
public:
    SessionBusOpener();
    ~SessionBusOpener();
    SessionBusOpener(const SessionBusOpener&) = delete;
    SessionBusOpener& operator=(const SessionBusOpener&) = delete;

    // Starts opening the connection. Call once the application object exists.
    void open();
    // Returns once the thread is done. The thread uses the toolkit once open() is called, so
    // this is called before the application object goes; the destructor calls it too.
    void wait();

private:
    enum class Step { Waiting, Open, Stop };

    std::mutex m_mutex;
    std::condition_variable m_changed;
    Step m_step = Step::Waiting;
    std::thread m_thread;
};

} // namespace platform
