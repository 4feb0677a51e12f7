#include "controls/GradientPanel.h"
#include "controls/OfficeGlyphs.h"
#include "controls/OfficeRadioGroup.h"
#include "tests/officecontrols/OfficeTestSupport.h"
#include "tests/support/CaseName.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The main window's back panel holding its two radio groups, as the user sees them.
struct MainWindowGroups : testing::Test {
    TGradientPanel Back;
    TOfficeRadioGroup* InstallToGrp = new TOfficeRadioGroup(&Back);
    TOfficeRadioGroup* VersionRadio = new TOfficeRadioGroup(&Back);
    int InstallClicks = 0;
    int VersionClicks = 0;

    MainWindowGroups()
    {
        Back.setFont(DesignFont());
        Back.resize(981, 609);
        Back.SetColor(clWhite);
        Back.SetColorTo(RGBColor(235, 235, 235));
        InstallToGrp->SetCtl3D(true);
        InstallToGrp->setGeometry(19, 522, 185, 56);
        InstallToGrp->SetCaption(QStringLiteral("Download files to"));
        InstallToGrp->SetItems({QStringLiteral("Current directory"), QStringLiteral("System temporary directory")});
        InstallToGrp->SetItemIndex(0);
        VersionRadio->SetCtl3D(true);
        VersionRadio->setGeometry(453, 497, 190, 96);
        VersionRadio->SetCaption(QStringLiteral("Select version to install"));
        VersionRadio->SetColumns(3);
        VersionRadio->SetItems({"9.21", "9.51", "10.0", "10.1", "10.2", "10.3", "11.0", "12.0", "12.1"});
        VersionRadio->SetItemIndex(8);
        InstallToGrp->OnClick = [this](QObject*) { ++InstallClicks; };
        VersionRadio->OnClick = [this](QObject*) { ++VersionClicks; };
    }

    static void Click(QWidget* Button, Qt::MouseButton Which = Qt::LeftButton)
    {
        QTest::mousePress(Button, Which, {}, QPoint(5, 8));
        QTest::mouseRelease(Button, Which, {}, QPoint(5, 8));
    }
};

struct PlacementCase {
    const char* Name;
    int Index;
    QRect Geometry;
};

class VersionRadioPlacement : public MainWindowGroups, public testing::WithParamInterface<PlacementCase> {};

TEST_P(VersionRadioPlacement, ItemsFillColumnsTopToBottom)
{
    EXPECT_EQ(QFontMetrics(VersionRadio->font()).height(), 13);
    EXPECT_EQ(VersionRadio->RadioButtons(GetParam().Index)->geometry(), GetParam().Geometry);
}

INSTANTIATE_TEST_SUITE_P(NineVersions, VersionRadioPlacement,
    testing::Values(PlacementCase{"v921", 0, QRect(8, 14, 60, 26)}, PlacementCase{"v951", 1, QRect(8, 40, 60, 26)},
        PlacementCase{"v100", 2, QRect(8, 66, 60, 26)}, PlacementCase{"v101", 3, QRect(68, 14, 60, 26)},
        PlacementCase{"v102", 4, QRect(68, 40, 60, 26)}, PlacementCase{"v103", 5, QRect(68, 66, 60, 26)},
        PlacementCase{"v110", 6, QRect(128, 14, 60, 26)}, PlacementCase{"v120", 7, QRect(128, 40, 60, 26)},
        PlacementCase{"v121", 8, QRect(128, 66, 60, 26)}),
    caseName);

TEST_F(MainWindowGroups, InstallToGroupStacksItsTwoItems)
{
    EXPECT_EQ(InstallToGrp->RadioButtons(0)->geometry(), QRect(8, 14, 175, 19));
    EXPECT_EQ(InstallToGrp->RadioButtons(1)->geometry(), QRect(8, 33, 175, 19));
    EXPECT_EQ(InstallToGrp->RadioButtons(1)->Caption(), QStringLiteral("System temporary directory"));
    EXPECT_EQ(InstallToGrp->XYToItem(10, 35), 1);
    EXPECT_EQ(InstallToGrp->XYToItem(2, 2), -1);
}

TEST_F(MainWindowGroups, GroupWithoutCaptionStartsHalfALineHigher)
{
    InstallToGrp->SetCaption(QString());
    EXPECT_EQ(InstallToGrp->RadioButtons(0)->geometry(), QRect(8, 14 - 6, 175, 19));
}

TEST_F(MainWindowGroups, ControlIndentShiftsOnlySingleColumnGroups)
{
    InstallToGrp->SetControlIndent(10);
    VersionRadio->SetControlIndent(10);
    EXPECT_EQ(InstallToGrp->RadioButtons(0)->x(), 18);
    EXPECT_EQ(VersionRadio->RadioButtons(0)->x(), 8);
}

TEST_F(MainWindowGroups, RightToLeftGroupsMirrorTheColumns)
{
    VersionRadio->setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(VersionRadio->RadioButtons(0)->geometry(), QRect(190 - 8 - 60, 14, 60, 26));
    EXPECT_EQ(VersionRadio->RadioButtons(8)->geometry(), QRect(190 - 128 - 60, 66, 60, 26));
    EXPECT_EQ(VersionRadio->RadioButtons(0)->GlyphRect().left(), 60 - 12 - 1);
}

TEST_F(MainWindowGroups, ThemedItemsDrawA16PixelGlyph)
{
    VersionRadio->SetThemed(true);
    EXPECT_EQ(VersionRadio->RadioButtons(0)->GlyphRect(), QRect(0, 4, 16, 16));
    snapshot(&Back);
}

TEST_F(MainWindowGroups, SelectedItemsAreChecked)
{
    EXPECT_TRUE(InstallToGrp->RadioButtons(0)->Checked());
    EXPECT_FALSE(InstallToGrp->RadioButtons(1)->Checked());
    EXPECT_TRUE(VersionRadio->RadioButtons(8)->Checked());
    EXPECT_EQ(VersionRadio->Version(), QStringLiteral("1.5.0.9"));
    EXPECT_EQ(VersionRadio->RadioButtons(0)->Version(), QStringLiteral("1.5.0.9"));
    EXPECT_EQ(VersionRadio->GetVersionNr(), 0x01050009u);
}

struct IndexCase {
    const char* Name;
    int Set;
    int Expected;
};

class ItemIndexClamping : public MainWindowGroups, public testing::WithParamInterface<IndexCase> {};

TEST_P(ItemIndexClamping, ClampsWithoutRaisingClicks)
{
    VersionRadio->SetItems({"a", "b", "c"});
    VersionRadio->SetItemIndex(GetParam().Set);
    EXPECT_EQ(VersionRadio->ItemIndex(), GetParam().Expected);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(VersionRadio->RadioButtons(i)->Checked(), i == GetParam().Expected) << i;
    EXPECT_EQ(VersionRadio->Count(), 3);
    EXPECT_EQ(VersionClicks, 0);
}

INSTANTIATE_TEST_SUITE_P(Values, ItemIndexClamping,
    testing::Values(IndexCase{"BeyondTheEnd", 5, 2}, IndexCase{"FarBeyond", 1000000, 2},
        IndexCase{"BelowMinusOne", -7, -1}, IndexCase{"FarBelow", -2000000000, -1}, IndexCase{"Inside", 1, 1},
        IndexCase{"None", -1, -1}),
    caseName);

TEST_F(MainWindowGroups, ShrinkingTheItemsKeepsTheLastItemSelected)
{
    VersionRadio->SetItems({"a", "b", "c"});
    EXPECT_EQ(VersionRadio->ItemIndex(), 2);
    EXPECT_EQ(VersionRadio->Count(), 3);
    EXPECT_TRUE(VersionRadio->RadioButtons(2)->Checked());
    EXPECT_EQ(VersionRadio->RadioButtons(3), nullptr);
    VersionRadio->ClearItems();
    EXPECT_EQ(VersionRadio->ItemIndex(), -1);
    EXPECT_EQ(VersionRadio->Count(), 0);
    VersionRadio->SetItemIndex(3);
    EXPECT_EQ(VersionRadio->ItemIndex(), -1);
    snapshot(VersionRadio);
    EXPECT_EQ(VersionClicks, 0);
}

TEST_F(MainWindowGroups, StoredIndexIsAppliedAfterLoading)
{
    TOfficeRadioGroup group(&Back);
    group.BeginLoad();
    group.SetItemIndex(1);
    group.SetItems({"a", "b"});
    EXPECT_EQ(group.Count(), 0);
    group.EndLoad();
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_TRUE(group.RadioButtons(1)->Checked());
}

struct ColumnsCase {
    const char* Name;
    int Set;
    int Expected;
};

class ColumnsClamping : public MainWindowGroups, public testing::WithParamInterface<ColumnsCase> {};

TEST_P(ColumnsClamping, StayWithinOneToSixteen)
{
    VersionRadio->SetColumns(GetParam().Set);
    EXPECT_EQ(VersionRadio->Columns(), GetParam().Expected);
    const int c = GetParam().Expected;
    const int rows = (9 + c - 1) / c;
    EXPECT_EQ(VersionRadio->RadioButtons(0)->width(), (190 - 10) / c);
    EXPECT_EQ(VersionRadio->RadioButtons(0)->height(), 78 / rows);
}

INSTANTIATE_TEST_SUITE_P(Values, ColumnsClamping,
    testing::Values(ColumnsCase{"Zero", 0, 1}, ColumnsCase{"Negative", -3, 1}, ColumnsCase{"Twenty", 20, 16},
        ColumnsCase{"Hundred", 100, 16}, ColumnsCase{"Two", 2, 2}),
    caseName);

TEST_F(MainWindowGroups, ZeroSizedGroupsAndEmptyItemsDoNotFail)
{
    VersionRadio->resize(0, 0);
    snapshot(&Back);
    InstallToGrp->resize(3, 2);
    InstallToGrp->SetColumns(16);
    snapshot(&Back);
    TOfficeRadioGroup empty(&Back);
    empty.resize(0, 0);
    empty.SetItemIndex(4);
    EXPECT_EQ(empty.ItemIndex(), -1);
    EXPECT_EQ(empty.XYToItem(0, 0), -1);
    snapshot(&empty);
}

// The groups shown in a window, ready for the mouse and the keyboard.
struct ShownGroups : MainWindowGroups {
    void SetUp() override { ASSERT_TRUE(ShowAndActivate(Back)); }
};

TEST_F(ShownGroups, ClickingAnotherItemSelectsItAndClicksOnce)
{
    Click(VersionRadio->RadioButtons(8));
    EXPECT_EQ(VersionClicks, 0); // already selected
    Click(VersionRadio->RadioButtons(3));
    EXPECT_EQ(VersionRadio->ItemIndex(), 3);
    EXPECT_TRUE(VersionRadio->RadioButtons(3)->Checked());
    EXPECT_FALSE(VersionRadio->RadioButtons(8)->Checked());
    EXPECT_EQ(VersionClicks, 1);
    EXPECT_EQ(InstallToGrp->ItemIndex(), 0); // the other group is untouched
    EXPECT_TRUE(VersionRadio->RadioButtons(3)->hasFocus());
}

TEST_F(ShownGroups, GroupHandsItsFocusToTheLastFocusedItemAndSeesItsKeys)
{
    Click(VersionRadio->RadioButtons(4));
    Back.setFocus();
    VersionRadio->setFocus();
    EXPECT_TRUE(VersionRadio->RadioButtons(4)->hasFocus());
    QList<int> keys;
    VersionRadio->OnKeyDown = [&](QObject*, int& Key, Qt::KeyboardModifiers) { keys << Key; };
    QTest::keyClick(VersionRadio->RadioButtons(4), Qt::Key_Down);
    EXPECT_EQ(keys, QList<int>({Qt::Key_Down}));
    EXPECT_TRUE(VersionRadio->RadioButtons(5)->hasFocus());
}

TEST_F(ShownGroups, RightButtonSelectsToo)
{
    Click(InstallToGrp->RadioButtons(1), Qt::RightButton);
    EXPECT_EQ(InstallToGrp->ItemIndex(), 1);
    EXPECT_EQ(InstallClicks, 1);
}

TEST_F(ShownGroups, ReleasingOutsideTheItemChangesNothing)
{
    TOfficeGroupButton* item = InstallToGrp->RadioButtons(1);
    QTest::mousePress(item, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(item->Down());
    QTest::mouseMove(item, QPoint(5, 60));
    QTest::mouseRelease(item, Qt::LeftButton, {}, QPoint(5, 60));
    EXPECT_FALSE(item->Down());
    EXPECT_FALSE(item->Checked());
    EXPECT_EQ(InstallToGrp->ItemIndex(), 0);
    EXPECT_EQ(InstallClicks, 0);
}

TEST_F(ShownGroups, ArrowKeysMoveTheFocusWithWrapAroundAndSpaceSelects)
{
    Click(VersionRadio->RadioButtons(0));
    ASSERT_EQ(VersionRadio->ItemIndex(), 0);
    VersionClicks = 0;
    QTest::keyClick(VersionRadio->RadioButtons(0), Qt::Key_Up);
    EXPECT_TRUE(VersionRadio->RadioButtons(8)->hasFocus());
    QTest::keyClick(VersionRadio->RadioButtons(8), Qt::Key_Right);
    EXPECT_TRUE(VersionRadio->RadioButtons(0)->hasFocus());
    QTest::keyClick(VersionRadio->RadioButtons(0), Qt::Key_Down);
    QTest::keyClick(VersionRadio->RadioButtons(1), Qt::Key_Down);
    ASSERT_TRUE(VersionRadio->RadioButtons(2)->hasFocus());
    EXPECT_EQ(VersionRadio->ItemIndex(), 0); // moving the focus does not select
    EXPECT_EQ(VersionRadio->FocusButtonIdx(), 2);
    QTest::keyClick(VersionRadio->RadioButtons(2), Qt::Key_Space);
    EXPECT_EQ(VersionRadio->ItemIndex(), 2);
    EXPECT_EQ(VersionClicks, 1);
    QTest::keyClick(VersionRadio->RadioButtons(2), Qt::Key_Space);
    EXPECT_EQ(VersionClicks, 1);
}

TEST_F(ShownGroups, ArrowKeysSkipDisabledItems)
{
    VersionRadio->OnIsEnabled = [](QObject*, int Index, bool& Enabled) { Enabled = Index != 1; };
    VersionRadio->LayoutButtons();
    EXPECT_FALSE(VersionRadio->RadioButtons(1)->isEnabled());
    Click(VersionRadio->RadioButtons(0));
    QTest::keyClick(VersionRadio->RadioButtons(0), Qt::Key_Down);
    EXPECT_TRUE(VersionRadio->RadioButtons(2)->hasFocus());
    Click(VersionRadio->RadioButtons(1));
    EXPECT_EQ(VersionRadio->ItemIndex(), 0);
}

TEST_F(ShownGroups, AcceleratorSelectsTheItem)
{
    InstallToGrp->SetItems({QStringLiteral("&Current directory"), QStringLiteral("System &temporary directory")});
    QTest::keyClick(&Back, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(InstallToGrp->ItemIndex(), 1);
    EXPECT_EQ(InstallClicks, 1);
}

TEST_F(ShownGroups, RadioButtonClickIsRaisedWhenAMouseClickChangedTheItem)
{
    int raised = 0;
    VersionRadio->OnRadioButtonClick = [&](QObject*) { ++raised; };
    Click(VersionRadio->RadioButtons(4));
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(VersionRadio->ItemIndex(), 4);
    Click(VersionRadio->RadioButtons(4)); // focused and already checked: nothing changed
    EXPECT_EQ(raised, 1);
    QTest::keyClick(VersionRadio->RadioButtons(4), Qt::Key_Down);
    QTest::keyClick(VersionRadio->RadioButtons(5), Qt::Key_Space);
    Click(VersionRadio->RadioButtons(5)); // selected by the keyboard before the click
    EXPECT_EQ(raised, 1);
    Click(VersionRadio->RadioButtons(6));
    EXPECT_EQ(raised, 2);
}

TEST_F(ShownGroups, DoubleClickReachesTheGroup)
{
    int doubles = 0;
    VersionRadio->OnDblClick = [&](QObject*) { ++doubles; };
    QTest::mouseDClick(VersionRadio->RadioButtons(5), Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_EQ(doubles, 1);
}

TEST_F(ShownGroups, FocusedItemShowsADottedFocusRectangle)
{
    TOfficeGroupButton* item = InstallToGrp->RadioButtons(1);
    const QImage before = snapshot(item);
    Click(item);
    ASSERT_TRUE(item->Focused());
    const QImage after = snapshot(item);
    // The dotted line runs along the left edge, from the caption's top - 1 to the bottom.
    int dots = 0;
    for (int y = 3; y < item->height(); ++y)
        dots += pixelAt(after, 0, y) == Rgb(clWindowText) ? 1 : 0;
    EXPECT_GE(dots, (item->height() - 3) / 2 - 1);
    EXPECT_NE(pixelAt(before, 0, 3), Rgb(clWindowText));
}

// Glyph pixels as drawn over the gradient: the bitmap where it is opaque, the panel elsewhere.
struct GlyphLook : MainWindowGroups {
    QImage ItemGlyph(int Index)
    {
        TOfficeGroupButton* item = InstallToGrp->RadioButtons(Index);
        const QPoint at = item->mapTo(&Back, item->GlyphRect().topLeft());
        return snapshot(&Back).copy(QRect(at, QSize(RadioGlyphSize, RadioGlyphSize)));
    }
    static void ExpectGlyph(const QImage& Drawn, const QImage& Bitmap)
    {
        const QColor key = pixelAt(Bitmap, 0, Bitmap.height() - 1);
        for (int y = 0; y < Bitmap.height(); ++y)
            for (int x = 0; x < Bitmap.width(); ++x) {
                if (pixelAt(Bitmap, x, y) == key) // transparent: the panel's grey shows
                    ASSERT_EQ(pixelAt(Drawn, x, y).red(), pixelAt(Drawn, x, y).blue()) << x << "," << y;
                else
                    ASSERT_EQ(pixelAt(Drawn, x, y).rgb(), pixelAt(Bitmap, x, y).rgb()) << x << "," << y;
            }
    }
};

TEST_F(GlyphLook, CheckedAndUncheckedItemsShowTheirBitmaps)
{
    ExpectGlyph(ItemGlyph(0), RadioGlyphBitmap(true, gpNormal));
    ExpectGlyph(ItemGlyph(1), RadioGlyphBitmap(false, gpNormal));
    // The bottom-left corner shows the band of row 570: band 119, grey 255 - Round(18.6).
    EXPECT_EQ(pixelAt(ItemGlyph(1), 0, 11), Grey(236));
}

TEST_F(GlyphLook, HotAndPressedItemsTintTheirGlyph)
{
    InstallToGrp->SetShowFocus(false); // the focus rectangle's dots would cross the glyph
    ASSERT_TRUE(ShowAndActivate(Back));
    TOfficeGroupButton* item = InstallToGrp->RadioButtons(1);
    QEnterEvent enter(QPointF(5, 8), QPointF(5, 8), item->mapToGlobal(QPointF(5, 8)));
    QCoreApplication::sendEvent(item, &enter);
    ASSERT_TRUE(item->Hot());
    ExpectGlyph(ItemGlyph(1), RadioGlyphBitmap(false, gpHot));
    QTest::mousePress(item, Qt::LeftButton, {}, QPoint(5, 8));
    ExpectGlyph(ItemGlyph(1), RadioGlyphBitmap(false, gpPressed));
    QTest::mouseRelease(item, Qt::LeftButton, {}, QPoint(5, 8));
    ExpectGlyph(ItemGlyph(1), RadioGlyphBitmap(true, gpHot));
}

TEST_F(GlyphLook, GlyphBitmapsKeepTheirBottomLeftPixelForTransparency)
{
    for (const bool checked : {false, true})
        for (const TGlyphPointerState pointer : {gpNormal, gpHot, gpPressed}) {
            const QImage bitmap = RadioGlyphBitmap(checked, pointer);
            EXPECT_EQ(bitmap.size(), QSize(12, 12));
            EXPECT_EQ(pixelAt(TransparentGlyph(bitmap), 0, 11).alpha(), 0);
            EXPECT_EQ(pixelAt(TransparentGlyph(bitmap), 6, 6).alpha(), 255);
        }
    EXPECT_NE(RadioGlyphBitmap(false, gpNormal), RadioGlyphBitmap(false, gpHot));
    EXPECT_NE(RadioGlyphBitmap(false, gpHot), RadioGlyphBitmap(false, gpPressed));
}

TEST_F(GlyphLook, CaptionStartsEighteenPixelsInAndGreysOutWhenDisabled)
{
    TOfficeGroupButton* item = InstallToGrp->RadioButtons(1);
    const QPoint origin = item->mapTo(&Back, QPoint(0, 0));
    const QRect caption(origin.x() + 18, origin.y() + 4, 150, 13);
    const QImage enabled = snapshot(&Back);
    EXPECT_GT(DarkestLevel(enabled, QRect(origin.x() + 13, origin.y() + 4, 5, 13)), 200); // gap after the glyph
    EXPECT_LT(DarkestLevel(enabled, QRect(origin.x() + 18, origin.y() + 4, 6, 13)), 100);
    EXPECT_LT(DarkestLevel(enabled, caption), 60);
    EXPECT_EQ(item->CtrlWidth(), 18 + QFontMetrics(item->font()).horizontalAdvance(item->Caption()));
    InstallToGrp->setEnabled(false);
    const QImage disabled = snapshot(&Back);
    EXPECT_GE(DarkestLevel(disabled, caption), 120);
    EXPECT_LE(DarkestLevel(disabled, caption), 140);
}

// Stand-alone radio buttons of one parent exclude each other by group index.
struct LooseButtons : testing::Test {
    QWidget Window;
    TOfficeRadioButton* First = new TOfficeRadioButton(&Window);
    TOfficeRadioButton* Second = new TOfficeRadioButton(&Window);
    TOfficeRadioButton* Other = new TOfficeRadioButton(&Window);
    int Clicks = 0;
    LooseButtons()
    {
        Window.setFont(DesignFont());
        Window.resize(200, 80);
        First->move(0, 0);
        Second->move(0, 20);
        Other->move(0, 40);
        Other->SetGroupIndex(1);
        First->SetCaption(QStringLiteral("First"));
        First->OnClick = [this](QObject*) { ++Clicks; };
    }
};

TEST_F(LooseButtons, CheckingOneUnchecksTheOthersOfItsGroupIndexOnly)
{
    Other->SetChecked(true);
    First->SetChecked(true);
    Second->SetChecked(true);
    EXPECT_FALSE(First->Checked());
    EXPECT_TRUE(Second->Checked());
    EXPECT_TRUE(Other->Checked());
    EXPECT_EQ(Clicks, 0); // checking in code outside a radio group reports nothing
}

TEST_F(LooseButtons, MouseClickChecksAndClicks)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    Second->SetChecked(true);
    QTest::mouseClick(First, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(First->Checked());
    EXPECT_FALSE(Second->Checked());
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(First->size(), QSize(135, 20));
}

// Groups that are tab stops, with a line edit after them, as the main window has them.
struct TabStopGroups : ShownGroups {
    QLineEdit* Edit = nullptr;
    void SetUp() override
    {
        InstallToGrp->SetTabStop(true);
        VersionRadio->SetTabStop(true);
        Edit = new QLineEdit(&Back);
        Edit->setGeometry(700, 10, 100, 20);
        ShownGroups::SetUp();
        Edit->setFocus();
        ASSERT_TRUE(waitFor([&] { return Edit->hasFocus(); }));
    }
    void Tab(bool Forward = true) { QTest::keyClick(QApplication::focusWidget(), Forward ? Qt::Key_Tab : Qt::Key_Backtab); }
};

TEST_F(TabStopGroups, TabEntersEachGroupOnItsSelectedItemAndLeavesInOneStep)
{
    Tab();
    EXPECT_TRUE(InstallToGrp->RadioButtons(0)->hasFocus());
    Tab();
    EXPECT_TRUE(VersionRadio->RadioButtons(8)->hasFocus());
    Tab();
    EXPECT_TRUE(Edit->hasFocus());
    Tab(false);
    EXPECT_TRUE(VersionRadio->RadioButtons(8)->hasFocus());
    Tab(false);
    EXPECT_TRUE(InstallToGrp->RadioButtons(0)->hasFocus());
    EXPECT_EQ(InstallClicks + VersionClicks, 0) << "passing through selects nothing";
}

TEST_F(TabStopGroups, ArrowsMoveSpaceSelectsAndTabThenComesBackToTheNewSelection)
{
    Tab(false);
    ASSERT_TRUE(VersionRadio->RadioButtons(8)->hasFocus());
    QTest::keyClick(VersionRadio->RadioButtons(8), Qt::Key_Up);
    ASSERT_TRUE(VersionRadio->RadioButtons(7)->hasFocus());
    EXPECT_EQ(VersionRadio->ItemIndex(), 8);
    QTest::keyClick(VersionRadio->RadioButtons(7), Qt::Key_Space);
    EXPECT_EQ(VersionRadio->ItemIndex(), 7);
    EXPECT_EQ(VersionClicks, 1);
    Tab();
    ASSERT_TRUE(Edit->hasFocus());
    Tab(false);
    EXPECT_TRUE(VersionRadio->RadioButtons(7)->hasFocus());
}

TEST_F(TabStopGroups, SelectionByCodeMovesTheTabStop)
{
    VersionRadio->SetItemIndex(2);
    Tab(false);
    EXPECT_TRUE(VersionRadio->RadioButtons(2)->hasFocus());
}

TEST_F(TabStopGroups, WithADisabledSelectionTheFirstEnabledItemIsTheTabStop)
{
    VersionRadio->OnIsEnabled = [](QObject*, int Index, bool& Enabled) { Enabled = Index != 0 && Index != 8; };
    VersionRadio->LayoutButtons();
    Tab(false);
    EXPECT_TRUE(VersionRadio->RadioButtons(1)->hasFocus());
}

TEST_F(TabStopGroups, WithoutItemsTheGroupIsPassedOver)
{
    VersionRadio->ClearItems();
    Tab(false);
    EXPECT_TRUE(InstallToGrp->RadioButtons(0)->hasFocus());
}

TEST_F(ShownGroups, GroupsAreNoTabStopsUnlessAsked)
{
    for (TOfficeRadioGroup* group : {InstallToGrp, VersionRadio}) {
        EXPECT_FALSE(group->TabStop());
        for (int i = 0; i < group->Count(); ++i)
            EXPECT_FALSE(group->RadioButtons(i)->focusPolicy() & Qt::TabFocus) << i;
    }
}

} // namespace
