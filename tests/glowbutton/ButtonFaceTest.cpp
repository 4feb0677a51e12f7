#include "controls/ButtonFace.h"
#include "controls/ButtonPicture.h"
#include "tests/glowbutton/PixelHelpers.h"
#include "tests/support/CaseName.h"

#include "platform/desktop/Fonts.h"

#include <QBuffer>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Magenta = 0xFF00FF;

// A face with flat colours and nothing else on it, so that every check sees one thing.
TButtonFace PlainFace(int Width, int Height)
{
    TButtonFace Face;
    Face.Rect = QRect(0, 0, Width, Height);
    Face.U1 = Face.U2 = clWhite;
    Face.M1 = Face.M2 = clWhite;
    Face.DrawBorder = false;
    QFont Font(QStringLiteral("Tahoma"));
    Font.setPixelSize(11);
    Face.CaptionFont = Font;
    return Face;
}

QImage Render(const TButtonFace& Face, QSize Size = QSize())
{
    QImage Image(Size.isValid() ? Size : Face.Rect.size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    DrawButtonFace(&Painter, Face);
    return Image;
}

QByteArray Encode(const QImage& Image, const char* Format)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, Format);
    return Bytes;
}

// The columns and rows that hold pixels darker than the face (the caption's ink).
QRect InkBox(const QImage& Image, int Threshold = 160)
{
    QRect Box;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (const QColor Pixel = pixelAt(Image, x, y); Pixel.alpha() == 255 && qGray(Pixel.rgb()) < Threshold)
                Box |= QRect(x, y, 1, 1);
    return Box;
}

class ButtonFaceTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(platform::ensureDesignFonts()); }
};

// Fill geometry

struct SplitCase
{
    const char* Name;
    int Height;
    int LastUpperRow;
};

class FaceSplit : public ButtonFaceTest, public testing::WithParamInterface<SplitCase> {};

TEST_P(FaceSplit, UpperPartCoversTheSharedRow)
{
    TButtonFace Face = PlainFace(180, GetParam().Height);
    Face.U1 = Face.U2 = Red;
    Face.M1 = Face.M2 = Blue;
    const QImage Image = Render(Face);
    const int Split = GetParam().LastUpperRow;
    EXPECT_PIXEL(Image, 90, 0, Red);
    EXPECT_PIXEL(Image, 90, Split, Red);
    EXPECT_PIXEL(Image, 90, Split + 1, Blue);
    EXPECT_PIXEL(Image, 90, GetParam().Height - 1, Blue);
}

INSTANTIATE_TEST_SUITE_P(Heights, FaceSplit,
                         testing::Values(SplitCase{"Height28", 28, 13}, SplitCase{"Height41", 41, 20}),
                         caseName);

TEST_F(ButtonFaceTest, NormalColoursGiveWhiteTopAndWhiteToSilverBottom)
{
    const TGlowButtonAppearance Defaults;
    TButtonFace Face = PlainFace(180, 28);
    Face.U1 = Defaults.Color();
    Face.U2 = Defaults.ColorTo();
    Face.M1 = Defaults.ColorMirror();
    Face.M2 = Defaults.ColorMirrorTo();
    const QImage Image = Render(Face);
    for (int y = 0; y <= 13; ++y)
        EXPECT_PIXEL(Image, 90, y, clWhite);
    EXPECT_PIXEL_NEAR(Image, 90, 14, clWhite, 8);
    EXPECT_PIXEL_NEAR(Image, 90, 27, clSilver, 4);
    for (int y = 15; y <= 27; ++y)
        EXPECT_LT(GetRValue(ColorAt(Image, 90, y)), GetRValue(ColorAt(Image, 90, y - 1))) << "row " << y;
}

TEST_F(ButtonFaceTest, RadialGlowsCentreOnTheOuterEdges)
{
    const TGlowButtonAppearance A;
    TButtonFace Face = PlainFace(180, 28);
    Face.U1 = A.ColorHot();
    Face.U2 = A.ColorHotTo();
    Face.M1 = A.ColorMirrorHot();
    Face.M2 = A.ColorMirrorHotTo();
    Face.UpperKind = Face.LowerKind = ggRadial;
    const QImage Image = Render(Face);
    // Upper part: the glow colour at the middle of the top edge, the base colour outside.
    EXPECT_PIXEL_NEAR(Image, 90, 0, A.ColorHotTo(), 8);
    EXPECT_PIXEL(Image, 3, 12, A.ColorHot());
    EXPECT_PIXEL(Image, 176, 12, A.ColorHot());
    // Lower part: rising from the middle of the bottom edge.
    EXPECT_PIXEL_NEAR(Image, 90, 27, A.ColorMirrorHotTo(), 8);
    EXPECT_PIXEL(Image, 3, 15, A.ColorMirrorHot());
    EXPECT_PIXEL(Image, 176, 15, A.ColorMirrorHot());
    // Symmetric about the middle.
    EXPECT_PIXEL(Image, 40, 20, ColorAt(Image, 139, 20));
}

struct DiagonalCase
{
    const char* Name;
    TGDIPGradient Kind;
    QPoint StartCorner, EndCorner;
};

class DiagonalFill : public ButtonFaceTest, public testing::WithParamInterface<DiagonalCase> {};

TEST_P(DiagonalFill, RunsFromStartCornerToOppositeCorner)
{
    const QRect Rect(0, 0, 60, 30);
    QImage Image(Rect.size(), QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    {
        QPainter Painter(&Image);
        FillGlowHalf(Painter, Rect, Red, Blue, GetParam().Kind, true);
    }
    const QPoint a = GetParam().StartCorner, b = GetParam().EndCorner;
    EXPECT_PIXEL_NEAR(Image, a.x(), a.y(), Red, 12);
    EXPECT_PIXEL_NEAR(Image, b.x(), b.y(), Blue, 12);
    // The other two corners lie half way.
    const TColor Middle = ColorAt(Image, 59 - a.x(), a.y());
    EXPECT_NEAR(GetRValue(Middle), 128, 16);
    EXPECT_NEAR(GetBValue(Middle), 128, 16);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DiagonalFill,
                         testing::Values(DiagonalCase{"Forward", ggDiagonalForward, {0, 0}, {59, 29}},
                                         DiagonalCase{"Backward", ggDiagonalBackward, {59, 0}, {0, 29}}),
                         caseName);

struct MirrorCase
{
    const char* Name;
    TColor M1, M2;
    TColor BelowSplit, BottomRow;
};

class MirrorNone : public ButtonFaceTest, public testing::WithParamInterface<MirrorCase> {};

TEST_P(MirrorNone, LowerPartFallsBackToUpperStartColour)
{
    TButtonFace Face = PlainFace(100, 28);
    Face.U1 = Red;
    Face.U2 = Magenta;
    Face.M1 = GetParam().M1;
    Face.M2 = GetParam().M2;
    const QImage Image = Render(Face);
    EXPECT_PIXEL_NEAR(Image, 50, 14, GetParam().BelowSplit, 30);
    EXPECT_PIXEL_NEAR(Image, 50, 27, GetParam().BottomRow, 30);
}

INSTANTIATE_TEST_SUITE_P(Rules, MirrorNone,
                         testing::Values(MirrorCase{"MirrorNone", clNone, Green, Green, Red},
                                         MirrorCase{"BothNone", clNone, clNone, Red, Red},
                                         MirrorCase{"MirrorToNone", Blue, clNone, Blue, Blue}),
                         caseName);

// Border and focus frame

struct BorderCase
{
    const char* Name;
    bool Rounded, DrawBorder;
    TColor Corner, Edge;
};

class FaceBorder : public ButtonFaceTest, public testing::WithParamInterface<BorderCase> {};

TEST_P(FaceBorder, FollowsShapeAndSwitch)
{
    TButtonFace Face = PlainFace(100, 28);
    Face.BorderColor = Blue;
    Face.Rounded = GetParam().Rounded;
    Face.DrawBorder = GetParam().DrawBorder;
    const QImage Image = Render(Face);
    EXPECT_PIXEL(Image, 0, 0, GetParam().Corner);
    EXPECT_PIXEL(Image, 99, 27, GetParam().Corner);
    EXPECT_PIXEL(Image, 0, 14, GetParam().Edge);
    EXPECT_PIXEL(Image, 99, 14, GetParam().Edge);
    EXPECT_PIXEL(Image, 50, 0, GetParam().Edge);
    EXPECT_PIXEL(Image, 50, 27, GetParam().Edge);
    EXPECT_PIXEL(Image, 50, 1, clWhite);
}

INSTANTIATE_TEST_SUITE_P(Shapes, FaceBorder,
                         testing::Values(BorderCase{"Rounded", true, true, clWhite, Blue},
                                         BorderCase{"Square", false, true, Blue, Blue},
                                         BorderCase{"NoBorder", true, false, clWhite, clWhite}),
                         caseName);

TEST_F(ButtonFaceTest, FocusFrameIsSolidOutsideAndDottedInside)
{
    TButtonFace Face = PlainFace(100, 28);
    Face.FocusFrame = true;
    Face.FocusColor = Blue;
    Face.Rounded = false;
    const QImage Image = Render(Face);
    EXPECT_PIXEL(Image, 1, 14, Blue);
    EXPECT_PIXEL(Image, 98, 14, Blue);
    EXPECT_PIXEL(Image, 50, 1, Blue);
    EXPECT_PIXEL(Image, 50, 26, Blue);
    int Grey = 0, White = 0;
    for (int y = 4; y < 24; ++y) {
        const TColor Pixel = ColorAt(Image, 2, y);
        Grey += ChannelDistance(Pixel, clGray) <= 2;
        White += ChannelDistance(Pixel, clWhite) <= 2;
    }
    EXPECT_GE(Grey, 8);
    EXPECT_GE(White, 8);
}

// Caption

struct BreakCase
{
    const char* Name;
    QString Caption;
    bool Override;
    QString Expected;
};

class CaptionBreaks : public testing::TestWithParam<BreakCase> {};

TEST_P(CaptionBreaks, BackslashNBecomesALineBreak)
{
    EXPECT_EQ(ExpandCaptionBreaks(GetParam().Caption, GetParam().Override), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CaptionBreaks,
    testing::Values(BreakCase{"LowerCase", QStringLiteral("Get\\nfile"), false, QStringLiteral("Get\nfile")},
                    BreakCase{"UpperCase", QStringLiteral("Get\\Nfile"), false, QStringLiteral("Get\nfile")},
                    BreakCase{"WithGlyphOverride", QStringLiteral("Get\\nfile"), true, QStringLiteral("Get file")},
                    BreakCase{"TrailingBackslash", QStringLiteral("Get\\"), false, QStringLiteral("Get\\")},
                    BreakCase{"OtherEscape", QStringLiteral("a\\tb"), false, QStringLiteral("a\\tb")}),
    caseName);

TEST_F(ButtonFaceTest, CaptionWithoutGlyphIsCentred)
{
    TButtonFace Face = PlainFace(180, 28);
    Face.Caption = QStringLiteral("Download");
    const QRect Ink = InkBox(Render(Face));
    ASSERT_FALSE(Ink.isEmpty());
    // The caption box is (1, 0, width - 2, height): its middle is the face's middle.
    EXPECT_NEAR(Ink.center().x(), 90, 3);
    EXPECT_NEAR(Ink.center().y(), 14, 3);
}

TEST_F(ButtonFaceTest, BackslashNCaptionTakesTwoLines)
{
    TButtonFace Face = PlainFace(180, 41);
    Face.Caption = QStringLiteral("Download");
    const int OneLine = InkBox(Render(Face)).height();
    Face.Caption = QStringLiteral("Down\\nload");
    const QRect Two = InkBox(Render(Face));
    EXPECT_GT(Two.height(), OneLine + 6);
    EXPECT_LT(Two.width(), 60);
}

TEST_F(ButtonFaceTest, LongCaptionWrapsOnlyWithWordWrap)
{
    TButtonFace Face = PlainFace(80, 41);
    Face.Caption = QStringLiteral("Install the new version");
    const QRect Wrapped = InkBox(Render(Face));
    Face.WordWrap = false;
    const QRect Single = InkBox(Render(Face));
    EXPECT_GT(Wrapped.height(), Single.height() + 6);
}

struct CaptionPathCase
{
    const char* Name;
    TAntiAlias AntiAlias;
    bool Enabled;
    TColor Colour;
    TColor Darkest;
    int Tolerance;
};

class CaptionColour : public ButtonFaceTest, public testing::WithParamInterface<CaptionPathCase> {};

TEST_P(CaptionColour, InkTakesTheCaptionColour)
{
    TButtonFace Face = PlainFace(180, 28);
    Face.Caption = QStringLiteral("Download");
    Face.AntiAlias = GetParam().AntiAlias;
    Face.Enabled = GetParam().Enabled;
    Face.CaptionColor = GetParam().Colour;
    const QImage Image = Render(Face);
    int DarkestGrey = 255;
    TColor Darkest = clWhite;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (qGray(pixelAt(Image, x, y).rgb()) < DarkestGrey) {
                DarkestGrey = qGray(pixelAt(Image, x, y).rgb());
                Darkest = ColorAt(Image, x, y);
            }
    EXPECT_LE(ChannelDistance(Darkest, GetParam().Darkest), GetParam().Tolerance) << Hex(Darkest).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CaptionColour,
    testing::Values(CaptionPathCase{"Smooth", aaClearType, true, clBlack, clBlack, 40},
                    CaptionPathCase{"SmoothGrey", aaAntiAlias, false, clGray, clGray, 16},
                    // Without smoothing every ink pixel is the colour itself, and a disabled
                    // caption is grey whatever its colour.
                    CaptionPathCase{"PlainDisabled", aaNone, false, clBlack, clGray, 0},
                    CaptionPathCase{"PlainEnabled", aaNone, true, Blue, Blue, 0}),
    caseName);

TEST_F(ButtonFaceTest, AcceleratorIsUnderlinedUnlessHidden)
{
    TButtonFace Face = PlainFace(180, 28);
    Face.Caption = QStringLiteral("&Save");
    const QRect Shown = InkBox(Render(Face));
    Face.AccelsHidden = true;
    const QRect Hidden = InkBox(Render(Face));
    EXPECT_GT(Shown.bottom(), Hidden.bottom());
    Face.AlwaysShowAccel = true;
    EXPECT_EQ(InkBox(Render(Face)), Shown);
}

// Glyph

QImage SquareGlyph(QColor Background, QColor Centre, int Size = 8)
{
    QImage Glyph(Size, Size, QImage::Format_ARGB32);
    Glyph.fill(Background);
    for (int y = Size / 4; y < Size * 3 / 4; ++y)
        for (int x = Size / 4; x < Size * 3 / 4; ++x)
            Glyph.setPixelColor(x, y, Centre);
    return Glyph;
}

TEST_F(ButtonFaceTest, BitmapGlyphKeysOutItsBottomLeftColourAndIsCentredWithoutCaption)
{
    TButtonPicture Picture;
    Picture.LoadFromData(Encode(SquareGlyph(Qt::magenta, Qt::black), "BMP"));
    TButtonFace Face = PlainFace(100, 28);
    Face.Picture = &Picture;
    const QImage Image = Render(Face);
    // Glyph at ((100 - 8) / 2, (28 - 8) / 2) = (46, 10).
    EXPECT_PIXEL(Image, 46, 10, clWhite);
    EXPECT_PIXEL(Image, 53, 17, clWhite);
    EXPECT_PIXEL(Image, 48, 12, clBlack);
    EXPECT_PIXEL(Image, 51, 15, clBlack);
    EXPECT_EQ(InkBox(Image), QRect(48, 12, 4, 4));
}

TEST_F(ButtonFaceTest, PngGlyphBlendsByItsAlpha)
{
    TButtonPicture Picture;
    Picture.LoadFromData(Encode(SquareGlyph(QColor(0, 0, 0, 0), QColor(0, 0, 0, 128)), "PNG"));
    TButtonFace Face = PlainFace(100, 28);
    Face.Picture = &Picture;
    const QImage Image = Render(Face);
    EXPECT_PIXEL(Image, 46, 10, clWhite);
    EXPECT_PIXEL_NEAR(Image, 49, 13, RGBColor(127, 127, 127), 2);
}

TEST_F(ButtonFaceTest, GlyphLargerThanTheFaceIsLimitedToIt)
{
    TButtonPicture Picture;
    Picture.LoadFromData(Encode(SquareGlyph(Qt::black, Qt::black, 64), "PNG"));
    TButtonFace Face = PlainFace(40, 20);
    Face.Picture = &Picture;
    const QImage Image = Render(Face, QSize(60, 30));
    EXPECT_EQ(InkBox(Image), QRect(0, 0, 40, 20));
}

TEST_F(ButtonFaceTest, GlyphLeftOfCaptionSitsBeforeTheText)
{
    TButtonPicture Picture;
    Picture.LoadFromData(Encode(SquareGlyph(Qt::black, Qt::black, 16), "PNG"));
    TButtonFace Face = PlainFace(180, 28);
    Face.Caption = QStringLiteral("Install");
    const QRect TextOnly = InkBox(Render(Face));
    Face.Picture = &Picture;
    const QImage Image = Render(Face);
    const QRect All = InkBox(Image);
    // The glyph is vertically centred, left of the caption, and the pair stays near the middle.
    EXPECT_EQ(All.top(), 6);
    EXPECT_LT(All.left(), TextOnly.left());
    EXPECT_GT(All.right(), TextOnly.right());
    EXPECT_NEAR(All.center().x(), 90, 6);
    EXPECT_PIXEL(Image, All.left() + 16 + 1, 7, clWhite);
}

struct LayoutCase
{
    const char* Name;
    TButtonLayout Layout;
};

class GlyphLayouts : public ButtonFaceTest, public testing::WithParamInterface<LayoutCase> {};

TEST_P(GlyphLayouts, GlyphAndCaptionDoNotOverlap)
{
    TButtonPicture Picture;
    Picture.LoadFromData(Encode(SquareGlyph(Qt::red, Qt::red, 16), "PNG"));
    TButtonFace Face = PlainFace(120, 60);
    Face.Layout = GetParam().Layout;
    Face.Caption = QStringLiteral("Go");
    Face.Picture = &Picture;
    const QImage Image = Render(Face);
    QRect Glyph;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (ChannelDistance(ColorAt(Image, x, y), Red) <= 2)
                Glyph |= QRect(x, y, 1, 1);
    QImage TextOnly = Image;
    for (int y = Glyph.top(); y <= Glyph.bottom(); ++y)
        for (int x = Glyph.left(); x <= Glyph.right(); ++x)
            TextOnly.setPixel(x, y, qRgb(255, 255, 255));
    const QRect Text = InkBox(TextOnly, 100);
    ASSERT_EQ(Glyph.size(), QSize(16, 16)) << Glyph.x() << "," << Glyph.y();
    ASSERT_FALSE(Text.isEmpty());
    EXPECT_FALSE(Glyph.intersects(Text));
    EXPECT_TRUE(QRect(0, 0, 120, 60).contains(Glyph));
}

INSTANTIATE_TEST_SUITE_P(All, GlyphLayouts,
                         testing::Values(LayoutCase{"Left", blGlyphLeft}, LayoutCase{"Right", blGlyphRight},
                                         LayoutCase{"Top", blGlyphTop}, LayoutCase{"Bottom", blGlyphBottom},
                                         LayoutCase{"LeftAdjusted", blGlyphLeftAdjusted},
                                         LayoutCase{"RightAdjusted", blGlyphRightAdjusted},
                                         LayoutCase{"TopAdjusted", blGlyphTopAdjusted},
                                         LayoutCase{"BottomAdjusted", blGlyphBottomAdjusted}),
                         caseName);

TEST_F(ButtonFaceTest, MeasureOnlyDrawsNothingAndReportsGlyphPlusCaption)
{
    TButtonPicture Picture;
    Picture.LoadFromData(Encode(SquareGlyph(Qt::black, Qt::black, 16), "PNG"));
    TButtonFace Face = PlainFace(180, 28);
    Face.Picture = &Picture;
    Face.MeasureOnly = true;
    QImage Image(180, 28, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    EXPECT_EQ(DrawButtonFace(&Painter, Face), QSize(16, 16));
    Face.Caption = QStringLiteral("Install");
    const QSize WithCaption = DrawButtonFace(&Painter, Face);
    Painter.end();
    EXPECT_GT(WithCaption.width(), 16 + 2 + 20);
    EXPECT_GE(WithCaption.height(), 16);
    EXPECT_EQ(pixelAt(Image, 90, 14).alpha(), 0);
    EXPECT_EQ(InkBox(Image), QRect());
}

// Bad input: whatever comes in, the face paints inside its rectangle and nowhere else.

struct BadCase
{
    const char* Name;
    std::function<void(TButtonFace&, TButtonPicture&)> Spoil;
};

class BadInput : public ButtonFaceTest, public testing::WithParamInterface<BadCase> {};

TEST_P(BadInput, PaintsOnlyInsideItsRectangle)
{
    TButtonPicture Picture;
    TButtonFace Face = PlainFace(60, 28);
    Face.Rect.moveTo(10, 10);
    Face.Caption = QStringLiteral("Go");
    Face.DrawBorder = true;
    Face.BorderColor = Blue;
    Face.FocusFrame = true;
    Face.FocusColor = Blue;
    Face.UpperKind = Face.LowerKind = ggRadial;
    GetParam().Spoil(Face, Picture);
    Face.Picture = &Picture;
    const QImage Image = Render(Face, QSize(80, 50));
    const QRect Inside = Face.Rect.isValid() ? Face.Rect : QRect();
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (!Inside.contains(x, y)) {
                ASSERT_EQ(pixelAt(Image, x, y).alpha(), 0) << "(" << x << ", " << y << ")";
            }
    DrawButtonFace(nullptr, Face);
}

QByteArray Truncated(const QByteArray& Bytes)
{
    return Bytes.left(Bytes.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInput,
    testing::Values(
        BadCase{"ZeroSize", [](TButtonFace& F, TButtonPicture&) { F.Rect.setSize(QSize(0, 0)); }},
        BadCase{"NegativeSize", [](TButtonFace& F, TButtonPicture&) { F.Rect.setSize(QSize(-20, -5)); }},
        BadCase{"OnePixel", [](TButtonFace& F, TButtonPicture&) { F.Rect.setSize(QSize(1, 1)); }},
        BadCase{"TwoRows", [](TButtonFace& F, TButtonPicture&) { F.Rect.setSize(QSize(60, 2)); }},
        BadCase{"UndecodablePicture", [](TButtonFace&, TButtonPicture& P) { P.LoadFromData("not a picture"); }},
        BadCase{"TruncatedPng",
                [](TButtonFace&, TButtonPicture& P) {
                    P.LoadFromData(Truncated(Encode(SquareGlyph(Qt::black, Qt::black, 32), "PNG")));
                }},
        BadCase{"TruncatedBmp",
                [](TButtonFace&, TButtonPicture& P) {
                    P.LoadFromData(Truncated(Encode(SquareGlyph(Qt::black, Qt::black, 32), "BMP")));
                }},
        BadCase{"HugeGlyphOverride",
                [](TButtonFace& F, TButtonPicture& P) {
                    P.LoadFromData(Encode(SquareGlyph(Qt::black, Qt::black), "PNG"));
                    F.GlyphOverride = QSize(500, 500);
                }},
        BadCase{"VeryLongCaption",
                [](TButtonFace& F, TButtonPicture&) { F.Caption = QString(5000, QLatin1Char('W')) + "\\n\\N\\"; }},
        BadCase{"OnlyBreaksAndAmpersands", [](TButtonFace& F, TButtonPicture&) { F.Caption = "\\n&&&\\n&"; }},
        BadCase{"NoColourAnywhere",
                [](TButtonFace& F, TButtonPicture&) {
                    F.U1 = F.U2 = F.M1 = F.M2 = F.BorderColor = F.FocusColor = F.CaptionColor = clNone;
                }},
        BadCase{"EllipsisTrimmingNarrow",
                [](TButtonFace& F, TButtonPicture&) {
                    F.Rect.setWidth(6);
                    F.WordWrap = false;
                    F.Trimming = StringTrimmingEllipsisPath;
                }},
        BadCase{"DropDownOnTinyFace",
                [](TButtonFace& F, TButtonPicture&) {
                    F.Rect.setSize(QSize(3, 3));
                    F.DropDownButton = true;
                }}),
    caseName);

TEST_F(ButtonFaceTest, NoColourFillsLeaveTheBackground)
{
    TButtonFace Face = PlainFace(60, 28);
    Face.U1 = Face.U2 = Face.M1 = Face.M2 = clNone;
    EXPECT_EQ(pixelAt(Render(Face), 30, 5).alpha(), 0);
    EXPECT_EQ(ColorToARGB(clNone), 0u);
    EXPECT_EQ(ColorToARGB(RGBColor(1, 2, 3)), 0xFF010203u);
    EXPECT_EQ(ColorToARGB(clBtnFace) >> 24, 0xFFu);
}

} // namespace
