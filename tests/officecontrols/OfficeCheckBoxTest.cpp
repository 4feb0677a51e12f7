#include "controls/OfficeCheckBox.h"
#include "controls/OfficeGlyphs.h"
#include "tests/officecontrols/OfficeTestSupport.h"
#include "tests/support/CaseName.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// A check box in a shown window, counting its clicks.
struct CheckBox : testing::Test {
    QWidget Window;
    TOfficeCheckBox* Box = new TOfficeCheckBox(&Window);
    int Clicks = 0;
    CheckBox()
    {
        Window.resize(200, 60);
        Window.setFont(DesignFont());
        Box->move(10, 10);
        Box->SetCaption(QStringLiteral("Keep the setup file"));
        Box->OnClick = [this](QObject*) { ++Clicks; };
    }
    void Click(Qt::MouseButton Which = Qt::LeftButton)
    {
        QTest::mousePress(Box, Which, {}, QPoint(5, 8));
        QTest::mouseRelease(Box, Which, {}, QPoint(5, 8));
    }
    QImage Glyph() { return snapshot(Box).copy(Box->GlyphRect()); }
};

TEST_F(CheckBox, StartsUncheckedWithItsDefaults)
{
    TOfficeCheckBox fresh;
    EXPECT_EQ(fresh.size(), QSize(120, 20));
    EXPECT_EQ(fresh.State(), cbUnchecked);
    EXPECT_FALSE(fresh.AllowGrayed());
    EXPECT_FALSE(fresh.ReadOnly());
    EXPECT_TRUE(fresh.ShowFocus());
    EXPECT_EQ(fresh.DisabledFontColor(), RGBColor(128, 128, 128));
    EXPECT_EQ(fresh.Version(), QStringLiteral("1.5.0.9"));
}

struct CycleCase {
    const char* Name;
    bool AllowGrayed;
    TCheckBoxState Start;
    std::vector<TCheckBoxState> AfterClicks;
};

class ClickCycle : public CheckBox, public testing::WithParamInterface<CycleCase> {};

TEST_P(ClickCycle, EachClickAdvancesTheStateAndClicksOnce)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    Box->SetAllowGrayed(GetParam().AllowGrayed);
    Box->SetState(GetParam().Start);
    std::vector<TCheckBoxState> seen;
    for (size_t i = 0; i < GetParam().AfterClicks.size(); ++i) {
        Click();
        seen.push_back(Box->State());
    }
    EXPECT_EQ(seen, GetParam().AfterClicks);
    EXPECT_EQ(Clicks, int(seen.size()));
}

INSTANTIATE_TEST_SUITE_P(States, ClickCycle,
    testing::Values(CycleCase{"TwoStates", false, cbUnchecked, {cbChecked, cbUnchecked, cbChecked}},
        CycleCase{"AllowGrayedCyclesFourClicks", true, cbUnchecked, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
        CycleCase{"GrayedBecomesCheckedWithoutAllowGrayed", false, cbGrayed, {cbChecked, cbUnchecked}}),
    caseName);

TEST_F(CheckBox, ReadOnlyBoxClicksButKeepsItsState)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    Box->SetReadOnly(true);
    Click();
    EXPECT_EQ(Box->State(), cbUnchecked);
    EXPECT_EQ(Clicks, 1);
    QTest::keyClick(Box, Qt::Key_Space);
    EXPECT_EQ(Box->State(), cbUnchecked);
    EXPECT_EQ(Clicks, 2);
}

TEST_F(CheckBox, RightClickDoesNotToggle)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    Click(Qt::RightButton);
    EXPECT_EQ(Box->State(), cbUnchecked);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(CheckBox, ReleaseOutsideTheBoxDoesNotToggle)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    QTest::mousePress(Box, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_TRUE(Box->Down());
    QTest::mouseMove(Box, QPoint(5, 40));
    QTest::mouseRelease(Box, Qt::LeftButton, {}, QPoint(5, 40));
    EXPECT_FALSE(Box->Down());
    EXPECT_EQ(Box->State(), cbUnchecked);
    EXPECT_EQ(Clicks, 0);
}

TEST_F(CheckBox, SpaceTogglesAndClicks)
{
    ASSERT_TRUE(ShowAndActivate(Window));
    Box->setFocus();
    ASSERT_TRUE(waitFor([&] { return Box->hasFocus(); }));
    QTest::keyClick(Box, Qt::Key_Space);
    EXPECT_TRUE(Box->Checked());
    EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBox, AcceleratorTogglesAndTakesTheFocus)
{
    Box->SetCaption(QStringLiteral("&Keep the setup file"));
    ASSERT_TRUE(ShowAndActivate(Window));
    QTest::keyClick(&Window, Qt::Key_K, Qt::AltModifier);
    EXPECT_TRUE(Box->Checked());
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(Box->hasFocus());
}

TEST_F(CheckBox, SettingTheStateInCodeChangesTheGlyphWithoutAClick)
{
    const QImage unchecked = Glyph();
    Box->SetChecked(true);
    const QImage checked = Glyph();
    Box->SetState(cbGrayed);
    const QImage grayed = Glyph();
    EXPECT_NE(unchecked, checked);
    EXPECT_NE(checked, grayed);
    EXPECT_LT(DarkestLevel(checked, QRect(2, 2, 8, 8)), 60);
    EXPECT_GT(DarkestLevel(unchecked, QRect(2, 2, 8, 8)), 200);
    EXPECT_EQ(Clicks, 0);
}

struct MessageCase {
    const char* Name;
    int Value;
    TCheckBoxState Expected;
    int Clicks;
};

class CheckStateMessage : public CheckBox, public testing::WithParamInterface<MessageCase> {};

TEST_P(CheckStateMessage, SetsTheStateAndClicksForCheckedOrUnchecked)
{
    Box->SetState(cbChecked);
    Box->SetState(GetParam().Value == 0 ? cbChecked : cbUnchecked);
    Box->CheckStateMessage(GetParam().Value);
    EXPECT_EQ(Box->State(), GetParam().Expected);
    EXPECT_EQ(Clicks, GetParam().Clicks);
}

INSTANTIATE_TEST_SUITE_P(Values, CheckStateMessage,
    testing::Values(MessageCase{"Uncheck", 0, cbUnchecked, 1}, MessageCase{"Check", 1, cbChecked, 1},
        MessageCase{"Gray", 2, cbGrayed, 0}, MessageCase{"OtherValuesAreIgnored", 7, cbUnchecked, 0},
        MessageCase{"NegativeIsIgnored", -1, cbUnchecked, 0}),
    caseName);

TEST_F(CheckBox, AutoSizeFitsGlyphAndCaption)
{
    const int text = QFontMetrics(Box->font()).horizontalAdvance(Box->Caption());
    Box->SetAutoSize(true);
    EXPECT_EQ(Box->width(), 16 + text + 4);
    Box->SetCaption(QStringLiteral("Keep"));
    EXPECT_EQ(Box->width(), 16 + QFontMetrics(Box->font()).horizontalAdvance(QStringLiteral("Keep")) + 4);
}

TEST_F(CheckBox, GlyphAndCaptionArePlacedForTheDesignFont)
{
    EXPECT_EQ(Box->GlyphRect(), QRect(0, 4, 12, 12)); // (13 - 12) div 2 + 4
    EXPECT_EQ(Box->CaptionRect().topLeft(), QPoint(16, 4));
    Box->SetButtonVertAlign(tlBottom);
    EXPECT_EQ(Box->GlyphRect(), QRect(0, 8, 12, 12));
    Box->SetAlignment(taRightJustify);
    EXPECT_EQ(Box->GlyphRect().left(), 120 - 12 - 1);
}

TEST_F(CheckBox, FocusedBoxShowsAFocusRectangleAroundItsCaption)
{
    const QImage before = snapshot(Box);
    ASSERT_TRUE(ShowAndActivate(Window));
    Click();
    ASSERT_TRUE(Box->Focused());
    const QImage after = snapshot(Box);
    const QRect caption = Box->CaptionRect();
    int dots = 0;
    for (int y = caption.top(); y <= caption.top() + 13; ++y)
        dots += pixelAt(after, caption.left(), y) == Rgb(clWindowText) ? 1 : 0;
    EXPECT_GE(dots, 6);
    EXPECT_NE(pixelAt(before, caption.left(), caption.top()), Rgb(clWindowText));
}

TEST_F(CheckBox, DisabledCaptionIsGrey)
{
    const QRect caption = Box->CaptionRect();
    EXPECT_LT(DarkestLevel(snapshot(Box), caption), 60);
    Box->setEnabled(false);
    const int disabled = DarkestLevel(snapshot(Box), caption);
    EXPECT_GE(disabled, 120);
    EXPECT_LE(disabled, 140);
}

TEST_F(CheckBox, ZeroSizedBoxPaintsWithoutError)
{
    const QSize shown = Box->size();
    Box->resize(0, 0);
    EXPECT_TRUE(snapshot(Box).isNull());
    Box->resize(1, 1);
    EXPECT_EQ(snapshot(Box).size(), QSize(1, 1));
    // Grown back, the box shows its caption as before.
    Box->resize(shown);
    EXPECT_LT(DarkestLevel(snapshot(Box), Box->CaptionRect()), 60);
}

TEST(CheckGlyphs, NineBitmapsKeepTheirBottomLeftPixelForTransparency)
{
    for (const TCheckBoxState state : {cbUnchecked, cbChecked, cbGrayed})
        for (const TGlyphPointerState pointer : {gpNormal, gpHot, gpPressed}) {
            const QImage bitmap = CheckGlyphBitmap(state, pointer);
            EXPECT_EQ(bitmap.size(), QSize(13, 13));
            EXPECT_EQ(pixelAt(TransparentGlyph(bitmap), 0, 12).alpha(), 0);
            EXPECT_EQ(pixelAt(TransparentGlyph(bitmap), 0, 0).alpha(), 255);
        }
}

} // namespace
