#include "controls/FrameGroupBox.h"
#include "controls/OfficeCheckBox.h"
#include "tests/officecontrols/OfficeTestSupport.h"
#include "tests/support/CaseName.h"

#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

// A group box of 200 x 100 in Tahoma 8 pt, the window font, as the main window's groups are set up.
struct GroupBox : testing::Test {
    TFrameGroupBox Box;
    GroupBox()
    {
        Box.setFont(DesignFont());
        Box.resize(200, 100);
        Box.SetCtl3D(true);
    }
    int TextWidth(const QString& Text) const { return QFontMetrics(Box.font()).horizontalAdvance(Text); }
};

TEST_F(GroupBox, StartsAsASilverSingleFrameWithAHiddenCheckBox)
{
    TFrameGroupBox fresh;
    EXPECT_TRUE(fresh.Transparent());
    EXPECT_EQ(fresh.BorderColor(), RGBColor(192, 192, 192));
    EXPECT_EQ(fresh.BorderStyle(), bsSingle);
    EXPECT_EQ(fresh.CaptionPosition(), cpTopLeft);
    EXPECT_EQ(fresh.ImageIndex(), -1);
    EXPECT_FALSE(fresh.RoundEdges());
    EXPECT_EQ(fresh.DisabledFontColor(), RGBColor(128, 128, 128));
    EXPECT_FALSE(fresh.CheckBox().Visible());
    EXPECT_TRUE(fresh.CheckBox().Themed());
    EXPECT_EQ(fresh.CheckBox().Action(), caDisable);
    EXPECT_EQ(fresh.CheckBox().Position(), TGroupBoxCheck::cpLeft);
    EXPECT_EQ(fresh.CheckBox().State(), cbUnchecked);
    EXPECT_EQ(fresh.Version(), QStringLiteral("1.1.1.1"));
    EXPECT_EQ(fresh.GetVersionNr(), 0x01010101u);
}

struct BandCase {
    const char* Name;
    TCaptionPosition Position;
    bool Top;
    int Align; // 0 left, 1 right, 2 centre
};

class CaptionBand : public GroupBox, public testing::WithParamInterface<BandCase> {};

TEST_P(CaptionBand, BandSitsAtItsPosition)
{
    const BandCase& c = GetParam();
    Box.SetCaption(QStringLiteral("Download files to"));
    Box.SetCaptionPosition(c.Position);
    const int w = TextWidth(QStringLiteral("Download files to"));
    const int x = c.Align == 0 ? 8 : c.Align == 1 ? 200 - 8 - w : (200 - w) / 2;
    const int H = 13 + 2;
    EXPECT_EQ(Box.CaptionBandRect(), QRect(x, c.Top ? 0 : 100 - H, w, H));
    EXPECT_EQ(Box.CaptionHeight(), H);
    if (c.Top)
        EXPECT_EQ(Box.FrameRect(), QRect(0, 7, 200, 93));
    else
        EXPECT_EQ(Box.FrameRect(), QRect(0, 0, 200, 93));
    EXPECT_EQ(Box.ChildArea(), c.Top ? QRect(3, 16, 194, 81) : QRect(3, 3, 194, 81));
}

INSTANTIATE_TEST_SUITE_P(Positions, CaptionBand,
    testing::Values(BandCase{"TopLeft", cpTopLeft, true, 0}, BandCase{"TopRight", cpTopRight, true, 1},
        BandCase{"TopCenter", cpTopCenter, true, 2}, BandCase{"BottomLeft", cpBottomLeft, false, 0},
        BandCase{"BottomRight", cpBottomRight, false, 1}, BandCase{"BottomCenter", cpBottomCenter, false, 2}),
    caseName);

struct FrameWidthCase {
    const char* Name;
    TBorderStyle Style;
    bool Ctl3D;
    int Width;
};

class FrameWidths : public GroupBox, public testing::WithParamInterface<FrameWidthCase> {};

TEST_P(FrameWidths, FollowStyleAndThreeDLook)
{
    Box.SetBorderStyle(GetParam().Style);
    Box.SetCtl3D(GetParam().Ctl3D);
    EXPECT_EQ(Box.FrameWidth(), GetParam().Width);
    EXPECT_EQ(Box.CaptionHeight(), qMax(2, GetParam().Width)); // an empty band is 2 high
    EXPECT_EQ(Box.FrameRect(), Box.rect());
}

INSTANTIATE_TEST_SUITE_P(Styles, FrameWidths,
    testing::Values(FrameWidthCase{"None", bsNone, true, 1}, FrameWidthCase{"SingleFlat", bsSingle, false, 1},
        FrameWidthCase{"Single3D", bsSingle, true, 2}, FrameWidthCase{"DoubleFlat", bsDouble, false, 2},
        FrameWidthCase{"Double3D", bsDouble, true, 4}),
    caseName);

TEST_F(GroupBox, DoubleFrameAtTheBottomStopsOnePixelLower)
{
    Box.SetCaption(QStringLiteral("x"));
    Box.SetBorderStyle(bsDouble);
    Box.SetCaptionPosition(cpBottomLeft);
    EXPECT_EQ(Box.FrameRect(), QRect(0, 0, 200, 94));
}

TEST_F(GroupBox, CheckBoxTakesTheLeftOrRightEndOfTheBand)
{
    Box.SetCaption(QStringLiteral("Options"));
    Box.CheckBox().SetVisible(true);
    Box.CheckBox().SetThemed(false);
    const int w = TextWidth(QStringLiteral("Options"));
    EXPECT_EQ(Box.CaptionBandRect(), QRect(8, 0, w + 14 + 3, 16));
    EXPECT_EQ(Box.CheckBoxRect(), QRect(8, 1, 14, 14));
    EXPECT_EQ(Box.TextRect(), QRect(8 + 17, 0, w, 16));
    Box.CheckBox().SetPosition(TGroupBoxCheck::cpRight);
    EXPECT_EQ(Box.CheckBoxRect(), QRect(8 + w + 3, 1, 14, 14));
    EXPECT_EQ(Box.TextRect(), QRect(8, 0, w, 16));
    Box.CheckBox().SetThemed(true);
    EXPECT_EQ(Box.CaptionBandRect().height(), 18);
    Box.SetCaption(QString());
    EXPECT_EQ(Box.CaptionBandRect(), QRect(8, 0, 16, 18)); // no gap without text
}

TEST_F(GroupBox, FrameIsInterruptedBehindTheCaption)
{
    Box.SetCaption(QStringLiteral("Download files to"));
    Box.setAutoFillBackground(false);
    const QImage image = snapshot(&Box);
    const QColor silver(192, 192, 192);
    const QRect band = Box.CaptionBandRect();
    EXPECT_EQ(pixelAt(image, 0, 7), silver);
    EXPECT_EQ(pixelAt(image, band.left() - 2, 7), silver);
    EXPECT_NE(pixelAt(image, band.left() - 1, 7), silver);
    EXPECT_NE(pixelAt(image, band.right() + 1, 7), silver);
    EXPECT_EQ(pixelAt(image, band.right() + 2, 7), silver);
    EXPECT_EQ(pixelAt(image, 0, 99), silver);
    EXPECT_EQ(pixelAt(image, 199, 50), silver);
    EXPECT_LT(DarkestLevel(image, band), 80); // the caption text
    EXPECT_GE(InkBounds(image, band, pixelAt(image, 100, 50)).left(), 8);
}

TEST(GroupBoxTransparency, ParentBackgroundShowsThroughUnlessOpaque)
{
    QWidget parent;
    parent.resize(240, 140);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(200, 30, 30));
    parent.setPalette(palette);
    auto* box = new TFrameGroupBox(&parent);
    box->setGeometry(20, 20, 200, 100);
    box->SetCaption(QStringLiteral("caption"));
    QPalette boxPalette = box->palette();
    boxPalette.setColor(QPalette::Window, QColor(10, 10, 240));
    box->setPalette(boxPalette);
    EXPECT_EQ(pixelAt(snapshot(&parent), 120, 70), QColor(200, 30, 30));
    box->SetTransparent(false);
    EXPECT_EQ(pixelAt(snapshot(&parent), 120, 70), QColor(10, 10, 240));
}

TEST_F(GroupBox, ZeroSizedBoxPaintsWithoutError)
{
    Box.SetCaption(QStringLiteral("caption"));
    Box.CheckBox().SetVisible(true);
    for (const QSize size : {QSize(0, 0), QSize(1, 1), QSize(5, 3)}) {
        Box.resize(size);
        EXPECT_EQ(snapshot(&Box).size(), size);
    }
    // Grown back, the box shows its caption as before.
    Box.resize(200, 100);
    EXPECT_LT(DarkestLevel(snapshot(&Box), Box.CaptionBandRect()), 80);
}

// A group box with a visible caption check box over two children, shown on screen.
struct CaptionCheckBox : GroupBox {
    QWidget Window;
    TFrameGroupBox* Group = new TFrameGroupBox(&Window);
    TOfficeCheckBox* First = new TOfficeCheckBox(Group);
    TOfficeCheckBox* Second = new TOfficeCheckBox(Group);
    int Clicks = 0;
    CaptionCheckBox()
    {
        Window.resize(300, 200);
        Group->setFont(DesignFont());
        Group->setGeometry(10, 10, 250, 150);
        Group->SetCaption(QStringLiteral("Options"));
        Group->CheckBox().SetVisible(true);
        Group->CheckBox().SetThemed(false);
        Group->CheckBox().SetChecked(true);
        First->setGeometry(10, 30, 120, 20);
        Second->setGeometry(10, 60, 120, 20);
        Group->OnCheckBoxClick = [this](QObject*) { ++Clicks; };
    }
    void ClickSquare()
    {
        const QPoint centre = Group->CheckBoxRect().center();
        QTest::mousePress(Group, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(Group, Qt::LeftButton, {}, centre);
    }
};

TEST_F(CaptionCheckBox, ClicksToggleAndCycleThroughGrayedWhenAllowed)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    ClickSquare();
    EXPECT_EQ(Group->CheckBox().State(), cbUnchecked);
    ClickSquare();
    EXPECT_EQ(Group->CheckBox().State(), cbChecked);
    Group->CheckBox().SetAllowGrayed(true);
    Group->CheckBox().SetState(cbUnchecked);
    Clicks = 0;
    std::vector<TCheckBoxState> seen;
    for (int i = 0; i < 3; ++i) {
        ClickSquare();
        seen.push_back(Group->CheckBox().State());
    }
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(Clicks, 3);
}

TEST_F(CaptionCheckBox, ReleaseAwayFromTheSquareChangesNothing)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    const QPoint centre = Group->CheckBoxRect().center();
    QTest::mousePress(Group, Qt::LeftButton, {}, centre);
    EXPECT_TRUE(Group->CheckBox().Down());
    QTest::mouseMove(Group, QPoint(120, 80));
    EXPECT_FALSE(Group->CheckBox().Down());
    QTest::mouseRelease(Group, Qt::LeftButton, {}, QPoint(120, 80));
    EXPECT_EQ(Group->CheckBox().State(), cbChecked);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(CaptionCheckBox, DisableActionEnablesChildrenExactlyWhenChecked)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    EXPECT_TRUE(First->isEnabled());
    ClickSquare();
    EXPECT_FALSE(First->isEnabled());
    EXPECT_FALSE(Second->isEnabled());
    ClickSquare();
    EXPECT_TRUE(First->isEnabled());
    Group->CheckBox().SetAction(caControlsDisable);
    Group->CheckBox().SetChecked(false);
    EXPECT_FALSE(Second->isEnabled());
}

TEST_F(CaptionCheckBox, GrayedOrHiddenBoxLeavesChildrenAlone)
{
    Group->CheckBox().SetAllowGrayed(true);
    Group->CheckBox().SetState(cbGrayed);
    EXPECT_TRUE(First->isEnabled());
    Group->CheckBox().SetVisible(false);
    Group->CheckBox().SetState(cbUnchecked);
    EXPECT_TRUE(First->isEnabled());
}

TEST_F(CaptionCheckBox, CheckAllActionHandsItsStateToOfficeCheckBoxes)
{
    int childClicks = 0;
    First->OnClick = [&](QObject*) { ++childClicks; };
    Second->OnClick = [&](QObject*) { ++childClicks; };
    Group->CheckBox().SetAction(caCheckAll);
    Group->CheckBox().SetChecked(false);
    EXPECT_FALSE(First->Checked());
    Group->CheckBox().SetChecked(true);
    EXPECT_TRUE(First->Checked());
    EXPECT_TRUE(Second->Checked());
    EXPECT_EQ(childClicks, 4);
}

TEST_F(CaptionCheckBox, DisablingTheGroupUnchecksTheBoxAndDisablesChildren)
{
    Group->setEnabled(false);
    EXPECT_EQ(Group->CheckBox().State(), cbUnchecked);
    EXPECT_FALSE(First->isEnabled());
    Group->setEnabled(true);
    EXPECT_EQ(Group->CheckBox().State(), cbChecked);
    EXPECT_TRUE(First->isEnabled());
}

TEST_F(CaptionCheckBox, HintShowsOnlyOverTheSquare)
{
    Group->CheckBox().SetHint(QStringLiteral("Turn the options on"));
    ASSERT_TRUE(ShowAndActivate(Window));
    const QPoint square = Group->CheckBoxRect().center();
    QHelpEvent over(QEvent::ToolTip, square, Group->mapToGlobal(square));
    QCoreApplication::sendEvent(Group, &over);
    EXPECT_TRUE(over.isAccepted());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Turn the options on"));
    QHelpEvent away(QEvent::ToolTip, QPoint(120, 80), Group->mapToGlobal(QPoint(120, 80)));
    QCoreApplication::sendEvent(Group, &away);
    EXPECT_FALSE(away.isAccepted()); // nothing to show there
}

TEST_F(CaptionCheckBox, SquareShowsTheGlyphOfItsState)
{
    const QRect square = Group->CheckBoxRect();
    const QImage checked = snapshot(Group).copy(square.left(), square.top(), 12, 12);
    Group->CheckBox().SetChecked(false);
    const QImage unchecked = snapshot(Group).copy(square.left(), square.top(), 12, 12);
    EXPECT_NE(checked, unchecked);
    EXPECT_LT(DarkestLevel(checked, QRect(2, 2, 8, 8)), 60); // the tick
    EXPECT_GT(DarkestLevel(unchecked, QRect(2, 2, 8, 8)), 200);
}

} // namespace
