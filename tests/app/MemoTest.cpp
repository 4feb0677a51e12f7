#include "app/Memo.h"

#include "tests/app/InstallFormFixture.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/TempDir.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString Log = QStringLiteral("KAPLIX install assistant\nDownloaded KXsetup64.exe for version 12.1");

class MemoTest : public testing::Test {
protected:
    void SetUp() override { m_memo.setPlainText(Log); }

    // The path the user picks in the save dialog.
    void Choose(const QString& path)
    {
        m_memo.OnChooseLogFile = [path](QWidget*) { return path; };
    }

    QStringList MenuEntries()
    {
        std::unique_ptr<QMenu> menu(m_memo.CreateContextMenu());
        QStringList entries;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                entries << action->text().remove(u'&').section(u'\t', 0, 0);
        }
        return entries;
    }

    TMemo m_memo;
    TempDir m_dir;
};

TEST_F(MemoTest, ItsMenuCopiesAndSavesTheLog)
{
    const QStringList entries = MenuEntries();
    EXPECT_TRUE(entries.contains(QStringLiteral("Copy"))) << entries.join(u',').toStdString();
    EXPECT_EQ(entries.value(entries.size() - 1), QStringLiteral("Save log as…"));
}

TEST_F(MemoTest, TheLogIsSavedWholeAsUtf8Text)
{
    m_dir.write(QStringLiteral("kaplix.log"), "an earlier log that is longer than this one will be");
    Choose(m_dir.filePath(QStringLiteral("kaplix.log")));
    ASSERT_TRUE(m_memo.SaveLogAs());
    EXPECT_EQ(m_dir.read(QStringLiteral("kaplix.log")), Log.toUtf8() + '\n');
}

TEST_F(MemoTest, NoChosenFileWritesNothing)
{
    Choose(QString());
    EXPECT_FALSE(m_memo.SaveLogAs());
}

// A folder that does not exist stands for any place that cannot be written: the user is told,
// and nothing is left behind.
TEST_F(MemoTest, AFileThatCannotBeWrittenIsExplainedInABox)
{
    ModalAnswerer answerer({Ok});
    const QString path = m_dir.filePath(QStringLiteral("missing/kaplix.log"));
    Choose(path);
    EXPECT_FALSE(m_memo.SaveLogAs());
    ASSERT_EQ(answerer.messages().size(), 1);
    EXPECT_TRUE(answerer.messages().first().startsWith(QStringLiteral("Cannot save the log to ") + path))
        << answerer.messages().first().toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
}

// Screen readers name the log by the label above it.
TEST_F(InstallFormTest, TheLogIsNamedForScreenReaders)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    QAccessibleInterface* log = QAccessible::queryAccessibleInterface(form->Memo);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->text(QAccessible::Name), QStringLiteral("Install information"));
    EXPECT_FALSE(form->Memo->isReadOnly()) << "it stays editable";
}

} // namespace
