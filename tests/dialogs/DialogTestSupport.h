#pragma once

#include <QCoreApplication>
#include <QEvent>

// Frees the widgets that asked to be deleted later (windows that closed themselves).
inline void FlushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
