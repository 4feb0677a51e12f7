#include "platform/desktop/WineChild.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr int PollIntervalMs = 200;
// Wine's reasons are a few lines; a chatty program's output past this is not read.
constexpr off_t PrintedTail = 16 * 1024;
// The most of Wine's words a message repeats.
constexpr qsizetype ReasonLimit = 600;

// The lines with which Wine's loader says that it could not start a program, without
// anything that could move a terminal's cursor, reorder the text or hide the rest.
QString startFailureLines(const QByteArray& printed)
{
    static const QRegularExpression loaderLine(QStringLiteral("^(wine: |.*ShellExecuteEx failed|.*Bad EXE format)"));
    QStringList lines;
    for (const QByteArray& raw : printed.split('\n')) {
        QString line = QString::fromUtf8(raw).trimmed();
        line.removeIf([](QChar c) {
            return c.isNonCharacter() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        });
        if (loaderLine.match(line).hasMatch())
            lines << line;
    }
    return lines.join(u' ').left(ReasonLimit);
}

// Owns the lists a spawn hands over as char* arrays.
struct CStrings {
    std::vector<QByteArray> texts;
    std::vector<char*> pointers;
    explicit CStrings(const QStringList& list)
    {
        for (const QString& text : list)
            texts.push_back(QFile::encodeName(text));
        for (QByteArray& text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
    }
};

} // namespace

WineChild::Spawned WineChild::spawn(const QString& wine, const QStringList& arguments,
                                    const QString& workingDirectory, const QProcessEnvironment& environment)
{
    const int output = ::memfd_create("wine-output", MFD_CLOEXEC);
    if (output < 0)
        return {nullptr, QStringLiteral("Wine could not be started: ") + QString::fromLocal8Bit(std::strerror(errno))};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO);
    const QByteArray folder = QFile::encodeName(workingDirectory);
    posix_spawn_file_actions_addchdir_np(&actions, folder.constData());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A session of its own: a signal meant for this program (a Ctrl+C in its terminal) does
    // not reach the setup program, which runs on its own; it starts with every signal as a
    // new program would have it.
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    CStrings argv(QStringList{wine} + arguments);
    CStrings envp(environment.toStringList());
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, argv.pointers[0], &actions, &attributes, argv.pointers.data(),
                                     envp.pointers.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        ::close(output);
        return {nullptr, QStringLiteral("Wine could not be started: ") + QString::fromLocal8Bit(std::strerror(failed))};
    }
    return {std::shared_ptr<WineChild>(new WineChild(pid, output)), {}};
}

WineChild::WineChild(pid_t pid, int output)
    : m_pid(pid)
    , m_output(output)
{
    m_poll.setInterval(PollIntervalMs);
    QObject::connect(&m_poll, &QTimer::timeout, this, &WineChild::poll);
    m_poll.start();
}

WineChild::~WineChild()
{
    // Still running, it goes on; this process simply does not hear of its end.
    ::close(m_output);
}

void WineChild::poll()
{
    int status = 0;
    const pid_t got = ::waitpid(m_pid, &status, WNOHANG);
    if (got == m_pid)
        finish(status);
    else if (got < 0 && errno != EINTR)
        finish(0); // no such child any more: nothing more can be known of it
}

void WineChild::finish(int status)
{
    m_poll.stop();
    announceEnd(endOf(status, printed()));
}

QByteArray WineChild::printed() const
{
    const off_t size = ::lseek(m_output, 0, SEEK_END);
    if (size <= 0)
        return {};
    const off_t from = size > PrintedTail ? size - PrintedTail : 0;
    QByteArray data(static_cast<qsizetype>(size - from), '\0');
    const ssize_t got = ::pread(m_output, data.data(), static_cast<size_t>(data.size()), from);
    data.resize(got > 0 ? got : 0);
    return data;
}

ProgramEnd WineChild::endOf(int status, const QByteArray& printed)
{
    if (WIFSIGNALED(status))
        return {ProgramEnd::Kind::Killed, WTERMSIG(status), {}};
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    if (code != 0) {
        const QString reason = startFailureLines(printed);
        if (!reason.isEmpty())
            return {ProgramEnd::Kind::NotStarted, code, reason};
    }
    return {ProgramEnd::Kind::Exited, code, {}};
}

} // namespace platform
