#pragma once

#include <QtCore/qtestsupport_core.h>

// How long a test waits for something that should happen at once; a slow machine still makes it.
inline constexpr int DefaultPatienceMs = 5000;

// Processes events until condition holds or timeoutMs has passed; true when it holds.
template <class Condition>
[[nodiscard]] bool waitFor(Condition condition, int timeoutMs = DefaultPatienceMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}
