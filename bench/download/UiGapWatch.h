#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// The longest the UI thread went without handling a 10 ms timer: from start() to stop(), the
// largest time between two ticks (or between start or stop and the tick next to it).
class UiGapWatch {
public:
    UiGapWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }

    void start()
    {
        m_clock.start();
        m_last = 0;
        m_largest = 0;
        m_largestEnd = 0;
        m_timer.start();
    }

    void stop()
    {
        if (!m_timer.isActive())
            return;
        tick();
        m_timer.stop();
    }

    double largestMs() const { return static_cast<double>(m_largest) / 1e6; }
    // How long before stop() the largest gap ended: 0 when it ran into the stop itself.
    double largestEndedBeforeStopMs() const { return static_cast<double>(m_last - m_largestEnd) / 1e6; }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        if (now - m_last > m_largest) {
            m_largest = now - m_last;
            m_largestEnd = now;
        }
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_largest = 0;
    qint64 m_largestEnd = 0;
};
