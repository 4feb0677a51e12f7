#include "tests/glowbutton/GlowButtonFixture.h"
#include "tests/support/CaseName.h"

#include <QBuffer>

#include <functional>

namespace {

// Sample points of a 180 x 28 face: outside both glows, so each shows its half's base colour.
constexpr QPoint UpperBase(10, 12), LowerBase(10, 15), LeftEdge(0, 14);

TEST_F(GlowButtonTest, PublishedDefaults)
{
    TGlowButton Fresh;
    EXPECT_EQ(Fresh.size(), QSize(100, 41));
    EXPECT_EQ(Fresh.AntiAlias(), aaClearType);
    EXPECT_EQ(Fresh.BorderStyle(), TGlowButton::bsSingle);
    EXPECT_TRUE(Fresh.Rounded());
    EXPECT_EQ(Fresh.Spacing(), 2);
    EXPECT_EQ(Fresh.MarginHorz(), 1);
    EXPECT_EQ(Fresh.MarginVert(), 1);
    EXPECT_TRUE(Fresh.WordWrap());
    EXPECT_TRUE(Fresh.ShowCaption());
    EXPECT_TRUE(Fresh.ShowDisabled());
    EXPECT_EQ(Fresh.Layout(), blGlyphLeft);
    EXPECT_EQ(Fresh.FocusType(), ftBorder);
    EXPECT_EQ(Fresh.Style(), bsButton);
    EXPECT_FALSE(Fresh.Down());
    EXPECT_EQ(Fresh.GroupIndex(), 0);
    EXPECT_FALSE(Fresh.AllowAllUp());
    EXPECT_FALSE(Fresh.Default());
    EXPECT_FALSE(Fresh.Cancel());
    EXPECT_EQ(Fresh.ModalResult(), 0);
    EXPECT_FALSE(Fresh.Transparent());
    EXPECT_EQ(Fresh.Trimming(), StringTrimmingNone);
    EXPECT_EQ(Fresh.ImageIndex(), -1);
    EXPECT_EQ(Fresh.Images(), nullptr);
    EXPECT_EQ(Fresh.HotImages(), nullptr);
    EXPECT_EQ(Fresh.DisabledImages(), nullptr);
    EXPECT_EQ(Fresh.ImageListType(), ipActionList);
    EXPECT_EQ(Fresh.Position(), bpStandalone);
    EXPECT_FALSE(Fresh.RepeatClick());
    EXPECT_EQ(Fresh.InitRepeatPause(), 400);
    EXPECT_EQ(Fresh.RepeatPause(), 100);
    EXPECT_FALSE(Fresh.AutoSize());
    EXPECT_TRUE(Fresh.ShortCutHint().isEmpty());
    EXPECT_EQ(Fresh.ShortCutHintPos(), shpTop);
    EXPECT_FALSE(Fresh.UseAppearance());
    EXPECT_FALSE(Fresh.TabStop());
    EXPECT_EQ(Fresh.focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(Fresh.AlwaysShowAccel());
    EXPECT_EQ(Fresh.MaxButtonSizeState(), bsLarge);
    EXPECT_EQ(Fresh.MinButtonSizeState(), bsGlyph);
    EXPECT_FALSE(Fresh.DropDownButton());
    EXPECT_EQ(Fresh.FontColor(), clBlack);
    EXPECT_EQ(Fresh.NotesFont().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(Fresh.NotesFont().pointSize(), 8);
    EXPECT_TRUE(Fresh.Picture()->Empty());
    EXPECT_EQ(Fresh.Version(), QStringLiteral("2.4.7.10"));
    EXPECT_EQ(SavedInterval, 20);
}

struct StateCase
{
    const char* Name;
    std::function<void(GlowButtonTest&, TProbeButton*)> Enter;
    TColor Upper, Lower, Border;
};

class StateLook : public GlowButtonTest, public testing::WithParamInterface<StateCase> {};

TEST_P(StateLook, ShowsTheStatesColours)
{
    GetParam().Enter(*this, Button);
    const QImage Image = snapshot(Button);
    EXPECT_PIXEL(Image, UpperBase.x(), UpperBase.y(), GetParam().Upper);
    if (GetParam().Lower != clNone) {
        EXPECT_PIXEL(Image, LowerBase.x(), LowerBase.y(), GetParam().Lower);
    }
    EXPECT_PIXEL(Image, LeftEdge.x(), LeftEdge.y(), GetParam().Border);
}

const TGlowButtonAppearance Defaults;

INSTANTIATE_TEST_SUITE_P(
    States, StateLook,
    testing::Values(
        StateCase{"Normal", [](GlowButtonTest&, TProbeButton*) {}, clWhite, clNone, clSilver},
        StateCase{"Hot", [](GlowButtonTest&, TProbeButton* B) { GlowButtonTest::Enter(B); }, Defaults.ColorHot(),
                  Defaults.ColorMirrorHot(), 0xFF0000},
        StateCase{"Down",
                  [](GlowButtonTest&, TProbeButton* B) {
                      GlowButtonTest::Enter(B);
                      GlowButtonTest::Press(B);
                  },
                  Defaults.ColorDown(), Defaults.ColorMirrorDown(), 0x800000},
        StateCase{"Disabled", [](GlowButtonTest&, TProbeButton* B) { B->setEnabled(false); }, 0xF2F2F2, 0xB6B6B6,
                  0x808080},
        StateCase{"CheckedInGroup",
                  [](GlowButtonTest&, TProbeButton* B) {
                      B->SetGroupIndex(1);
                      B->SetDown(true);
                  },
                  Defaults.ColorChecked(), clNone, 0xFF0000},
        StateCase{"CheckStyleDown",
                  [](GlowButtonTest&, TProbeButton* B) {
                      B->SetStyle(bsCheck);
                      B->SetDown(true);
                  },
                  Defaults.ColorChecked(), clNone, 0xFF0000},
        StateCase{"FocusedHot",
                  [](GlowButtonTest&, TProbeButton* B) {
                      B->SetFocusType(ftHot);
                      B->SetTabStop(true);
                      QFocusEvent In(QEvent::FocusIn, Qt::TabFocusReason);
                      QApplication::sendEvent(B, &In);
                  },
                  Defaults.ColorHot(), Defaults.ColorMirrorHot(), 0xFF0000}),
    caseName);

TEST_F(GlowButtonTest, NormalLowerPartRunsFromWhiteToSilver)
{
    const QImage Image = snapshot(Button);
    EXPECT_PIXEL(Image, 5, 13, clWhite);
    EXPECT_PIXEL_NEAR(Image, 10, 14, clWhite, 8);
    EXPECT_PIXEL_NEAR(Image, 10, 26, clSilver, 8);
}

TEST_F(GlowButtonTest, FocusFrameShowsWhileFocused)
{
    QFocusEvent In(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(Button, &In);
    EXPECT_PIXEL(snapshot(Button), 1, 10, Defaults.BorderColorFocused());
    QFocusEvent Out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(Button, &Out);
    EXPECT_PIXEL(snapshot(Button), 1, 10, clWhite);
}

struct DisabledCase
{
    const char* Name;
    bool ShowDisabled;
    TColor Upper, Border;
};

class DisabledLook : public GlowButtonTest, public testing::WithParamInterface<DisabledCase> {};

TEST_P(DisabledLook, CaptionIsGreyEitherWay)
{
    Button->SetShowDisabled(GetParam().ShowDisabled);
    Button->setEnabled(false);
    const QImage Image = snapshot(Button);
    EXPECT_PIXEL(Image, UpperBase.x(), UpperBase.y(), GetParam().Upper);
    EXPECT_PIXEL(Image, LeftEdge.x(), LeftEdge.y(), GetParam().Border);
    int Darkest = 255;
    TColor Ink = clWhite;
    for (int y = 3; y < 25; ++y)
        for (int x = 20; x < 160; ++x)
            if (qGray(pixelAt(Image, x, y).rgb()) < Darkest) {
                Darkest = qGray(pixelAt(Image, x, y).rgb());
                Ink = ColorAt(Image, x, y);
            }
    EXPECT_LE(ChannelDistance(Ink, clGray), 16) << Hex(Ink).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Switch, DisabledLook,
                         testing::Values(DisabledCase{"ShowDisabled", true, 0xF2F2F2, 0x808080},
                                         DisabledCase{"KeepNormalColours", false, clWhite, clSilver}),
                         caseName);

TEST_F(GlowButtonTest, DisabledButtonShowsItsNormalPictureWithoutADisabledOne)
{
    QImage Glyph(8, 8, QImage::Format_ARGB32);
    Glyph.fill(Qt::black);
    QByteArray Png;
    QBuffer Buffer(&Png);
    Buffer.open(QIODevice::WriteOnly);
    Glyph.save(&Buffer, "PNG");
    Button->SetCaption(QString());
    Button->Picture()->LoadFromData(Png);
    Button->setEnabled(false);
    EXPECT_PIXEL(snapshot(Button), 90, 14, clBlack);
}

struct MirrorCase
{
    const char* Name;
    TColor ColorMirror, ColorMirrorTo;
    TColor BelowSplit, Bottom;
};

class MirrorColours : public GlowButtonTest, public testing::WithParamInterface<MirrorCase> {};

TEST_P(MirrorColours, NoneFallsBackToTheUpperStartColour)
{
    Button->SetCaption(QString());
    Button->Appearance()->SetColor(0x0000FF);
    Button->Appearance()->SetColorTo(0x0000FF);
    Button->Appearance()->SetColorMirror(GetParam().ColorMirror);
    Button->Appearance()->SetColorMirrorTo(GetParam().ColorMirrorTo);
    const QImage Image = snapshot(Button);
    EXPECT_PIXEL_NEAR(Image, 90, 14, GetParam().BelowSplit, 30);
    EXPECT_PIXEL_NEAR(Image, 90, 26, GetParam().Bottom, 30);
}

INSTANTIATE_TEST_SUITE_P(Rules, MirrorColours,
                         testing::Values(MirrorCase{"MirrorNone", clNone, 0x00FF00, 0x00FF00, 0x0000FF},
                                         MirrorCase{"BothNone", clNone, clNone, 0x0000FF, 0x0000FF}),
                         caseName);

TEST_F(GlowButtonTest, AppearanceChangeRepaints)
{
    snapshot(Button);
    Button->Appearance()->SetColor(0x00FF00);
    Button->Appearance()->SetColorTo(0x00FF00);
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), 0x00FF00);
}

struct PartialFaceCase
{
    const char* Name;
    bool Transparent, NoBorderDefault, Hover;
    bool FaceShown, BorderShown;
};

class PartialFace : public GlowButtonTest, public testing::WithParamInterface<PartialFaceCase> {};

TEST_P(PartialFace, FaceAndBorderFollowThePointer)
{
    Button->SetTransparent(GetParam().Transparent);
    Button->Appearance()->SetNoBorderDefault(GetParam().NoBorderDefault);
    if (GetParam().Hover)
        Enter(Button);
    const QImage Image = snapshot(Form.get());
    const QPoint Face = Offset + UpperBase, Edge = Offset + LeftEdge;
    EXPECT_EQ(ColorAt(Image, Face.x(), Face.y()) != FormColour, GetParam().FaceShown);
    const TColor EdgeColour = ColorAt(Image, Edge.x(), Edge.y());
    const TColor InsideColour = ColorAt(Image, Face.x(), Edge.y());
    EXPECT_EQ(EdgeColour != FormColour && ChannelDistance(EdgeColour, InsideColour) > 2, GetParam().BorderShown);
}

INSTANTIATE_TEST_SUITE_P(Switches, PartialFace,
                         testing::Values(PartialFaceCase{"TransparentIdle", true, false, false, false, false},
                                         PartialFaceCase{"TransparentHot", true, false, true, true, true},
                                         PartialFaceCase{"NoBorderIdle", false, true, false, true, false},
                                         PartialFaceCase{"NoBorderHot", false, true, true, true, true}),
                         caseName);

// Corners

struct CornerCase
{
    const char* Name;
    bool Rounded;
    TButtonPosition Position;
    bool LeftGivenBack, RightGivenBack;
};

class Corners : public GlowButtonTest, public testing::WithParamInterface<CornerCase> {};

TEST_P(Corners, CornerPixelsShowTheParent)
{
    Button->SetRounded(GetParam().Rounded);
    Button->SetPosition(GetParam().Position);
    const QImage Image = snapshot(Form.get());
    const int L = Offset.x(), T = Offset.y(), R = L + 179, B = T + 27;
    auto Given = [&](int x, int y) { return ColorAt(Image, x, y) == FormColour; };
    EXPECT_EQ(Given(L, T), GetParam().LeftGivenBack);
    EXPECT_EQ(Given(L, B), GetParam().LeftGivenBack);
    EXPECT_EQ(Given(R, T), GetParam().RightGivenBack);
    EXPECT_EQ(Given(R, B), GetParam().RightGivenBack);
    // The rest of the corner square keeps the face.
    EXPECT_FALSE(Given(L + 1, T));
    EXPECT_FALSE(Given(L, T + 1));
}

INSTANTIATE_TEST_SUITE_P(Positions, Corners,
                         testing::Values(CornerCase{"Standalone", true, bpStandalone, true, true},
                                         CornerCase{"Square", false, bpStandalone, false, false},
                                         CornerCase{"RowLeft", true, bpLeft, true, false},
                                         CornerCase{"RowMiddle", true, bpMiddle, false, false},
                                         CornerCase{"RowRight", true, bpRight, false, true}),
                         caseName);

// Fades

TEST_F(GlowButtonTest, HoverFadeShowsFiveLooksThenTheHotColours)
{
    TCustomGlowButton::SetFadeInterval(20);
    const TGlowButtonAppearance& A = *Button->Appearance();
    Enter(Button);
    ASSERT_TRUE(Button->FadeTimerExists());
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), clWhite);
    for (int Step = 1; Step <= 5; ++Step) {
        Button->FadeTimerTick();
        ASSERT_TRUE(Button->FadeTimerExists());
        EXPECT_EQ(Button->StepHover(), 20 * Step);
        const QImage Image = snapshot(Button);
        EXPECT_PIXEL(Image, UpperBase.x(), UpperBase.y(), MixColors(A.ColorHot(), A.Color(), 20 * Step));
        EXPECT_PIXEL(Image, LeftEdge.x(), LeftEdge.y(), MixColors(A.BorderColorHot(), A.BorderColor(), 20 * Step));
        if (Step == 1) {
            // Already the radial hot gradient: its glow colour at the top, not a flat face.
            EXPECT_PIXEL_NEAR(Image, 90, 1, MixColors(A.ColorHotTo(), A.ColorTo(), 20), 3);
        }
    }
    Button->FadeTimerTick();
    EXPECT_FALSE(Button->FadeTimerExists());
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), A.ColorHot());
}

TEST_F(GlowButtonTest, LeavingDuringTheFadeRestartsFromFullHot)
{
    TCustomGlowButton::SetFadeInterval(20);
    const TGlowButtonAppearance& A = *Button->Appearance();
    Enter(Button);
    Button->FadeTimerTick();
    Button->FadeTimerTick();
    ASSERT_EQ(Button->StepHover(), 40);
    Leave(Button);
    EXPECT_EQ(Button->StepHover(), 100);
    // Fading out keeps the normal vertical gradients, in colours going from hot to normal. Row 1
    // lies an eighth of the way down the upper gradient.
    auto UpperRowOne = [&](int Step) {
        return Between(MixColors(A.ColorHot(), A.Color(), Step), MixColors(A.ColorHotTo(), A.ColorTo(), Step), 1.5 / 14);
    };
    EXPECT_PIXEL_NEAR(snapshot(Button), 10, 1, UpperRowOne(100), 3);
    for (int Step = 80; Step >= 0; Step -= 20) {
        Button->FadeTimerTick();
        EXPECT_EQ(Button->StepHover(), Step);
        EXPECT_PIXEL_NEAR(snapshot(Button), 10, 1, UpperRowOne(Step), 3);
    }
    Button->FadeTimerTick();
    EXPECT_FALSE(Button->FadeTimerExists());
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), clWhite);
}

TEST_F(GlowButtonTest, FadeTimerRunsOnItsOwnAndEnds)
{
    TCustomGlowButton::SetFadeInterval(20);
    std::vector<TColor> Seen;
    Button->OnDrawButton = [&](QObject*, QPainter*, QRect, TGlowButtonState) {};
    Enter(Button);
    ASSERT_TRUE(Button->FadeTimerExists());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Button->FadeTimerExists(); }, 5000));
    EXPECT_EQ(Button->StepHover(), 100);
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), Defaults.ColorHot());
}

TEST_F(GlowButtonTest, FadeIntervalZeroNeverStartsATimer)
{
    Enter(Button);
    EXPECT_FALSE(Button->FadeTimerExists());
    Press(Button);
    EXPECT_FALSE(Button->FadeTimerExists());
    Release(Button);
    Leave(Button);
    EXPECT_FALSE(Button->FadeTimerExists());
}

TEST_F(GlowButtonTest, ReleaseOutsideDuringAPressFadeStillFreesTheTimer)
{
    TCustomGlowButton::SetFadeInterval(20);
    Enter(Button);
    Press(Button);
    MoveHeld(Button, QPoint(300, 10));
    Release(Button, QPoint(300, 10));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Button->FadeTimerExists(); }, 5000));
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), clWhite);
}

TEST_F(GlowButtonTest, OnDrawButtonReportsTheState)
{
    std::vector<TGlowButtonState> States;
    Button->OnDrawButton = [&](QObject* Sender, QPainter* Canvas, QRect Rect, TGlowButtonState State) {
        EXPECT_EQ(Sender, Button);
        EXPECT_NE(Canvas, nullptr);
        EXPECT_EQ(Rect, QRect(0, 0, 180, 28));
        States.push_back(State);
    };
    snapshot(Button);
    Enter(Button);
    snapshot(Button);
    Press(Button);
    snapshot(Button);
    EXPECT_EQ(States, (std::vector<TGlowButtonState>{gsNormal, gsHot, gsDown}));
}

// Bad input: the button paints whatever it is given, and only on itself: the form around it
// keeps its own colour while the button is pressed and after it is let go.

struct BadCase
{
    const char* Name;
    std::function<void(TProbeButton*)> Spoil;
};

class BadButtonInput : public GlowButtonTest, public testing::WithParamInterface<BadCase> {};

TEST_P(BadButtonInput, PaintsWithoutFailing)
{
    GetParam().Spoil(Button);
    Enter(Button);
    Press(Button);
    const QPoint Around[] = {QPoint(5, 5), QPoint(Offset.x() + 185, Offset.y() + 14), QPoint(100, 100)};
    const QImage Pressed = snapshot(Form.get());
    for (QPoint At : Around)
        EXPECT_PIXEL(Pressed, At.x(), At.y(), FormColour) << "pressed, at (" << At.x() << ", " << At.y() << ")";
    Release(Button);
    Leave(Button);
    const QImage LetGo = snapshot(Form.get());
    for (QPoint At : Around)
        EXPECT_PIXEL(LetGo, At.x(), At.y(), FormColour) << "let go, at (" << At.x() << ", " << At.y() << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadButtonInput,
    testing::Values(
        BadCase{"ZeroSize", [](TProbeButton* B) { B->resize(0, 0); }},
        BadCase{"OnePixel", [](TProbeButton* B) { B->resize(1, 1); }},
        BadCase{"UndecodablePicture", [](TProbeButton* B) { B->Picture()->LoadFromData("garbage"); }},
        BadCase{"EmptyPictures",
                [](TProbeButton* B) {
                    B->HotPicture()->LoadFromData(QByteArray());
                    B->DownPicture()->LoadFromData(QByteArray(1, '\0'));
                }},
        BadCase{"HugeCaption", [](TProbeButton* B) { B->SetCaption(QString(20000, QLatin1Char('x'))); }},
        BadCase{"NoColourAnywhere",
                [](TProbeButton* B) {
                    TGlowButtonAppearance& A = *B->Appearance();
                    for (auto Set : {&TGlowButtonAppearance::SetColor, &TGlowButtonAppearance::SetColorTo,
                                     &TGlowButtonAppearance::SetColorMirror, &TGlowButtonAppearance::SetColorMirrorTo,
                                     &TGlowButtonAppearance::SetColorHot, &TGlowButtonAppearance::SetColorHotTo,
                                     &TGlowButtonAppearance::SetColorMirrorHot,
                                     &TGlowButtonAppearance::SetColorMirrorHotTo,
                                     &TGlowButtonAppearance::SetColorDown, &TGlowButtonAppearance::SetColorDownTo,
                                     &TGlowButtonAppearance::SetColorMirrorDown,
                                     &TGlowButtonAppearance::SetColorMirrorDownTo, &TGlowButtonAppearance::SetBorderColor,
                                     &TGlowButtonAppearance::SetBorderColorHot,
                                     &TGlowButtonAppearance::SetBorderColorDown,
                                     &TGlowButtonAppearance::SetBorderColorFocused,
                                     &TGlowButtonAppearance::SetTextColorHot, &TGlowButtonAppearance::SetTextColorDown})
                        (A.*Set)(clNone);
                    B->SetFontColor(clNone);
                }},
        BadCase{"GlyphListWithBadIndex",
                [](TProbeButton* B) {
                    auto* List = new TGlyphList(QSize(16, 16), B);
                    List->Add(QImage());
                    B->SetImages(List);
                    B->SetImageIndex(7);
                }},
        BadCase{"AutoSizeWithNothing",
                [](TProbeButton* B) {
                    B->SetCaption(QString());
                    B->SetAutoSize(true);
                }}),
    caseName);

TEST_F(GlowButtonTest, DestroyedGlyphListDropsOutOfTheButton)
{
    auto* List = new TGlyphList(QSize(16, 16));
    QImage Glyph(16, 16, QImage::Format_ARGB32);
    Glyph.fill(Qt::black);
    List->Add(Glyph);
    Button->SetCaption(QString());
    Button->SetImages(List);
    Button->SetImageIndex(0);
    EXPECT_PIXEL(snapshot(Button), 90, 10, clBlack);
    delete List;
    EXPECT_EQ(Button->Images(), nullptr);
    EXPECT_PIXEL(snapshot(Button), 90, 10, clWhite);
}

TEST_F(GlowButtonTest, AutoSizeFitsTheCaption)
{
    Button->SetAutoSize(true);
    const QSize Short = Button->size();
    Button->SetCaption(QStringLiteral("Download the new version"));
    EXPECT_GT(Button->width(), Short.width());
    EXPECT_EQ(Button->height(), Short.height());
    EXPECT_GT(Short.height(), 13);
}

} // namespace

namespace {

TEST_F(GlowButtonTest, ColorTonesRecolourAndSwitchFadingOff)
{
    TCustomGlowButton::SetFadeInterval(20);
    Button->SetColorTones(0x00FF00, 0xFF0000, 0x0000FF, 0x000000);
    EXPECT_EQ(TCustomGlowButton::FadeInterval(), 0);
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), 0x00FF00);
    Enter(Button);
    EXPECT_FALSE(Button->FadeTimerExists());
    EXPECT_PIXEL(snapshot(Button), UpperBase.x(), UpperBase.y(), 0xFF0000);
    EXPECT_PIXEL(snapshot(Button), LeftEdge.x(), LeftEdge.y(), 0x000000);
}

} // namespace
