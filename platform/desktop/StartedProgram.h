#pragma once

#include <QObject>
#include <QString>

namespace platform {

// How a watched program ended.
struct ProgramEnd {
    enum class Kind {
        Exited,     // it ran and ended with code
        NotStarted, // Wine could not start it: reason holds Wine's own words
        Killed,     // a signal ended it: code is the signal's number
    };
    Kind kind = Kind::Exited;
    int code = 0;
    QString reason;
};

// A program this process started and watches until it ends. It runs on its own: it is never
// killed here, it goes on when this object or this process goes, and its end is then simply
// not told.
class StartedProgram : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool running() const { return !m_ended; }

Q_SIGNALS:
    // Raised once, on the thread this object lives in.
    void ended(const platform::ProgramEnd& end);

protected:
    void announceEnd(const ProgramEnd& end);

private:
    bool m_ended = false;
};

} // namespace platform
