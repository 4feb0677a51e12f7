#include "controls/GradientDrawing.h"
#include "controls/GradientPanel.h"
#include "controls/GradientPanelStyler.h"
#include "controls/Rounding.h"
#include "tests/officecontrols/OfficeTestSupport.h"
#include "tests/support/CaseName.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

constexpr TColor BackPanelTo = RGBColor(235, 235, 235);

// The main window's back panel: white to light grey, top to bottom, 981 x 609.
struct BackPanel : testing::Test {
    TGradientPanel Panel;
    BackPanel()
    {
        Panel.resize(981, 609);
        Panel.SetColor(clWhite);
        Panel.SetColorTo(BackPanelTo);
    }
    // Grey level of the band covering row (or column) Position of a 128-band run over Size.
    static int ExpectedLevel(int Position, int Size)
    {
        int level = 255;
        for (int n = 0; n < 128; ++n)
            if (RoundEven(n * double(Size) / 128) <= Position)
                level = 255 - RoundEven(n * 20.0 / 128);
        return level;
    }
};

TEST_F(BackPanel, EveryRowHasTheGreyOfTheBandStartingAtRoundedOffset)
{
    Panel.SetBevelOuter(bvNone);
    const QImage image = snapshot(&Panel);
    for (int y = 0; y < 609; ++y)
        ASSERT_EQ(pixelAt(image, 500, y), Grey(ExpectedLevel(y, 609))) << "row " << y;
    // Spot checks of the rounding: ties go to the even neighbour.
    EXPECT_EQ(pixelAt(image, 10, 0), Grey(255));
    EXPECT_EQ(pixelAt(image, 10, 76), Grey(253)); // band 16 starts at row 76: 16 x 20 / 128 = 2.5 -> 2
    EXPECT_EQ(pixelAt(image, 10, 304), Grey(245)); // band 64 starts at 304.5 -> 304
    for (int y = 604; y <= 608; ++y)
        EXPECT_EQ(pixelAt(image, 980, y), Grey(235)) << "row " << y;
}

TEST_F(BackPanel, RaisedBevelFramesTheGradient)
{
    const QImage image = snapshot(&Panel);
    const QColor light = Rgb(clBtnHighlight);
    const QColor dark = Rgb(clBtnShadow);
    EXPECT_EQ(pixelAt(image, 0, 0), light);
    EXPECT_EQ(pixelAt(image, 500, 0), light);
    EXPECT_EQ(pixelAt(image, 0, 300), light);
    EXPECT_EQ(pixelAt(image, 980, 0), dark); // the top-right corner belongs to the dark edge
    EXPECT_EQ(pixelAt(image, 0, 608), dark); // and so does the bottom-left one
    EXPECT_EQ(pixelAt(image, 980, 300), dark);
    EXPECT_EQ(pixelAt(image, 500, 608), dark);
    EXPECT_EQ(pixelAt(image, 1, 1), Grey(255));
    EXPECT_EQ(pixelAt(image, 979, 607), Grey(235));
}

TEST_F(BackPanel, BufferedAndDirectPaintingLookTheSame)
{
    const QImage buffered = snapshot(&Panel);
    Panel.SetBuffered(false);
    EXPECT_EQ(snapshot(&Panel), buffered);
}

TEST_F(BackPanel, OnPaintRunsAfterThePanelWithTheClientRectangle)
{
    QRect painted;
    Panel.OnPaint = [&](QObject* Sender, QPainter& Canvas, const QRect& Rect) {
        EXPECT_EQ(Sender, &Panel);
        painted = Rect;
        Canvas.fillRect(QRect(10, 10, 2, 2), Qt::red);
    };
    const QImage image = snapshot(&Panel);
    EXPECT_EQ(painted, QRect(0, 0, 981, 609));
    EXPECT_EQ(pixelAt(image, 10, 10), QColor(Qt::red));
}

TEST(GradientPanel, HorizontalGradientRunsTheSameBandsLeftToRight)
{
    TGradientPanel panel;
    panel.resize(609, 20);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clWhite);
    panel.SetColorTo(BackPanelTo);
    panel.SetGradientDirection(gdHorizontal);
    const QImage image = snapshot(&panel);
    for (int x = 0; x < 609; ++x)
        ASSERT_EQ(pixelAt(image, x, 10), Grey(BackPanel::ExpectedLevel(x, 609))) << "column " << x;
}

TEST(GradientPanel, DefaultsAreAFaceColouredPanelWithRaisedBevel)
{
    TGradientPanel panel;
    EXPECT_EQ(panel.size(), QSize(300, 200));
    EXPECT_EQ(panel.Color(), clBtnFace);
    EXPECT_EQ(panel.ColorTo(), clNone);
    EXPECT_EQ(panel.BevelOuter(), bvRaised);
    EXPECT_EQ(panel.BevelWidth(), 1);
    EXPECT_TRUE(panel.Buffered());
    EXPECT_FALSE(panel.Caption().Visible());
    EXPECT_EQ(panel.Caption().Height(), 20);
    EXPECT_FALSE(panel.StatusBar().Visible());
    EXPECT_EQ(panel.Version(), QStringLiteral("2.5.7.6"));
    const QImage image = snapshot(&panel);
    EXPECT_EQ(pixelAt(image, 150, 100), Rgb(clBtnFace));
    EXPECT_EQ(pixelAt(image, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 299, 199), Rgb(clBtnShadow));
}

struct BevelCase {
    const char* Name;
    TBevelCut Outer;
    TBevelCut Inner;
    TColor OuterTopLeft;
    TColor OuterBottomRight;
    TColor SecondRingTopLeft;
};

class PanelBevels : public testing::TestWithParam<BevelCase> {};

TEST_P(PanelBevels, EdgesFollowTheCut)
{
    const BevelCase& c = GetParam();
    TGradientPanel panel;
    panel.resize(40, 30);
    panel.SetColor(RGBColor(10, 200, 10));
    panel.SetBevelOuter(c.Outer);
    panel.SetBevelInner(c.Inner);
    const QImage image = snapshot(&panel);
    EXPECT_EQ(pixelAt(image, 0, 5), Rgb(c.OuterTopLeft));
    EXPECT_EQ(pixelAt(image, 39, 5), Rgb(c.OuterBottomRight));
    EXPECT_EQ(pixelAt(image, 20, 29), Rgb(c.OuterBottomRight));
    EXPECT_EQ(pixelAt(image, 1, 5), Rgb(c.SecondRingTopLeft));
}

constexpr TColor PanelGreen = RGBColor(10, 200, 10);

INSTANTIATE_TEST_SUITE_P(Cuts, PanelBevels,
    testing::Values(BevelCase{"Raised", bvRaised, bvNone, clBtnHighlight, clBtnShadow, PanelGreen},
        BevelCase{"Lowered", bvLowered, bvNone, clBtnShadow, clBtnHighlight, PanelGreen},
        BevelCase{"Space", bvSpace, bvNone, clBtnHighlight, clBtnShadow, PanelGreen},
        BevelCase{"RaisedOuterLoweredInner", bvRaised, bvLowered, clBtnHighlight, clBtnShadow, clBtnShadow},
        BevelCase{"NoBevelShowsTheColour", bvNone, bvNone, PanelGreen, PanelGreen, PanelGreen}),
    caseName);

TEST(GradientPanel, MissingBorderColourFramesTheGradientInTheColourInsideTheBevel)
{
    TGradientPanel panel;
    panel.resize(100, 100);
    panel.SetColor(RGBColor(255, 0, 0));
    panel.SetColorTo(RGBColor(0, 0, 255));
    panel.SetBorderColor(clNone);
    const QImage image = snapshot(&panel);
    EXPECT_EQ(pixelAt(image, 0, 50), Rgb(clBtnHighlight));
    EXPECT_EQ(pixelAt(image, 1, 50), QColor(255, 0, 0));
    EXPECT_EQ(pixelAt(image, 98, 50), QColor(255, 0, 0));
    EXPECT_EQ(pixelAt(image, 50, 98), QColor(255, 0, 0));
    EXPECT_NE(pixelAt(image, 2, 50), QColor(255, 0, 0));
}

TEST(GradientPanel, BorderIsDrawnOnlyWithWidthAndColour)
{
    TGradientPanel panel;
    panel.resize(60, 40);
    panel.SetBevelOuter(bvNone);
    EXPECT_EQ(pixelAt(snapshot(&panel), 0, 20), Rgb(clBtnFace)); // colour 0 but width 0
    panel.SetBorderWidth(3);
    panel.SetBorderColor(RGBColor(0, 128, 0));
    const QImage image = snapshot(&panel);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(pixelAt(image, x, 20), QColor(0, 128, 0)) << x;
        EXPECT_EQ(pixelAt(image, 59 - x, 20), QColor(0, 128, 0)) << x;
    }
    EXPECT_EQ(pixelAt(image, 3, 20), Rgb(clBtnFace));
    EXPECT_EQ(panel.ChildArea(), QRect(3, 3, 54, 34));
}

TEST(GradientPanel, ShadowLinesMixTheBorderColourWithTheFace)
{
    TGradientPanel panel;
    panel.resize(60, 40);
    panel.SetBevelOuter(bvNone);
    panel.SetBorderWidth(1);
    panel.SetBorderShadow(true);
    const QImage image = snapshot(&panel);
    EXPECT_EQ(pixelAt(image, 57, 20), QColor(Qt::black)); // the border moved in by two
    EXPECT_EQ(pixelAt(image, 58, 20), Rgb(MixPanelColors(clBlack, clBtnFace, 50)));
    EXPECT_EQ(pixelAt(image, 59, 20), Rgb(MixPanelColors(clBlack, clBtnFace, 20)));
    EXPECT_EQ(pixelAt(image, 30, 38), Rgb(MixPanelColors(clBlack, clBtnFace, 50)));
    EXPECT_EQ(pixelAt(image, 30, 39), Rgb(MixPanelColors(clBlack, clBtnFace, 20)));
}

TEST(MixPanelColors, MixesChannelsWithTiesToEven)
{
    EXPECT_EQ(MixPanelColors(RGBColor(1, 2, 3), clWhite, 100), RGBColor(1, 2, 3));
    EXPECT_EQ(MixPanelColors(clBlack, clWhite, 50), RGBColor(128, 128, 128)); // 127.5 -> 128
    EXPECT_EQ(MixPanelColors(RGBColor(0, 0, 1), RGBColor(0, 0, 0), 50), RGBColor(0, 0, 0)); // 0.5 -> 0
    EXPECT_EQ(MixPanelColors(clBlack, clWhite, 20), RGBColor(204, 204, 204));
}

TEST(GradientPanel, MirrorGradientGivesTheLargerHalfToTheSecondPart)
{
    TGradientPanel panel;
    panel.resize(30, 101);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(RGBColor(255, 0, 0));
    panel.SetColorTo(RGBColor(128, 0, 0));
    panel.SetColorMirror(RGBColor(0, 0, 255));
    panel.SetColorMirrorTo(RGBColor(0, 0, 128));
    const QImage image = snapshot(&panel);
    EXPECT_EQ(pixelAt(image, 15, 0), QColor(255, 0, 0));
    EXPECT_EQ(pixelAt(image, 15, 49).blue(), 0);
    EXPECT_EQ(pixelAt(image, 15, 50), QColor(0, 0, 255));
    EXPECT_EQ(pixelAt(image, 15, 100), QColor(0, 0, 132)); // band 31: 255 + Round(31 x -127 / 32)
}

struct TinySize {
    const char* Name;
    QSize Size;
};

class TinyPanels : public testing::TestWithParam<TinySize> {};

TEST_P(TinyPanels, PaintWithoutError)
{
    TGradientPanel panel;
    panel.resize(GetParam().Size);
    panel.SetColor(clWhite);
    panel.SetColorTo(BackPanelTo);
    panel.SetBorderWidth(4);
    panel.SetBorderShadow(true);
    panel.SetCanSize(true);
    panel.SetText(QStringLiteral("text"));
    panel.Caption().SetVisible(true);
    panel.StatusBar().SetVisible(true);
    const QImage image = snapshot(&panel);
    if (!GetParam().Size.isEmpty()) {
        EXPECT_EQ(image.size(), GetParam().Size);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TinyPanels,
    testing::Values(TinySize{"Empty", QSize(0, 0)}, TinySize{"OnePixel", QSize(1, 1)},
        TinySize{"OneRowHigh", QSize(981, 1)}, TinySize{"ZeroHigh", QSize(50, 0)},
        TinySize{"TwoByTwo", QSize(2, 2)}),
    caseName);

TEST(GradientPanel, OneRowHighPanelShowsTheLastBandThatStillStartsInside)
{
    TGradientPanel panel;
    panel.resize(50, 1);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clWhite);
    panel.SetColorTo(BackPanelTo);
    // Bands 0..64 start at row 0 (64 / 128 = 0.5 rounds to 0); later ones fall outside.
    EXPECT_EQ(pixelAt(snapshot(&panel), 25, 0), Grey(245));
}

TEST(GradientPanel, ChildrenSitInsideTheBevelAndBelowTheCaptionBar)
{
    TGradientPanel panel;
    panel.resize(981, 145);
    auto* layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* child = new QWidget;
    layout->addWidget(child);
    panel.show();
    ASSERT_TRUE(waitFor([&] { return child->geometry() == QRect(1, 1, 979, 143); }))
        << child->geometry().x() << "," << child->geometry().y();
    EXPECT_EQ(panel.ChildArea(), QRect(1, 1, 979, 143));
    panel.Caption().SetVisible(true);
    EXPECT_EQ(panel.ChildArea().top(), 1 + panel.CapHeight() - 2);
    panel.StatusBar().SetVisible(true);
    EXPECT_EQ(panel.ChildArea().bottom(), 143 - 18);
}

TEST(GradientPanel, CaptionBarIsFilledInsideTheBevel)
{
    TGradientPanel panel;
    panel.resize(200, 100);
    panel.Caption().SetVisible(true);
    panel.Caption().SetColor(RGBColor(0, 0, 200));
    const QImage image = snapshot(&panel);
    EXPECT_EQ(pixelAt(image, 100, 1), QColor(0, 0, 200));
    EXPECT_EQ(pixelAt(image, 100, panel.CapHeight() - 2), QColor(0, 0, 200));
    EXPECT_EQ(pixelAt(image, 100, panel.CapHeight() - 1), Rgb(clBtnFace));
    EXPECT_EQ(pixelAt(image, 0, 5), Rgb(clBtnHighlight));

    panel.Caption().SetPosition(TPanelCaption::cpLeft);
    const QImage side = snapshot(&panel);
    EXPECT_EQ(pixelAt(side, 1, 50), QColor(0, 0, 200));
    EXPECT_EQ(pixelAt(side, panel.CapHeight() - 2, 50), QColor(0, 0, 200));
    EXPECT_EQ(pixelAt(side, panel.CapHeight() - 1, 50), Rgb(clBtnFace));
    EXPECT_EQ(panel.ChildArea().left(), 1 + panel.CapHeight() - 2);
}

// A 200 x 150 panel with a caption bar and one child, recording its collapse events.
struct CollapsingPanel : testing::Test {
    TGradientPanel panel;
    QWidget* child = new QWidget(&panel);
    QStringList events;
    CollapsingPanel()
    {
        panel.resize(200, 150);
        panel.Caption().SetVisible(true);
        child->setGeometry(10, 30, 20, 20);
        panel.show();
        panel.OnMinimize = [this](QObject*) { events << "minimize"; };
        panel.OnMaximize = [this](QObject*) { events << "maximize"; };
        panel.OnEndCollapsExpand = [this](QObject*) { events << "end"; };
    }
};

TEST_F(CollapsingPanel, ShrinksToTheCaptionBarAndHidesChildren)
{
    panel.SetCollaps(true);
    EXPECT_EQ(panel.height(), panel.CapHeight() - 2);
    EXPECT_EQ(panel.FullHeight(), 150);
    EXPECT_FALSE(child->isVisible());
    panel.SetCollaps(false);
    EXPECT_EQ(panel.height(), 150);
    EXPECT_TRUE(child->isVisible());
    EXPECT_EQ(events, QStringList({"minimize", "end", "maximize", "end"}));
}

TEST_F(CollapsingPanel, InStepsShowsItsColourMeanwhileAndEndsAsAtOnce)
{
    constexpr TColor Meanwhile = RGBColor(0, 200, 0);
    panel.SetBevelOuter(bvNone);
    panel.SetCollapsSteps(4);
    panel.SetCollapsDelay(1);
    panel.SetCollapsColor(Meanwhile);
    const int collapsed = panel.CapHeight() - 2;

    panel.SetCollaps(true);
    // The first step is taken at once; the state changes only at the end.
    EXPECT_EQ(panel.height(), 150 - (150 - collapsed) / 4);
    EXPECT_FALSE(panel.Collaps());
    EXPECT_EQ(pixelAt(snapshot(&panel), 100, panel.height() - 5), Rgb(Meanwhile));
    EXPECT_EQ(panel.Color(), clBtnFace);
    panel.SetCollaps(false); // dropped while the collapse runs
    ASSERT_TRUE(waitFor([&] { return events.contains("end"); }));
    EXPECT_EQ(panel.height(), collapsed);
    EXPECT_TRUE(panel.Collaps());
    EXPECT_FALSE(child->isVisible());

    panel.SetCollaps(false);
    ASSERT_TRUE(waitFor([&] { return events.size() == 4; }));
    EXPECT_EQ(panel.height(), 150);
    EXPECT_TRUE(child->isVisible());
    EXPECT_EQ(pixelAt(snapshot(&panel), 100, 140), Rgb(clBtnFace));
    EXPECT_EQ(events, QStringList({"minimize", "end", "maximize", "end"}));
}

struct AlignCase {
    const char* Name;
    TTextVAlignment Align;
};

class PanelText : public testing::TestWithParam<AlignCase> {};

TEST_P(PanelText, TextBlockIsPlacedByItsVerticalAlignment)
{
    TGradientPanel panel;
    panel.setFont(DesignFont());
    panel.resize(200, 100);
    panel.SetBevelOuter(bvNone);
    panel.SetText(QStringLiteral("Hello"));
    panel.SetTextVAlign(GetParam().Align);
    const QImage image = snapshot(&panel);
    const QRect ink = InkBounds(image, image.rect(), Rgb(clBtnFace));
    ASSERT_FALSE(ink.isEmpty());
    const int textHeight = panel.GetHTMLSize().height();
    EXPECT_EQ(textHeight, 13);
    EXPECT_GE(ink.left(), 1);
    switch (GetParam().Align) {
    case tvaTop: // text rectangle starts one pixel in
        EXPECT_GE(ink.top(), 1);
        EXPECT_LT(ink.bottom(), 1 + textHeight);
        break;
    case tvaCenter: { // free space 98 - 13, half of it above
        const int top = 1 + (98 - textHeight) / 2;
        EXPECT_GE(ink.top(), top);
        EXPECT_LT(ink.bottom(), top + textHeight);
        break;
    }
    case tvaBottom:
        EXPECT_GE(ink.top(), 99 - textHeight);
        EXPECT_LT(ink.bottom(), 99);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Alignments, PanelText,
    testing::Values(AlignCase{"Top", tvaTop}, AlignCase{"Center", tvaCenter}, AlignCase{"Bottom", tvaBottom}),
    caseName);

TEST(GradientPanel, EmptyTextDrawsNothingAndUnclosedMarkupDrawsAsText)
{
    TGradientPanel panel;
    panel.setFont(DesignFont());
    panel.resize(200, 60);
    panel.SetBevelOuter(bvNone);
    EXPECT_TRUE(InkBounds(snapshot(&panel), QRect(0, 0, 200, 60), Rgb(clBtnFace)).isEmpty());
    panel.SetText(QStringLiteral("open <b"));
    EXPECT_FALSE(InkBounds(snapshot(&panel), QRect(0, 0, 200, 60), Rgb(clBtnFace)).isEmpty());
    EXPECT_GT(panel.GetHTMLSize().width(), panel.fontMetrics().horizontalAdvance(QStringLiteral("open ")));
}

TEST(GradientPanel, LinksInTheTextAreReportedWhenClicked)
{
    TGradientPanel panel;
    panel.setFont(DesignFont());
    panel.resize(200, 60);
    panel.SetText(QStringLiteral("<A HREF=\"details\">details</A>"));
    QString clicked;
    panel.OnAnchorClick = [&](QObject*, const QString& Anchor) { clicked = Anchor; };
    panel.show();
    ASSERT_TRUE(waitFor([&] { return panel.isVisible(); }));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 6), panel.mapToGlobal(QPointF(5, 6)), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&panel, &press);
    EXPECT_EQ(clicked, QStringLiteral("details"));
}

TEST(GradientPanelSettings, AnotherPanelTakesOverTheLookAndKeepsFollowingItsStyler)
{
    TGradientPanel source;
    source.resize(120, 80);
    source.SetColor(RGBColor(250, 240, 230));
    source.SetColorTo(RGBColor(10, 20, 30));
    source.SetBevelOuter(bvLowered);
    source.Caption().SetVisible(true);
    TGradientPanel copy;
    copy.resize(120, 80);
    copy.Assign(source);
    EXPECT_EQ(snapshot(&copy), snapshot(&source));
    EXPECT_EQ(copy.contentsMargins().top(), 1 + copy.CapHeight() - 2);
    copy.Caption().SetVisible(false); // the copied caption still re-lays out its own panel
    EXPECT_EQ(copy.contentsMargins().top(), 1);
    EXPECT_TRUE(source.Caption().Visible());

    TGradientPanelStyler styler;
    styler.AddPanel(&copy);
    TGradientPanelSettings look = styler.Settings();
    look.Color = RGBColor(0, 0, 200);
    styler.SetSettings(look);
    EXPECT_EQ(pixelAt(snapshot(&copy), 60, 40), QColor(0, 0, 200));
}

} // namespace
