#include "tests/support/TestEnvironment.h"
#include "tests/support/ThreadsAtExit.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

namespace {

std::vector<QPointer<QWidget>> VisibleWindows()
{
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            windows.emplace_back(widget);
    }
    return windows;
}

// A window that a test opened and left open would take the keyboard or a modal answerer from
// the next test in the same process, and hides a dialog that never closed. Each test must close
// what it opened; a window shown before the test (a suite's own) is not counted. Listeners may
// not assert, so a leftover fails the program instead, naming the test and the window.
class LeftoverWindowCheck : public testing::EmptyTestEventListener {
public:
    bool Found() const { return m_found; }

private:
    void OnTestStart(const testing::TestInfo&) override { m_before = VisibleWindows(); }

    void OnTestEnd(const testing::TestInfo& test) override
    {
        // Windows closed with deleteLater() are gone once their deletion has been delivered.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QPointer<QWidget>& window : VisibleWindows()) {
            if (std::find(m_before.begin(), m_before.end(), window) != m_before.end())
                continue;
            m_found = true;
            std::cerr << "Left open by " << test.test_suite_name() << '.' << test.name() << ": "
                      << window->metaObject()->className() << " \"" << window->windowTitle().toStdString()
                      << "\" (" << window->objectName().toStdString() << ")\n";
            window->close();
        }
        m_before.clear();
    }

    std::vector<QPointer<QWidget>> m_before;
    bool m_found = false;
};

} // namespace

int main(int argc, char** argv)
{
    waitForOtherThreadsAtExit();
    prepareTestEnvironment();
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    auto* check = new LeftoverWindowCheck;
    testing::UnitTest::GetInstance()->listeners().Append(check);
    const int result = RUN_ALL_TESTS();
    return check->Found() ? 1 : result;
}
