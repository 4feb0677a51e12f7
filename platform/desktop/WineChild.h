#pragma once

#include "platform/desktop/StartedProgram.h"

#include <QProcessEnvironment>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <sys/types.h>

namespace platform {

// Wine running a Windows program, as a child of this process in a session of its own, with
// its input empty and what it prints kept in memory (Wine's loader says there why a program
// could not start). Polled a few times a second until it ends; never killed here.
class WineChild : public StartedProgram {
public:
    struct Spawned {
        std::shared_ptr<WineChild> child;
        QString problem; // why it could not be started; empty when it runs
    };
    static Spawned spawn(const QString& wine, const QStringList& arguments, const QString& workingDirectory,
                         const QProcessEnvironment& environment);

    ~WineChild() override;
    WineChild(const WineChild&) = delete;
    WineChild& operator=(const WineChild&) = delete;


    // How a Wine that ended with status (as waitpid gives it) ended, told by what it printed.
    static ProgramEnd endOf(int status, const QByteArray& printed);

private:
    WineChild(pid_t pid, int output);
    void poll();
    void finish(int status);
    QByteArray printed() const;

    pid_t m_pid;
    int m_output;
    QTimer m_poll;
};

} // namespace platform
