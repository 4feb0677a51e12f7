#include "tests/glowbutton/GlowButtonFixture.h"

#include "tests/support/AccessibilitySpy.h"
#include "tests/support/CaseName.h"
#include "tests/support/WaitFor.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// However the user presses a glow button — mouse, Space, Enter, its accelerator or a screen
// reader — the press ends in the same place: the button's OnClick, or the action bound to it.

namespace {

struct Activation
{
    const char* Name;
    std::function<void(TProbeButton* Button, QLineEdit* Edit)> Press;
};

// What the button is wired to: its own OnClick, or an action and nothing else.
enum TBinding { bdOnClick, bdAction };

struct ActivationCase
{
    std::string Name;
    Activation How;
    TBinding Binding;

    friend void PrintTo(const ActivationCase& Case, std::ostream* Out) { *Out << Case.Name; }
};

void FocusOn(QWidget* Widget)
{
    Widget->setFocus();
    ASSERT_TRUE(waitFor([&] { return Widget->hasFocus(); }));
}

const Activation Activations[] = {
    {"Mouse", [](TProbeButton* B, QLineEdit*) { QTest::mouseClick(B, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10)); }},
    {"Space",
     [](TProbeButton* B, QLineEdit*) {
         FocusOn(B);
         QTest::keyClick(B, Qt::Key_Space);
     }},
    {"SpaceOnAGroupMember",
     [](TProbeButton* B, QLineEdit*) {
         B->SetGroupIndex(1);
         FocusOn(B);
         QTest::keyClick(B, Qt::Key_Space);
     }},
    {"Enter",
     [](TProbeButton* B, QLineEdit*) {
         FocusOn(B);
         QTest::keyClick(B, Qt::Key_Return);
     }},
    {"Accelerator",
     [](TProbeButton*, QLineEdit* Edit) {
         FocusOn(Edit);
         QTest::keyClick(Edit, Qt::Key_D, Qt::AltModifier);
     }},
    {"AccessiblePress",
     [](TProbeButton* B, QLineEdit*) {
         QAccessibleInterface* Accessible = QAccessible::queryAccessibleInterface(B);
         ASSERT_NE(Accessible, nullptr);
         ASSERT_NE(Accessible->actionInterface(), nullptr);
         Accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
     }},
};

std::vector<ActivationCase> ActivationCases()
{
    std::vector<ActivationCase> Cases;
    for (const Activation& How : Activations) {
        Cases.push_back({std::string(How.Name) + "WithOnClick", How, bdOnClick});
        Cases.push_back({std::string(How.Name) + "WithAction", How, bdAction});
    }
    return Cases;
}

// The button has an accelerator, and its OnClick or an action.
class OneActivationPath : public KeyboardButtons, public testing::WithParamInterface<ActivationCase>
{
protected:
    void SetUp() override
    {
        KeyboardButtons::SetUp();
        Button->SetCaption(QStringLiteral("&Download"));
        if (GetParam().Binding == bdAction) {
            Button->OnClick = nullptr;
            Action = new QAction(QStringLiteral("Download"), Form.get());
            QObject::connect(Action, &QAction::triggered, [this] { ++Triggered; });
            Button->SetAction(Action);
        }
    }

    int HandlerCalls() const { return GetParam().Binding == bdAction ? Triggered : ClicksOf(Button); }

    AccessibilitySpy Spy; // a screen reader is listening
    QAction* Action = nullptr;
    int Triggered = 0;
};

TEST_P(OneActivationPath, ReachesTheHandlerExactlyOnce)
{
    GetParam().How.Press(Button, Edit);
    ASSERT_FALSE(HasFatalFailure());
    // A screen reader's press happens once its request has been answered.
    EXPECT_TRUE(waitFor([&] { return HandlerCalls() > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(HandlerCalls(), 1);
}

INSTANTIATE_TEST_SUITE_P(Activations, OneActivationPath, testing::ValuesIn(ActivationCases()), caseName);

} // namespace
