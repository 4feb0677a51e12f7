#include "platform/desktop/SessionBusOpener.h"

#include <QDBusConnection>

namespace platform {

SessionBusOpener::SessionBusOpener()
    : m_thread([this] {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_step != Step::Waiting; });
        const bool open = m_step == Step::Open;
        lock.unlock();
        // The toolkit keeps the connection for the whole program: the bridge finds it open.
        if (open)
            QDBusConnection::sessionBus();
    })
{
}

SessionBusOpener::~SessionBusOpener()
{
    wait();
}

void SessionBusOpener::wait()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_step == Step::Waiting)
            m_step = Step::Stop;
    }
    m_changed.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

void SessionBusOpener::open()
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_step == Step::Waiting)
            m_step = Step::Open;
    }
    m_changed.notify_one();
}

} // namespace platform
