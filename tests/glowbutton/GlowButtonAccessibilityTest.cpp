#include "tests/glowbutton/GlowButtonFixture.h"

#include "tests/support/AccessibilitySpy.h"
#include "tests/support/CaseName.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

// What a screen reader learns about a glow button through Qt's accessibility interface, and the
// events that tell it about changes.

namespace {

class GlowButtonAccessibility : public GlowButtonTest
{
protected:
    QAccessibleInterface* Accessible(QWidget* Widget) const { return QAccessible::queryAccessibleInterface(Widget); }
    QAccessibleInterface* Accessible() const { return Accessible(Button); }
    QAccessibleActionInterface* Actions() const { return Accessible()->actionInterface(); }

    AccessibilitySpy Spy;
};

struct DescriptionCase
{
    const char* Name;
    std::function<void(TProbeButton*)> Configure;
    QAccessible::Role Role;
    QString AccessibleName;
    QString Description;
};

class Described : public GlowButtonAccessibility, public testing::WithParamInterface<DescriptionCase>
{
};

TEST_P(Described, ByRoleNameAndDescription)
{
    GetParam().Configure(Button);
    QAccessibleInterface* accessible = Accessible();
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), GetParam().Role);
    EXPECT_EQ(accessible->text(QAccessible::Name), GetParam().AccessibleName);
    EXPECT_EQ(accessible->text(QAccessible::Description), GetParam().Description);
    EXPECT_EQ(accessible->object(), Button);
    EXPECT_EQ(accessible->parent()->object(), Form.get());
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, Described,
    testing::Values(
        DescriptionCase{"PushButtonNamedByItsCaption",
                        [](TProbeButton* B) { B->SetHint(QStringLiteral("Download from KAPLIX web site")); },
                        QAccessible::Button, QStringLiteral("Download"), QStringLiteral("Download from KAPLIX web site")},
        DescriptionCase{"AcceleratorMarkIsNotRead", [](TProbeButton* B) { B->SetCaption(QStringLiteral("&Save && close")); },
                        QAccessible::Button, QStringLiteral("Save & close"), QString()},
        DescriptionCase{"CheckStyleIsACheckBox", [](TProbeButton* B) { B->SetStyle(bsCheck); }, QAccessible::CheckBox,
                        QStringLiteral("Download"), QString()},
        DescriptionCase{"OwnAccessibleNameWins",
                        [](TProbeButton* B) { B->setAccessibleName(QStringLiteral("Download, 64-bit")); },
                        QAccessible::Button, QStringLiteral("Download, 64-bit"), QString()}),
    caseName);

TEST_F(GlowButtonAccessibility, StatesFollowThePointerTheMouseAndTheFocus)
{
    QAccessibleInterface* accessible = Accessible();
    EXPECT_FALSE(accessible->state().hotTracked);
    EXPECT_FALSE(accessible->state().pressed);
    EXPECT_FALSE(accessible->state().checkable);

    Enter(Button);
    EXPECT_TRUE(accessible->state().hotTracked);
    Press(Button);
    EXPECT_TRUE(accessible->state().pressed);
    Release(Button);
    EXPECT_FALSE(accessible->state().pressed);
    Leave(Button);
    EXPECT_FALSE(accessible->state().hotTracked);

    Button->SetTabStop(true);
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Button->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Button->hasFocus(); }, 5000));
    EXPECT_TRUE(accessible->state().focusable);
    EXPECT_TRUE(accessible->state().focused);

    Button->setEnabled(false);
    EXPECT_TRUE(accessible->state().disabled);
}

TEST_F(GlowButtonAccessibility, CheckStyleReportsItsCheckedState)
{
    Button->SetStyle(bsCheck);
    QAccessibleInterface* accessible = Accessible();
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_FALSE(accessible->state().checked);
    UserClick(Button);
    EXPECT_TRUE(accessible->state().checked);
    EXPECT_TRUE(Spy.changedStates(Button).checked);
}

TEST_F(GlowButtonAccessibility, PressActionClicksOnceAfterTheRequestIsAnswered)
{
    ASSERT_NE(Actions(), nullptr);
    EXPECT_TRUE(Actions()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    Actions()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(ClicksOf(Button), 0) << "the reader is not kept waiting for what the click does";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ClicksOf(Button) == 1; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(ClicksOf(Button), 1);
}

TEST_F(GlowButtonAccessibility, CheckStyleOffersToggleAndTogglesDown)
{
    Button->SetStyle(bsCheck);
    EXPECT_TRUE(Actions()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    Actions()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Button->Down(); }, 5000));
    EXPECT_EQ(ClicksOf(Button), 1);
}

TEST_F(GlowButtonAccessibility, DisabledButtonOffersNoPress)
{
    Button->setEnabled(false);
    EXPECT_FALSE(Actions()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    Actions()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_TRUE(Clicks.empty());
}

TEST_F(GlowButtonAccessibility, CaptionAndHintChangesAreAnnounced)
{
    Spy.clear();
    Button->SetCaption(QStringLiteral("Install"));
    Button->SetHint(QStringLiteral("Starts the setup program"));
    Button->SetHint(QStringLiteral("Starts the setup program"));
    EXPECT_EQ(Spy.count(Button, QAccessible::NameChanged), 1);
    EXPECT_EQ(Spy.count(Button, QAccessible::DescriptionChanged), 1);
    EXPECT_EQ(Accessible()->text(QAccessible::Name), QStringLiteral("Install"));
}

TEST_F(GlowButtonAccessibility, PointerAndPressChangesAreAnnounced)
{
    Spy.clear();
    Enter(Button);
    EXPECT_TRUE(Spy.changedStates(Button).hotTracked);
    EXPECT_FALSE(Spy.changedStates(Button).pressed);
    Press(Button);
    EXPECT_TRUE(Spy.changedStates(Button).pressed);
    Spy.clear();
    Release(Button);
    EXPECT_TRUE(Spy.changedStates(Button).pressed) << "coming up is a change too";
    EXPECT_FALSE(Spy.changedStates(Button).hotTracked) << "the pointer is still over it";
}

TEST_F(GlowButtonAccessibility, FocusAndEnabledChangesAreAnnounced)
{
    Button->SetTabStop(true);
    Spy.clear();
    Form->activateWindow(); // the window's only tab stop may take the focus as it becomes active
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Button->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Button->hasFocus(); }, 5000));
    EXPECT_GE(Spy.count(Button, QAccessible::Focus), 1);
    Button->setEnabled(false);
    EXPECT_TRUE(Spy.changedStates(Button).disabled);
}

TEST_F(GlowButtonAccessibility, GroupMemberIsCheckableAndAnnouncesWhenAnotherTakesItsPlace)
{
    TProbeButton* Other = AddButton(QStringLiteral("Other"), QRect(200, 10, 180, 28));
    Button->SetGroupIndex(1);
    Other->SetGroupIndex(1);
    Button->SetDown(true);
    EXPECT_TRUE(Accessible(Button)->state().checkable);
    EXPECT_TRUE(Accessible(Button)->state().checked);
    Spy.clear();
    Other->SetDown(true);
    EXPECT_FALSE(Accessible(Button)->state().checked);
    EXPECT_TRUE(Spy.changedStates(Button).checked);
    EXPECT_TRUE(Spy.changedStates(Other).checked);
}

} // namespace
