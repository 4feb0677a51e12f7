#pragma once

#include <utility>

// Stores Value in Field and tells whether that changed anything, so that a setter repaints (or
// re-lays out) only on a real change.
template <typename T, typename V>
bool AssignIfChanged(T& Field, V&& Value)
{
    if (Field == Value)
        return false;
    Field = std::forward<V>(Value);
    return true;
}

// Calls an optional event handler; an unassigned one is skipped.
template <typename Handler, typename... Args>
void Raise(const Handler& Event, Args&&... Arguments)
{
    if (Event)
        Event(std::forward<Args>(Arguments)...);
}
