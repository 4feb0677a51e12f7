#include "tests/e2e/AssistantFixture.h"

#include "tests/support/CaseName.h"

#include <QDir>

#include <ostream>

namespace {

struct ScreenCase {
    const char* name;
    QSize screen;
    QRect workArea;     // what a desktop's panel leaves to windows; empty for the whole screen
    const char* scale;  // QT_SCALE_FACTOR
    friend void PrintTo(const ScreenCase& c, std::ostream* os) { *os << c.name; }
};

class WindowFit : public AssistantTest, public testing::WithParamInterface<ScreenCase> {
protected:
    WindowFit()
        : AssistantTest(GetParam().screen)
    {
    }
};

// On a screen smaller than the design's size the window opens at the size the screen has for it,
// and scrolls its content, which keeps the design's places: nothing lies over anything else, and
// the log at the bottom can be reached. The pictures are kept for people to look at.
TEST_P(WindowFit, OpensWithinTheScreenOnASmallOrScaledScreen)
{
    const ScreenCase& c = GetParam();
    const QRect area = c.workArea.isEmpty() ? QRect(QPoint(0, 0), c.screen) : c.workArea;
    if (!c.workArea.isEmpty()) {
        ASSERT_TRUE(m_display.setWorkArea(c.workArea)) << "xprop is missing: scripts/bootstrap installs it";
    }
    m_environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(c.scale));
    Start();
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());

    const QRect geometry = m_display.windowGeometry(window);
    EXPECT_TRUE(area.contains(geometry)) << geometry.x() << ',' << geometry.y() << ' ' << geometry.width() << 'x'
                                         << geometry.height();
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(KX_SCREENSHOT_DIR)));
    EXPECT_TRUE(m_display.screenshot(QStringLiteral(KX_SCREENSHOT_DIR "/main-window-%1.png").arg(QString::fromLatin1(c.name))));

    // Done keeps its design place, in the screen's pixels, and still works: the program ends.
    const double scale = QString::fromLatin1(c.scale).toDouble();
    const QPoint done = geometry.topLeft() + InstallFormLayout::CancelBtnRect.center() * scale;
    m_display.xdotool({QStringLiteral("mousemove"), QString::number(done.x()), QString::number(done.y()),
                       QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowFit, testing::Values(
    // A laptop screen whose panel takes 40 pixels: the design's height does not fit.
    ScreenCase{"Laptop1366x768", QSize(1366, 768), QRect(0, 0, 1366, 728), "1"},
    // Full HD at a scale of 1.5: the design's size is 1472 x 1131 screen pixels.
    ScreenCase{"FullHdAtScale1_5", QSize(1920, 1080), QRect(), "1.5"}),
    caseName);

} // namespace
