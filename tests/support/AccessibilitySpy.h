#pragma once

#include <QAccessible>
#include <QList>
#include <QObject>
// Qt's own accessibility tests switch the platform's accessibility on the same way: the offscreen
// platform has no assistive technology that would.
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// Takes the place of assistive technology while it lives: accessibility counts as active, and
// every event the program raises for it is recorded instead of being sent anywhere.
class AccessibilitySpy {
public:
    struct Event {
        QAccessible::Event type;
        QObject* object;
        QAccessible::State changed; // for state changes
    };

    AccessibilitySpy()
        : m_platform(QGuiApplicationPrivate::platformIntegration()->accessibility())
    {
        s_current = this;
        m_previous = QAccessible::installUpdateHandler(&record);
        if (m_platform) {
            m_wasActive = m_platform->isActive();
            m_platform->setActive(true);
        }
    }
    ~AccessibilitySpy()
    {
        if (m_platform)
            m_platform->setActive(m_wasActive);
        QAccessible::installUpdateHandler(m_previous);
        s_current = nullptr;
    }

    // False where the platform offers no accessibility at all: then nothing can be recorded.
    bool isActive() const { return QAccessible::isActive(); }
    AccessibilitySpy(const AccessibilitySpy&) = delete;
    AccessibilitySpy& operator=(const AccessibilitySpy&) = delete;

    const QList<Event>& events() const { return m_events; }
    void clear() { m_events.clear(); }

    int count(QObject* object, QAccessible::Event type) const
    {
        int n = 0;
        for (const Event& event : m_events)
            n += event.object == object && event.type == type;
        return n;
    }
    // The union of the states whose change was reported for the object.
    QAccessible::State changedStates(QObject* object) const
    {
        QAccessible::State all;
        for (const Event& event : m_events) {
            if (event.object != object || event.type != QAccessible::StateChanged)
                continue;
            all.pressed |= event.changed.pressed;
            all.checked |= event.changed.checked;
            all.checkStateMixed |= event.changed.checkStateMixed;
            all.hotTracked |= event.changed.hotTracked;
            all.disabled |= event.changed.disabled;
            all.focused |= event.changed.focused;
        }
        return all;
    }

private:
    static void record(QAccessibleEvent* event)
    {
        if (!s_current)
            return;
        QAccessible::State changed;
        if (event->type() == QAccessible::StateChanged)
            changed = static_cast<QAccessibleStateChangeEvent*>(event)->changedStates();
        s_current->m_events.append({event->type(), event->object(), changed});
    }

    static inline AccessibilitySpy* s_current = nullptr;
    QPlatformAccessibility* m_platform;
    QAccessible::UpdateHandler m_previous = nullptr;
    bool m_wasActive = false;
    QList<Event> m_events;
};
