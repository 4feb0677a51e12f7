#include "controls/GlowButtonAppearance.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace {

struct DefaultCase
{
    const char* Name;
    TColor (TGlowButtonAppearance::*Get)() const;
    TColor Expected;
};

class AppearanceDefault : public testing::TestWithParam<DefaultCase> {};

TEST_P(AppearanceDefault, MatchesTheDesign)
{
    const TGlowButtonAppearance Appearance;
    EXPECT_EQ((Appearance.*GetParam().Get)(), GetParam().Expected);
}

using A = TGlowButtonAppearance;

INSTANTIATE_TEST_SUITE_P(
    Colours, AppearanceDefault,
    testing::Values(DefaultCase{"Color", &A::Color, 0xFFFFFF}, DefaultCase{"ColorTo", &A::ColorTo, 0xFFFFFF},
                    DefaultCase{"ColorMirror", &A::ColorMirror, 0xC0C0C0},
                    DefaultCase{"ColorMirrorTo", &A::ColorMirrorTo, 0xFFFFFF},
                    DefaultCase{"ColorHot", &A::ColorHot, 0xF5F0E1}, DefaultCase{"ColorHotTo", &A::ColorHotTo, 0xF9D2B2},
                    DefaultCase{"ColorMirrorHot", &A::ColorMirrorHot, 0xF5C8AD},
                    DefaultCase{"ColorMirrorHotTo", &A::ColorMirrorHotTo, 0xFFF8F4},
                    DefaultCase{"ColorDown", &A::ColorDown, 0xF5D8CA},
                    DefaultCase{"ColorDownTo", &A::ColorDownTo, 0xF9BDA0},
                    DefaultCase{"ColorMirrorDown", &A::ColorMirrorDown, 0xF5B49C},
                    DefaultCase{"ColorMirrorDownTo", &A::ColorMirrorDownTo, 0xFFDFDC},
                    DefaultCase{"ColorChecked", &A::ColorChecked, 0xF5D8CA},
                    DefaultCase{"ColorCheckedTo", &A::ColorCheckedTo, 0xF9BDA0},
                    DefaultCase{"ColorMirrorChecked", &A::ColorMirrorChecked, 0xF5B49C},
                    DefaultCase{"ColorMirrorCheckedTo", &A::ColorMirrorCheckedTo, 0xFFDFDC},
                    DefaultCase{"ColorDisabled", &A::ColorDisabled, 0xF2F2F2},
                    DefaultCase{"ColorDisabledTo", &A::ColorDisabledTo, 0xF2F2F2},
                    DefaultCase{"ColorMirrorDisabled", &A::ColorMirrorDisabled, 0xB6B6B6},
                    DefaultCase{"ColorMirrorDisabledTo", &A::ColorMirrorDisabledTo, 0xF2F2F2},
                    DefaultCase{"BorderColor", &A::BorderColor, 0xC0C0C0},
                    DefaultCase{"BorderColorHot", &A::BorderColorHot, 0xFF0000},
                    DefaultCase{"BorderColorDown", &A::BorderColorDown, 0x800000},
                    DefaultCase{"BorderColorChecked", &A::BorderColorChecked, 0xFF0000},
                    DefaultCase{"BorderColorCheckedHot", &A::BorderColorCheckedHot, clNone},
                    DefaultCase{"BorderColorDisabled", &A::BorderColorDisabled, 0x808080},
                    DefaultCase{"BorderColorFocused", &A::BorderColorFocused, 0xE4AD89},
                    DefaultCase{"TextColorHot", &A::TextColorHot, 0}, DefaultCase{"TextColorDown", &A::TextColorDown, 0},
                    DefaultCase{"TextColorChecked", &A::TextColorChecked, 0},
                    DefaultCase{"TextColorDisabled", &A::TextColorDisabled, 0x808080},
                    DefaultCase{"TextColor", &A::TextColor, clNone}),
    caseName);

TEST(Appearance, GradientKindsAndFlagsMatchTheDesign)
{
    const TGlowButtonAppearance A;
    EXPECT_EQ(A.Gradient(), ggVertical);
    EXPECT_EQ(A.GradientMirror(), ggVertical);
    EXPECT_EQ(A.GradientHot(), ggRadial);
    EXPECT_EQ(A.GradientMirrorHot(), ggRadial);
    EXPECT_EQ(A.GradientDown(), ggRadial);
    EXPECT_EQ(A.GradientMirrorDown(), ggRadial);
    EXPECT_EQ(A.GradientChecked(), ggRadial);
    EXPECT_EQ(A.GradientMirrorChecked(), ggVertical);
    EXPECT_EQ(A.GradientDisabled(), ggRadial);
    EXPECT_EQ(A.GradientMirrorDisabled(), ggRadial);
    EXPECT_TRUE(A.SystemFont());
    EXPECT_FALSE(A.TranspHover());
    EXPECT_FALSE(A.NoBorderDefault());
}

TEST(Appearance, ChangeNotifiesOnlyWhenAValueChanges)
{
    TGlowButtonAppearance A;
    int Changes = 0;
    A.OnChange = [&](TGlowButtonAppearance* Sender) {
        EXPECT_EQ(Sender, &A);
        ++Changes;
    };
    A.SetColorHot(0x123456);
    A.SetColorHot(0x123456);
    A.SetGradient(ggRadial);
    A.SetNoBorderDefault(true);
    EXPECT_EQ(Changes, 3);
}

TEST(Appearance, AssignCopiesEverythingButKeepsItsOwnListener)
{
    TGlowButtonAppearance Source;
    Source.SetColorMirrorDisabledTo(0x010203);
    Source.SetGradientChecked(ggDiagonalBackward);
    Source.SetTextColorDisabled(0x0000FF);
    Source.SetSystemFont(false);
    Source.SetTranspHover(true);
    Source.SetNoBorderDefault(true);
    TGlowButtonAppearance Target;
    int Changes = 0;
    Target.OnChange = [&](TGlowButtonAppearance*) { ++Changes; };
    Target.Assign(Source);
    EXPECT_EQ(Target.ColorMirrorDisabledTo(), 0x010203u);
    EXPECT_EQ(Target.GradientChecked(), ggDiagonalBackward);
    EXPECT_EQ(Target.TextColorDisabled(), 0x0000FFu);
    EXPECT_FALSE(Target.SystemFont());
    EXPECT_TRUE(Target.TranspHover());
    EXPECT_TRUE(Target.NoBorderDefault());
    EXPECT_EQ(Changes, 1);
    Source.SetColor(0);
    EXPECT_EQ(Changes, 1);
}

struct MixCase
{
    const char* Name;
    TColor c1, c2;
    int p;
    TColor Expected;
};

class Mix : public testing::TestWithParam<MixCase> {};

TEST_P(Mix, BlendsChannelByChannel)
{
    EXPECT_EQ(MixColors(GetParam().c1, GetParam().c2, GetParam().p), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Mix,
    testing::Values(MixCase{"FullFirst", 0x0000FF, 0xFF0000, 100, 0x0000FF},
                    MixCase{"AboveHundred", 0x0000FF, 0xFF0000, 150, 0x0000FF},
                    MixCase{"ZeroSecond", 0x0000FF, 0xFF0000, 0, 0xFF0000},
                    MixCase{"NegativeSecond", 0x0000FF, 0xFF0000, -20, 0xFF0000},
                    MixCase{"FirstNone", clNone, 0xFF0000, 50, 0xFF0000},
                    MixCase{"SecondNone", 0x0000FF, clNone, 50, 0x0000FF},
                    // 0.2 * 225 + 0.8 * 255 = 249; 0.2 * 240 + 0.8 * 255 = 252; 0.2 * 245 + 0.8 * 255 = 253
                    MixCase{"HoverTwentyPercent", 0xF5F0E1, 0xFFFFFF, 20, 0xFDFCF9},
                    // 0.5 * 1 + 0.5 * 0 = 0.5 rounds to the even 0; 0.5 * 3 = 1.5 rounds to 2
                    MixCase{"HalfRoundsToEven", 0x030001, 0x000000, 50, 0x020000},
                    MixCase{"SystemColourResolved", clBlack, clWindow, 1, 0xFCFCFC}),
    caseName);

struct DarkenCase
{
    const char* Name;
    TColor Colour;
    int r, g, b;
    TColor Expected;
};

class Darken : public testing::TestWithParam<DarkenCase> {};

TEST_P(Darken, ScalesEachChannelByItsPercentage)
{
    const DarkenCase& c = GetParam();
    EXPECT_EQ(DarkenColor(c.Colour, c.r, c.g, c.b), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Darken,
    testing::Values(DarkenCase{"HotToDown", 0xF5F0E1, -10, -10, 0, 0xF5D8CA},
                    DarkenCase{"WhiteToDisabled", 0xFFFFFF, -5, -5, -5, 0xF2F2F2},
                    DarkenCase{"SilverToDisabled", 0xC0C0C0, -5, -5, -5, 0xB6B6B6},
                    // A zero channel takes the percentage itself when it is positive.
                    DarkenCase{"ZeroChannel", 0x000000, 7, -3, 0, 0x000007},
                    DarkenCase{"BrightenCapsAtUnchanged", 0x808080, 50, 50, 50, 0x808080},
                    DarkenCase{"NoneStaysNone", clNone, -10, -10, -10, clNone}),
    caseName);

} // namespace
