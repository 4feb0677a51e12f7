#include "tests/glowbutton/GlowButtonFixture.h"
#include "tests/support/CaseName.h"

#include <QDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

#include <functional>

namespace {

constexpr QPoint Outside(300, 10);

// Mouse

struct ClickCase
{
    const char* Name;
    std::function<void(TProbeButton*)> Gesture;
    int Clicks;
};

class MouseClicks : public GlowButtonTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(MouseClicks, CountOnlyReleasesInside)
{
    Enter(Button);
    GetParam().Gesture(Button);
    EXPECT_EQ(ClicksOf(Button), GetParam().Clicks);
    EXPECT_FALSE(Button->Down());
}

INSTANTIATE_TEST_SUITE_P(
    Gestures, MouseClicks,
    testing::Values(ClickCase{"PressReleaseInside",
                              [](TProbeButton* B) {
                                  GlowButtonTest::Press(B);
                                  GlowButtonTest::Release(B);
                              },
                              1},
                    ClickCase{"ReleaseOutside",
                              [](TProbeButton* B) {
                                  GlowButtonTest::Press(B);
                                  GlowButtonTest::MoveHeld(B, Outside);
                                  GlowButtonTest::Release(B, Outside);
                              },
                              0},
                    ClickCase{"DragOutAndBack",
                              [](TProbeButton* B) {
                                  GlowButtonTest::Press(B);
                                  GlowButtonTest::MoveHeld(B, Outside);
                                  GlowButtonTest::MoveHeld(B, QPoint(30, 12));
                                  GlowButtonTest::Release(B, QPoint(30, 12));
                              },
                              1},
                    ClickCase{"RightButton",
                              [](TProbeButton* B) {
                                  QTest::mouseClick(B, Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
                              },
                              0},
                    ClickCase{"DoubleClickIsTwoClicks",
                              [](TProbeButton* B) {
                                  // What Qt delivers for a double click: the second press comes
                                  // as a double-click event.
                                  GlowButtonTest::Press(B);
                                  GlowButtonTest::Release(B);
                                  GlowButtonTest::Mouse(B, QEvent::MouseButtonDblClick, QPoint(20, 10), Qt::LeftButton);
                                  GlowButtonTest::Release(B);
                              },
                              2}),
    caseName);

TEST_F(GlowButtonTest, RealMouseClickGoesThroughTheWindow)
{
    QTest::mouseClick(Button, Qt::LeftButton, Qt::NoModifier, QPoint(40, 14));
    EXPECT_EQ(ClicksOf(Button), 1);
}

TEST_F(GlowButtonTest, DraggingFollowsThePointerWithTheDownLook)
{
    const TColor DownBorder = Button->Appearance()->BorderColorDown();
    Enter(Button);
    Press(Button);
    EXPECT_PIXEL(snapshot(Button), 0, 14, DownBorder);
    MoveHeld(Button, Outside);
    EXPECT_EQ(Button->DrawState(), dsUp);
    EXPECT_PIXEL(snapshot(Button), 0, 14, Button->Appearance()->BorderColor());
    MoveHeld(Button, QPoint(30, 12));
    EXPECT_EQ(Button->DrawState(), dsDown);
    EXPECT_PIXEL(snapshot(Button), 0, 14, DownBorder);
    Release(Button, QPoint(30, 12));
    EXPECT_PIXEL(snapshot(Button), 0, 14, Button->Appearance()->BorderColorHot());
}

TEST_F(GlowButtonTest, RepeatClickFiresWhileHeld)
{
    Button->SetRepeatClick(true);
    Button->SetInitRepeatPause(5);
    Button->SetRepeatPause(5);
    Enter(Button);
    Press(Button);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ClicksOf(Button) >= 3; }, 5000));
    Release(Button);
}

// Down, groups and check style

TEST_F(GlowButtonTest, PlainButtonCannotBeSetDown)
{
    Button->SetDown(true);
    EXPECT_FALSE(Button->Down());
    EXPECT_PIXEL(snapshot(Button), 0, 14, clSilver);
}

class Group : public GlowButtonTest
{
protected:
    void SetUp() override
    {
        GlowButtonTest::SetUp();
        Other = AddButton(QStringLiteral("Other"), QRect(200, 10, 180, 28));
        Button->SetGroupIndex(1);
        Other->SetGroupIndex(1);
    }
    TProbeButton* Other = nullptr;
};

TEST_F(Group, PressingOneReleasesTheOther)
{
    UserClick(Button);
    EXPECT_TRUE(Button->Down());
    Leave(Button);
    UserClick(Other);
    EXPECT_TRUE(Other->Down());
    EXPECT_FALSE(Button->Down());
    EXPECT_PIXEL(snapshot(Button), 10, 12, clWhite);
    EXPECT_EQ(ClicksOf(Button), 1);
    EXPECT_EQ(ClicksOf(Other), 1);
}

TEST_F(Group, SettingDownByCodeReleasesTheOther)
{
    Button->SetDown(true);
    Other->SetDown(true);
    EXPECT_FALSE(Button->Down());
    EXPECT_TRUE(Other->Down());
}

TEST_F(Group, OtherGroupsAreLeftAlone)
{
    Other->SetGroupIndex(2);
    Button->SetDown(true);
    Other->SetDown(true);
    EXPECT_TRUE(Button->Down());
}

TEST_F(Group, AMemberClickedDownShowsItsCheckedFaceAtOnce)
{
    // Colours of its own for the checked face, so a blend with the down face would show.
    Button->Appearance()->SetColorChecked(0x00C000);
    Button->Appearance()->SetColorCheckedTo(0x008000);
    Button->Appearance()->SetColorDown(0xC00000);
    Button->Appearance()->SetColorDownTo(0x800000);
    TCustomGlowButton::SetFadeInterval(20);
    UserClick(Button);
    ASSERT_TRUE(Button->Down());
    ASSERT_TRUE(Button->FadeTimerExists()) << "the hover fade of the entry still runs";
    const QImage During = snapshot(Button);

    for (int Tick = 0; Tick < 100 && Button->FadeTimerExists(); ++Tick)
        Button->FadeTimerTick();
    EXPECT_EQ(During, snapshot(Button)) << "the press does not fade into the checked face";
}

struct AllowAllUpCase
{
    const char* Name;
    bool AllowAllUp;
    bool DownAfterSecondClick;
};

class GroupRelease : public Group, public testing::WithParamInterface<AllowAllUpCase> {};

TEST_P(GroupRelease, ClickingTheDownMember)
{
    Button->SetAllowAllUp(GetParam().AllowAllUp);
    UserClick(Button);
    ASSERT_TRUE(Button->Down());
    Press(Button);
    Release(Button);
    EXPECT_EQ(Button->Down(), GetParam().DownAfterSecondClick);
}

INSTANTIATE_TEST_SUITE_P(Switch, GroupRelease,
                         testing::Values(AllowAllUpCase{"StaysDown", false, true},
                                         AllowAllUpCase{"AllowAllUpReleases", true, false}),
                         caseName);

// The draw state is settled by the change itself; no paint has to run in between.
struct SettledCase
{
    const char* Name;
    std::function<void(TProbeButton*)> Change;
    TDrawState State;
};

class SettledState : public GlowButtonTest, public testing::WithParamInterface<SettledCase> {};

TEST_P(SettledState, WithoutAPaint)
{
    GetParam().Change(Button);
    EXPECT_EQ(Button->DrawState(), GetParam().State);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SettledState,
    testing::Values(SettledCase{"Disabled", [](TProbeButton* B) { B->setEnabled(false); }, dsDisabled},
                    SettledCase{"DisabledCheckStaysDown",
                                [](TProbeButton* B) {
                                    B->SetStyle(bsCheck);
                                    B->SetDown(true);
                                    B->setEnabled(false);
                                },
                                dsDown},
                    SettledCase{"ReenabledGroupMemberIsExclusive",
                                [](TProbeButton* B) {
                                    B->SetGroupIndex(1);
                                    B->SetDown(true);
                                    B->setEnabled(false);
                                    B->setEnabled(true);
                                },
                                dsExclusive},
                    SettledCase{"ReenabledPlainButtonIsUp",
                                [](TProbeButton* B) {
                                    B->setEnabled(false);
                                    B->setEnabled(true);
                                },
                                dsUp},
                    SettledCase{"CheckStyleReleasedInsideStaysDown",
                                [](TProbeButton* B) {
                                    B->SetStyle(bsCheck);
                                    GlowButtonTest::UserClick(B);
                                },
                                dsDown}),
    caseName);

TEST_F(GlowButtonTest, ButtonCreatedInADisabledParentStartsDisabled)
{
    Form->setEnabled(false);
    auto* Late = new TProbeButton(Form.get());
    EXPECT_EQ(Late->DrawState(), dsDisabled);
}

TEST_F(GlowButtonTest, CheckStyleTogglesOnEveryClick)
{
    Button->SetStyle(bsCheck);
    std::vector<bool> Seen;
    Button->OnClick = [&](QObject*) { Seen.push_back(Button->Down()); };
    UserClick(Button);
    UserClick(Button);
    UserClick(Button);
    EXPECT_EQ(Seen, (std::vector<bool>{true, false, true}));
}

// Keyboard

void Key(QWidget* Widget, QEvent::Type Type, int Code, Qt::KeyboardModifiers Modifiers = Qt::NoModifier,
         const QString& Text = QString())
{
    QKeyEvent Event(Type, Code, Modifiers, Text);
    QApplication::sendEvent(Widget, &Event);
}

TEST_F(GlowButtonTest, SpaceClicksOnTheCharacterAndSetsTheModalResult)
{
    QDialog Dialog;
    auto* Ok = new TGlowButton(&Dialog);
    Ok->SetModalResult(QDialog::Accepted + 5);
    int Clicked = 0;
    Ok->OnClick = [&](QObject*) { ++Clicked; };
    Key(Ok, QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(Clicked, 1);
    EXPECT_EQ(Dialog.result(), QDialog::Accepted + 5);
    Key(Ok, QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(Clicked, 1);
}

TEST_F(Group, SpaceReleaseTogglesAGroupMember)
{
    Key(Button, QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(ClicksOf(Button), 0);
    Key(Button, QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_EQ(ClicksOf(Button), 1);
    EXPECT_TRUE(Button->Down());
    Key(Other, QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    Key(Other, QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_TRUE(Other->Down());
    EXPECT_FALSE(Button->Down());
}

// Enter and Escape reach the default and cancel buttons from any control of the window.
class DialogKeys : public GlowButtonTest
{
protected:
    void SetUp() override
    {
        GlowButtonTest::SetUp();
        Other = AddButton(QStringLiteral("Cancel"), QRect(200, 10, 180, 28));
        Edit = new QLineEdit(Form.get());
        Edit->setGeometry(10, 60, 180, 24);
        Edit->show();
        Button->SetDefault(true);
        Other->SetCancel(true);
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Edit->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Edit->hasFocus(); }, 5000));
    }
    TProbeButton* Other = nullptr;
    QLineEdit* Edit = nullptr;
};

TEST_F(DialogKeys, EnterClicksTheDefaultButton)
{
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_EQ(ClicksOf(Button), 1);
    EXPECT_EQ(ClicksOf(Other), 0);
}

TEST_F(DialogKeys, EscapeClicksTheCancelButton)
{
    QTest::keyClick(Edit, Qt::Key_Escape);
    EXPECT_EQ(ClicksOf(Other), 1);
    EXPECT_EQ(ClicksOf(Button), 0);
}

TEST_F(DialogKeys, ModifiedEnterIsNotADialogKey)
{
    QTest::keyClick(Edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(DialogKeys, EnterGoesToTheFocusedGlowButton)
{
    Other->SetTabStop(true);
    Other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Other->hasFocus(); }, 5000));
    QTest::keyClick(Other, Qt::Key_Return);
    EXPECT_EQ(ClicksOf(Other), 1);
    EXPECT_EQ(ClicksOf(Button), 0);
    // Back in a control that is no glow button, Enter belongs to the default button again.
    Edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Edit->hasFocus(); }, 5000));
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_EQ(ClicksOf(Button), 1);
}

TEST_F(DialogKeys, DisabledDefaultButtonIgnoresEnter)
{
    Button->setEnabled(false);
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(DialogKeys, AltAndTheAcceleratorClick)
{
    Other->SetCaption(QStringLiteral("&Stop"));
    QTest::keyClick(Edit, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(ClicksOf(Other), 1);
    QTest::keyClick(Edit, Qt::Key_S);
    EXPECT_EQ(ClicksOf(Other), 1);
}

TEST_F(DialogKeys, FocusFollowsTabStop)
{
    Press(Button);
    Release(Button);
    EXPECT_TRUE(Edit->hasFocus());
    Button->SetTabStop(true);
    Press(Button);
    Release(Button);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Button->hasFocus(); }, 5000));
}

// Hints

struct HintCase
{
    const char* Name;
    std::function<void(QWidget* Form, TProbeButton*)> Configure;
    bool Shown;
};

class Hints : public GlowButtonTest, public testing::WithParamInterface<HintCase> {};

TEST_P(Hints, ShownOnlyWhereEnabled)
{
    Button->SetHint(QStringLiteral("Fetch the setup file"));
    GetParam().Configure(Form.get(), Button);
    QHelpEvent Help(QEvent::ToolTip, QPoint(5, 5), Button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Button, &Help);
    EXPECT_EQ(QToolTip::text() == QStringLiteral("Fetch the setup file"), GetParam().Shown);
    QToolTip::hideText();
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Hints,
    testing::Values(HintCase{"Off", [](QWidget*, TProbeButton*) {}, false},
                    HintCase{"OwnSetting", [](QWidget*, TProbeButton* B) { B->SetShowHint(true); }, true},
                    HintCase{"FromParent", [](QWidget* F, TProbeButton*) { F->setProperty("ShowHint", true); }, true},
                    HintCase{"ParentSaysNo",
                             [](QWidget* F, TProbeButton*) { F->setProperty("ShowHint", false); }, false},
                    HintCase{"OwnOverridesParent",
                             [](QWidget* F, TProbeButton* B) {
                                 F->setProperty("ShowHint", true);
                                 B->SetShowHint(false);
                             },
                             false}),
    caseName);

} // namespace
