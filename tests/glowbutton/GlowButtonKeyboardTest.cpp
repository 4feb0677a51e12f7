#include "tests/glowbutton/GlowButtonFixture.h"

#include "tests/support/CaseName.h"

// Glow buttons used from the keyboard: reached with Tab, pressed with Space or Enter, and showing
// their focus frame while focused.

namespace {

TEST_F(KeyboardButtons, TabAndShiftTabVisitTheButtonsInOrder)
{
    QTest::keyClick(Edit, Qt::Key_Tab);
    EXPECT_TRUE(Button->hasFocus());
    QTest::keyClick(Button, Qt::Key_Tab);
    EXPECT_TRUE(Other->hasFocus());
    QTest::keyClick(Other, Qt::Key_Backtab);
    EXPECT_TRUE(Button->hasFocus());
    EXPECT_TRUE(Clicks.empty()) << "moving the focus presses nothing";
}

struct PressKeyCase
{
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
};

class PressKeys : public KeyboardButtons, public testing::WithParamInterface<PressKeyCase>
{
};

TEST_P(PressKeys, PressTheFocusedButtonOnce)
{
    QTest::keyClick(Edit, Qt::Key_Tab);
    ASSERT_TRUE(Button->hasFocus());
    QTest::keyClick(Button, GetParam().Key, GetParam().Modifiers);
    EXPECT_EQ(ClicksOf(Button), 1);
    EXPECT_EQ(ClicksOf(Other), 0);
    EXPECT_EQ(Button->DrawState(), dsUp) << "the button comes up again once the key is released";
}

INSTANTIATE_TEST_SUITE_P(Keys, PressKeys,
                         testing::Values(PressKeyCase{"Space", Qt::Key_Space, Qt::NoModifier},
                                         PressKeyCase{"Return", Qt::Key_Return, Qt::NoModifier},
                                         PressKeyCase{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier}),
                         caseName);

// The frame of the default look: BorderColorFocused one pixel inside the border.
TEST_F(KeyboardButtons, FocusedButtonShowsItsFocusFrameAndLosesItWithTheFocus)
{
    const QImage unfocused = snapshot(Button);
    const int middle = Button->width() / 2;
    EXPECT_FALSE(ColorNear(unfocused, middle, 1, Button->Appearance()->BorderColorFocused(), 12));

    QTest::keyClick(Edit, Qt::Key_Tab);
    ASSERT_TRUE(Button->hasFocus());
    const QImage focused = snapshot(Button);
    EXPECT_TRUE(ColorNear(focused, middle, 1, Button->Appearance()->BorderColorFocused(), 12));
    EXPECT_TRUE(ColorNear(focused, 1, Button->height() / 2, Button->Appearance()->BorderColorFocused(), 12));

    QTest::keyClick(Button, Qt::Key_Tab);
    ASSERT_TRUE(Other->hasFocus());
    EXPECT_EQ(snapshot(Button), unfocused) << "without the focus the button looks as before";
}

TEST_F(KeyboardButtons, FocusTypeNoneDrawsNoFrame)
{
    Button->SetFocusType(ftNone);
    const QImage unfocused = snapshot(Button);
    QTest::keyClick(Edit, Qt::Key_Tab);
    ASSERT_TRUE(Button->hasFocus());
    EXPECT_EQ(snapshot(Button), unfocused);
}

// A button the keyboard reaches but a mouse click does not focus: the click leaves the focus,
// and so the look, as it was.
TEST_F(KeyboardButtons, KeyboardOnlyTabStopKeepsTheFocusOnAMouseClick)
{
    Button->setFocusPolicy(Qt::TabFocus);
    UserClick(Button);
    EXPECT_EQ(ClicksOf(Button), 1);
    EXPECT_TRUE(Edit->hasFocus());
    QTest::keyClick(Edit, Qt::Key_Tab);
    EXPECT_TRUE(Button->hasFocus());
}

// The button gives its focus up in QWidget's destructor; by then it must hear nothing of it.
TEST_F(KeyboardButtons, AFocusedButtonCanBeDestroyed)
{
    QTest::keyClick(Edit, Qt::Key_Tab);
    ASSERT_TRUE(Button->hasFocus());
    delete Button;
    Button = nullptr;
    QTest::keyClick(Form.get(), Qt::Key_Tab);
    EXPECT_TRUE(Other->hasFocus() || Edit->hasFocus());
}

TEST_F(KeyboardButtons, DisabledButtonIsPassedOver)
{
    Button->setEnabled(false);
    QTest::keyClick(Edit, Qt::Key_Tab);
    EXPECT_TRUE(Other->hasFocus());
}

} // namespace
