#pragma once

#include "app/InstallForm.h"
#include "platform/desktop/Fonts.h"
#include "tests/support/FileOwnership.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TempDir.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

inline const ModalAnswerer::Answer Ok{{}, QStringLiteral("OK")};
// The two answers to the box that asks before a setup file that is not verified starts.
inline const ModalAnswerer::Answer StartAnyway{{}, QStringLiteral("Start anyway")};
inline const ModalAnswerer::Answer Cancel{{}, QStringLiteral("Cancel")};

inline QStringList MemoLines(const TInstallForm& form)
{
    return form.Memo->toPlainText().split(u'\n');
}

inline QStringList FileBoxLines(const TInstallForm& form)
{
    QStringList lines;
    for (int i = 0; i < form.FileBox->count(); ++i)
        lines << form.FileBox->item(i)->text();
    return lines;
}

// Does what a user does in the middle of a run, once the condition holds: the run keeps the
// event loop turning, and the condition is looked at every 10 ms.
class WhenTrue {
public:
    WhenTrue(std::function<bool()> condition, std::function<void()> action)
        : m_condition(std::move(condition))
        , m_action(std::move(action))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (!m_condition())
                return;
            m_timer.stop();
            m_done = true;
            m_action();
        });
        m_timer.start(10);
    }

    bool done() const { return m_done; }

private:
    std::function<bool()> m_condition;
    std::function<void()> m_action;
    QTimer m_timer;
    bool m_done = false;
};

// A start-up directory, a temporary directory and a drive C: of its own for every test.
class InstallFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::ensureDesignFonts();
        qputenv("WINEPREFIX", m_prefix.path().toLocal8Bit());
        qunsetenv("KAPLIX_DOWNLOAD_URL");
        // No release key unless a test sets one: whatever the build holds is not the test's.
        qputenv("KAPLIX_RELEASE_KEY", QByteArray());
    }
    void TearDown() override
    {
        qunsetenv("WINEPREFIX");
        qunsetenv("KAPLIX_DOWNLOAD_URL");
        qunsetenv("KAPLIX_RELEASE_KEY");
    }

    TInstallEnvironment Environment(bool windows64 = true)
    {
        TInstallEnvironment environment;
        environment.ExecutableDir = m_startup.path();
        environment.TempDir = m_temp.path();
        environment.ProgramFilesFolder = m_prefix.filePath(QStringLiteral("drive_c/Program Files"));
        environment.Windows64Bit = windows64;
        environment.ShellOpen = [this](const QString& path) {
            m_opened << path;
            QFile file(path);
            m_openedContents << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
            return m_start;
        };
        environment.StateFile = StateFile();
        if (m_now.isValid())
            environment.Now = [now = m_now] { return now; };
        return environment;
    }

    // Creates the window and shows it; a ModalAnswerer made before answers its boxes.
    std::unique_ptr<TInstallForm> Open(bool windows64 = true)
    {
        auto form = std::make_unique<TInstallForm>(Environment(windows64));
        form->show();
        return form;
    }

    void InstallAt(const char* windowsPath)
    {
        QString path = QString::fromLatin1(windowsPath);
        path.replace(u'\\', u'/');
        m_prefix.write(QStringLiteral("drive_c/") + path.mid(3));
    }

    // What the window remembers between runs, in a configuration folder of the test's own.
    QString StateFile() const { return m_config.filePath(QStringLiteral("kaplix-setup/state")); }

    TempDir m_startup;
    TempDir m_temp;
    TempDir m_prefix;
    TempDir m_config;
    // The time the window takes for now; invalid: the clock's.
    QDateTime m_now;
    // The private copy of a setup file that Install starts: a folder of its own, only the
    // user's, in the temporary directory, and the file's own name.
    bool IsStartCopyOf(const QString& opened, const QString& original) const
    {
        const QFileInfo copy(opened);
        const QFileInfo folder(copy.path());
        return copy.fileName() == QFileInfo(original).fileName() && folder.path() == m_temp.path()
            && folder.fileName().startsWith(QStringLiteral("kaplix-start-"))
            && (ModeOf(folder.filePath()) & 07777) == 0700;
    }

    // What the window handed to the shell to open, in order, and what each file held then;
    // nothing is really started.
    QStringList m_opened;
    QList<QByteArray> m_openedContents;
    // What the shell answers to each of them.
    platform::ProgramStart m_start;
};
