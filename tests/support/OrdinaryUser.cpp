#include "tests/support/OrdinaryUser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Set in the child, so a child that is root after all fails instead of starting another.
const char* const ChildMarker = "KX_ORDINARY_USER_CHILD";

// A whole test, servers included, may take its time; a child that hangs is ended after this.
constexpr int ChildDeadlineMs = 10 * 60 * 1000;

void skip(const std::string& why)
{
    GTEST_SKIP() << why;
}

// Why uid cannot run path: a directory on the way it may not enter, or the file it may not
// read and run. Empty when it can. Only the "others" bits count, which is what nobody gets.
std::string unreachableBy(const QString& path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    struct stat info {};
    if (::stat(QFile::encodeName(current).constData(), &info) != 0 || (info.st_mode & 05) != 05)
        return current.toStdString() + " is not readable and executable by others";
    while (current != QStringLiteral("/")) {
        current = QFileInfo(current).path();
        if (::stat(QFile::encodeName(current).constData(), &info) != 0 || !(info.st_mode & S_IXOTH))
            return current.toStdString() + " may not be entered by others (chmod o+x it)";
    }
    return {};
}

} // namespace

bool continueAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return true;
    if (qEnvironmentVariableIsSet(ChildMarker)) {
        ADD_FAILURE() << "setpriv left this test running as root";
        return false;
    }

    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    const passwd* nobody = ::getpwnam("nobody");
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (setpriv.isEmpty()) {
        skip("runs only as an ordinary user: this is root and setpriv (util-linux) is missing");
        return false;
    }
    if (!nobody) {
        skip("runs only as an ordinary user: this is root and there is no user nobody");
        return false;
    }
    if (const std::string why = unreachableBy(executable); !why.empty()) {
        skip("runs only as an ordinary user: this is root and nobody cannot run this test: " + why);
        return false;
    }

    // Home, temporary and runtime directory of the child in one, owned by nobody alone.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/kxnobody-XXXXXX"));
    if (!home.isValid() || ::chown(QFile::encodeName(home.path()).constData(), nobody->pw_uid, nobody->pw_gid) != 0
        || ::chmod(QFile::encodeName(home.path()).constData(), 0700) != 0) {
        ADD_FAILURE() << "cannot prepare a directory for nobody";
        return false;
    }

    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QString::fromUtf8(test->test_suite_name()) + u'.' + QString::fromUtf8(test->name());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "TMPDIR", "XDG_RUNTIME_DIR"})
        environment.insert(QString::fromLatin1(name), home.path());
    environment.insert(QString::fromLatin1(ChildMarker), QStringLiteral("1"));
    environment.remove(QStringLiteral("GTEST_OUTPUT"));

    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(home.path());
    child.start(setpriv, {QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                          QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups"),
                          QStringLiteral("--"), executable, QStringLiteral("--gtest_filter=") + filter,
                          QStringLiteral("--gtest_color=no")});
    const bool finished = child.waitForFinished(ChildDeadlineMs);
    if (!finished) {
        child.kill();
        child.waitForFinished();
    }
    const QString output = QString::fromLocal8Bit(child.readAll());
    std::cout << "---- as nobody (uid " << nobody->pw_uid << ") ----\n"
              << output.toStdString() << "---- end of the run as nobody ----" << std::endl;

    if (!finished) {
        ADD_FAILURE() << "the run as nobody did not end";
    } else if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        ADD_FAILURE() << "the run as nobody failed (exit code " << child.exitCode() << "); its output is above";
    } else if (output.contains(QStringLiteral("[  SKIPPED ] 1 test"))) {
        skip("skipped when run as nobody; the reason is in the output above");
    } else if (!output.contains(QStringLiteral("[  PASSED  ] 1 test."))) {
        ADD_FAILURE() << "the run as nobody did not run " << filter.toStdString();
    }
    return false;
}
