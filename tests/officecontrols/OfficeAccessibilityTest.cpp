#include "controls/AccessibleInterfaces.h"
#include "controls/FrameGroupBox.h"
#include "controls/GradientPanel.h"
#include "controls/OfficeCheckBox.h"
#include "controls/OfficeRadioGroup.h"
#include "tests/officecontrols/OfficeTestSupport.h"
#include "tests/support/AccessibilitySpy.h"
#include "tests/support/CaseName.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QEnterEvent>
#include <QTest>

#include <gtest/gtest.h>

// What a screen reader learns about the office radio group, the office check box and the gradient
// panel through Qt's accessibility interface.

namespace {

QAccessibleInterface* Accessible(QObject* Object)
{
    return QAccessible::queryAccessibleInterface(Object);
}

// Waits for a deferred action to have happened.
bool Eventually(const std::function<bool()>& Condition)
{
    return QTest::qWaitFor(Condition, 5000);
}

// A panel named like a window part holding the version group and a check box, shown.
struct OfficeAccessibility : testing::Test {
    AccessibilitySpy Spy;
    TGradientPanel Back;
    TOfficeRadioGroup* VersionRadio = new TOfficeRadioGroup(&Back);
    TOfficeCheckBox* Box = new TOfficeCheckBox(&Back);
    int VersionClicks = 0;
    int BoxClicks = 0;

    OfficeAccessibility()
    {
        Back.setFont(DesignFont());
        Back.resize(400, 200);
        VersionRadio->setGeometry(10, 10, 190, 96);
        VersionRadio->SetCaption(QStringLiteral("Select version to install"));
        VersionRadio->SetColumns(3);
        VersionRadio->SetItems({"9.21", "9.51", "10.0", "10.1", "10.2", "10.3", "11.0", "12.0", "12.1"});
        VersionRadio->SetItemIndex(8);
        VersionRadio->OnClick = [this](QObject*) { ++VersionClicks; };
        Box->setGeometry(220, 10, 150, 20);
        Box->SetCaption(QStringLiteral("&Keep the <b>setup</b> file"));
        Box->OnClick = [this](QObject*) { ++BoxClicks; };
    }
    void SetUp() override { ASSERT_TRUE(ShowAndActivate(Back)); }
};

TEST_F(OfficeAccessibility, RadioItemsAreRadioButtonsInsideAGroupingNamedByTheCaption)
{
    QAccessibleInterface* group = Accessible(VersionRadio);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), QStringLiteral("Select version to install"));
    ASSERT_EQ(group->childCount(), 9);

    for (int i = 0; i < VersionRadio->Count(); ++i) {
        QAccessibleInterface* item = Accessible(VersionRadio->RadioButtons(i));
        EXPECT_EQ(item->role(), QAccessible::RadioButton) << i;
        EXPECT_EQ(item->text(QAccessible::Name), VersionRadio->Items()[i]) << i;
        EXPECT_TRUE(item->state().checkable) << i;
        EXPECT_EQ(item->state().checked, i == 8) << i;
        EXPECT_EQ(item->parent(), group) << i;
        EXPECT_EQ(group->indexOfChild(item), i);
    }
}

TEST_F(OfficeAccessibility, SelectingAnotherItemAnnouncesBothItemsCheckedChange)
{
    Spy.clear();
    VersionRadio->SetItemIndex(3);
    EXPECT_TRUE(Spy.changedStates(VersionRadio->RadioButtons(3)).checked);
    EXPECT_TRUE(Spy.changedStates(VersionRadio->RadioButtons(8)).checked);
    EXPECT_FALSE(Spy.changedStates(VersionRadio->RadioButtons(4)).checked);
    EXPECT_TRUE(Accessible(VersionRadio->RadioButtons(3))->state().checked);
    EXPECT_FALSE(Accessible(VersionRadio->RadioButtons(8))->state().checked);
}

TEST_F(OfficeAccessibility, ToggleActionSelectsTheItemAsSpaceDoes)
{
    QAccessibleActionInterface* actions = Accessible(VersionRadio->RadioButtons(2))->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(Eventually([&] { return VersionRadio->ItemIndex() == 2; }));
    EXPECT_EQ(VersionClicks, 1);
}

// A group that allows no change (a read-only group) offers no way to change it.
struct FixedGroup : TOfficeRadioGroup {
    using TOfficeRadioGroup::TOfficeRadioGroup;
    bool AllowsChange() const override { return false; }
};

TEST_F(OfficeAccessibility, AGroupThatAllowsNoChangeOffersNoToggle)
{
    FixedGroup fixed(&Back);
    fixed.SetItems({QStringLiteral("One"), QStringLiteral("Two")});
    fixed.SetItemIndex(0);
    QAccessibleActionInterface* actions = Accessible(fixed.RadioButtons(1))->actionInterface();
    EXPECT_FALSE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    actions->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(fixed.ItemIndex(), 0);
}

TEST_F(OfficeAccessibility, ItemsReportFocusPointerAndPress)
{
    TOfficeGroupButton* item = VersionRadio->RadioButtons(4);
    QAccessibleInterface* accessible = Accessible(item);
    Spy.clear();
    QTest::mousePress(item, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(accessible->state().pressed);
    EXPECT_TRUE(accessible->state().focused);
    EXPECT_GE(Spy.count(item, QAccessible::Focus), 1);
    QTest::mouseRelease(item, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_FALSE(accessible->state().pressed);
    EXPECT_TRUE(accessible->state().checked);
    EXPECT_TRUE(Spy.changedStates(item).pressed);
    EXPECT_TRUE(Spy.changedStates(item).checked);

    QEnterEvent entered(QPointF(5, 5), QPointF(5, 5), item->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(item, &entered);
    EXPECT_TRUE(accessible->state().hotTracked);
    EXPECT_TRUE(Spy.changedStates(item).hotTracked);
}

TEST_F(OfficeAccessibility, CaptionChangesAreAnnounced)
{
    Spy.clear();
    VersionRadio->SetCaption(QStringLiteral("Version"));
    VersionRadio->RadioButtons(0)->SetCaption(QStringLiteral("9.2"));
    EXPECT_EQ(Spy.count(VersionRadio, QAccessible::NameChanged), 1);
    EXPECT_EQ(Spy.count(VersionRadio->RadioButtons(0), QAccessible::NameChanged), 1);
    EXPECT_EQ(Accessible(VersionRadio)->text(QAccessible::Name), QStringLiteral("Version"));
}

// The check box's three states.
struct BoxStateCase {
    const char* Name;
    TCheckBoxState State;
    bool Checked;
    bool Mixed;
};

class CheckBoxStates : public OfficeAccessibility, public testing::WithParamInterface<BoxStateCase> {};

TEST_P(CheckBoxStates, AreReportedAsCheckedMixedOrNeither)
{
    Spy.clear();
    Box->SetState(GetParam().State);
    QAccessibleInterface* accessible = Accessible(Box);
    EXPECT_EQ(accessible->role(), QAccessible::CheckBox);
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_EQ(accessible->state().checked, GetParam().Checked);
    EXPECT_EQ(accessible->state().checkStateMixed, GetParam().Mixed);
    const QAccessible::State changed = Spy.changedStates(Box);
    EXPECT_EQ(changed.checked, GetParam().Checked);
    EXPECT_EQ(changed.checkStateMixed, GetParam().Mixed);
}

INSTANTIATE_TEST_SUITE_P(States, CheckBoxStates,
                         testing::Values(BoxStateCase{"Unchecked", cbUnchecked, false, false},
                                         BoxStateCase{"Checked", cbChecked, true, false},
                                         BoxStateCase{"Grayed", cbGrayed, false, true}),
                         caseName);

TEST_F(OfficeAccessibility, CheckBoxIsNamedByItsCaptionWithoutMarkUp)
{
    QAccessibleInterface* accessible = Accessible(Box);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Keep the setup file"));
    EXPECT_FALSE(accessible->text(QAccessible::Accelerator).isEmpty());
}

TEST_F(OfficeAccessibility, CheckBoxToggleActionAdvancesThroughTheThreeStates)
{
    Box->SetAllowGrayed(true);
    QAccessibleActionInterface* actions = Accessible(Box)->actionInterface();
    const std::vector<TCheckBoxState> expected = {cbGrayed, cbChecked, cbUnchecked};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        actions->doAction(QAccessibleActionInterface::toggleAction());
        ASSERT_TRUE(Eventually([&] { return Box->State() == expected[i]; })) << i;
    }
    EXPECT_EQ(BoxClicks, 3);
}

TEST_F(OfficeAccessibility, ReadOnlyCheckBoxSaysSo)
{
    Box->SetReadOnly(true);
    EXPECT_TRUE(Accessible(Box)->state().readOnly);
}

TEST_F(OfficeAccessibility, GradientPanelIsAPaneNamedByItsCaption)
{
    Spy.clear();
    Back.Caption().SetText(QStringLiteral("Install information"));
    QAccessibleInterface* accessible = Accessible(&Back);
    EXPECT_EQ(accessible->role(), QAccessible::Pane);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Install information"));
    EXPECT_EQ(Spy.count(&Back, QAccessible::NameChanged), 1);
    Back.Caption().SetColor(RGBColor(200, 0, 0));
    EXPECT_EQ(Spy.count(&Back, QAccessible::NameChanged), 1) << "only the text names the panel";
}

TEST_F(OfficeAccessibility, FrameGroupWithACheckBoxIsACheckableGrouping)
{
    TFrameGroupBox frame(&Back);
    frame.SetCaption(QStringLiteral("Proxy"));
    frame.CheckBox().SetVisible(true);
    frame.CheckBox().SetChecked(true);
    QAccessibleInterface* accessible = Accessible(&frame);
    EXPECT_EQ(accessible->role(), QAccessible::Grouping);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Proxy"));
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_TRUE(accessible->state().checked);
}

struct TextCase {
    const char* Name;
    const char* Caption;
    const char* Spoken;
};

class SpokenText : public testing::TestWithParam<TextCase> {};

TEST_P(SpokenText, DropsMarkUpAndAccelerators)
{
    EXPECT_EQ(AccessibleText(QString::fromUtf8(GetParam().Caption)), QString::fromUtf8(GetParam().Spoken));
}

INSTANTIATE_TEST_SUITE_P(Captions, SpokenText,
                         testing::Values(TextCase{"Plain", "12.1", "12.1"},
                                         TextCase{"Accelerator", "&Current directory", "Current directory"},
                                         TextCase{"DoubledAmpersand", "Save && close", "Save & close"},
                                         TextCase{"Tags", "<b>Bold</b> and <font color=\"clRed\">red</font>", "Bold and red"},
                                         TextCase{"LineBreakTags", "One<BR>two<hr>three", "One two three"},
                                         TextCase{"Entities", "a &lt;b&gt; &amp; &quot;c&quot;&nbsp;d", "a <b> & \"c\" d"},
                                         TextCase{"GlowButtonLineBreak", "Down\\nload", "Down load"},
                                         TextCase{"UnclosedTag", "a <b", "a <b"}),
                         caseName);

} // namespace
