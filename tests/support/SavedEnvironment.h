#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <initializer_list>
#include <vector>

// Environment variables as they were when this was made, put back (or removed again) when it
// goes: a test may change them freely in between.
class SavedEnvironment {
public:
    explicit SavedEnvironment(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            m_saved.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
    }
    ~SavedEnvironment()
    {
        for (const Saved& saved : m_saved) {
            if (saved.set)
                qputenv(saved.name, saved.value);
            else
                qunsetenv(saved.name);
        }
    }
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    std::vector<Saved> m_saved;
};
