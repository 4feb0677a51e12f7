#include "app/ButtonPictures.h"
#include "controls/ButtonPicture.h"
#include "controls/GlowButton.h"
#include "controls/GlyphList.h"
#include "controls/GradientPanel.h"
#include "controls/OfficeButtons.h"
#include "controls/OfficeCheckBox.h"
#include "controls/OfficeGlyphs.h"
#include "controls/OfficeRadioGroup.h"
#include "platform/desktop/Fonts.h"
#include "tests/support/CaseName.h"
#include "tests/support/Pixels.h"
#include "transfer/TransferAnimation.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The ratios of high-resolution screens: a fractional one and a whole one.
constexpr qreal Ratios[] = {1.5, 2.0};

std::string RatioName(qreal Ratio)
{
    return Ratio == 2.0 ? "AtRatio2" : "AtRatio1_5";
}

int Pixels(int Logical, qreal Ratio)
{
    return int(std::ceil(Logical * Ratio));
}

// A glyph as painting lays it down: the key colour of a bitmap transparent.
QImage Keyed(const QImage& Bitmap)
{
    return TransparentGlyph(Bitmap).convertToFormat(QImage::Format_ARGB32);
}

QImage ButtonPictureAt(QByteArray (*Drawing)(qreal), qreal Ratio)
{
    TButtonPicture Picture;
    Picture.LoadFromDrawing(Drawing);
    return Picture.Image(Ratio).convertToFormat(QImage::Format_ARGB32);
}

// A glyph list's drawing: a ring and a bar drawn without smoothing, in two colours.
QImage ListGlyph(qreal Ratio)
{
    QImage Glyph(Pixels(16, Ratio), Pixels(16, Ratio), QImage::Format_ARGB32_Premultiplied);
    Glyph.fill(Qt::transparent);
    QPainter Painter(&Glyph);
    Painter.scale(Ratio, Ratio);
    Painter.setPen(QPen(QColor(200, 40, 40), 2));
    Painter.drawEllipse(QRectF(2, 2, 12, 12));
    Painter.fillRect(QRectF(7, 4, 2, 8), QColor(40, 40, 200));
    return Glyph;
}

// ---------------------------------------------------------------------------------------------
// Every picture the controls show, drawn for a ratio.

struct PictureCase {
    const char* Name;
    QSize Logical;                          // its size on the screen, in logical pixels
    std::function<QImage(qreal)> Draw;      // the picture for a ratio, as it is laid down
    QImage (*AtRatio1)();                   // the picture shown at ratio 1, as it is laid down
    bool HardEdged;                         // at ratio 1 no colour is a mix of two others
    bool OnlyUprightEdges;                  // only upright rectangles: a finer drawing looks the same
};

const PictureCase PictureCases[] = {
    {"InstallPicture", {16, 16}, [](qreal r) { return ButtonPictureAt(&InstallPicture, r); },
        [] { return ButtonPictureAt(&InstallPicture, 1); }, true, false},
    {"DownloadPicture", {16, 16}, [](qreal r) { return ButtonPictureAt(&DownloadPicture, r); },
        [] { return ButtonPictureAt(&DownloadPicture, 1); }, true, false},
    {"DonePicture", {16, 16}, [](qreal r) { return ButtonPictureAt(&DonePicture, r); },
        [] { return ButtonPictureAt(&DonePicture, 1); }, false, false},
    {"RadioChecked", {12, 12}, [](qreal r) { return Keyed(RadioGlyphBitmap(true, gpNormal, Pixels(12, r))); },
        [] { return Keyed(RadioGlyphBitmap(true, gpNormal)); }, true, false},
    {"RadioUncheckedHot", {12, 12}, [](qreal r) { return Keyed(RadioGlyphBitmap(false, gpHot, Pixels(12, r))); },
        [] { return Keyed(RadioGlyphBitmap(false, gpHot)); }, true, false},
    {"CheckUnchecked", {12, 12}, [](qreal r) { return Keyed(CheckGlyphBitmap(cbUnchecked, gpNormal, Pixels(12, r))); },
        [] { return Keyed(CheckGlyphBitmap(cbUnchecked, gpNormal)); }, true, true},
    {"CheckChecked", {12, 12}, [](qreal r) { return Keyed(CheckGlyphBitmap(cbChecked, gpNormal, Pixels(12, r))); },
        [] { return Keyed(CheckGlyphBitmap(cbChecked, gpNormal)); }, true, false},
    {"CheckGrayedPressed", {12, 12}, [](qreal r) { return Keyed(CheckGlyphBitmap(cbGrayed, gpPressed, Pixels(12, r))); },
        [] { return Keyed(CheckGlyphBitmap(cbGrayed, gpPressed)); }, true, true},
};

void PrintTo(const PictureCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class PictureAtRatio : public testing::TestWithParam<std::tuple<PictureCase, qreal>> {
protected:
    const PictureCase& Case() const { return std::get<0>(GetParam()); }
    qreal Ratio() const { return std::get<1>(GetParam()); }
};

TEST_P(PictureAtRatio, HasThePixelsOfTheScreen)
{
    const QImage Drawn = Case().Draw(Ratio());
    EXPECT_EQ(Drawn.width(), Pixels(Case().Logical.width(), Ratio()));
    EXPECT_EQ(Drawn.height(), Pixels(Case().Logical.height(), Ratio()));
}

TEST_P(PictureAtRatio, HasEdgesFinerThanALogicalPixel)
{
    if (Case().OnlyUprightEdges && Ratio() == 2.0)
        GTEST_SKIP() << "upright edges on whole logical pixels look the same drawn finely or enlarged";
    EXPECT_FALSE(isEnlargedFrom(Case().Draw(Ratio()), Case().Logical, Ratio()))
        << "the picture is a ratio-1 picture enlarged";
}

// Pictures whose ratio-1 picture mixes no colours, and those drawn smoothed.
class HardEdgedPictureAtRatio : public PictureAtRatio {};
class SmoothedPictureAtRatio : public PictureAtRatio {};

TEST_P(HardEdgedPictureAtRatio, MixesNoColourItsRatio1PictureDoesNotMix)
{
    const QSet<QRgb> Allowed = coloursOf(Case().AtRatio1());
    for (QRgb Colour : coloursOf(Case().Draw(Ratio())))
        EXPECT_TRUE(Allowed.contains(Colour)) << "mixed colour #" << std::hex << Colour;
}

TEST_P(SmoothedPictureAtRatio, SmoothedEdgesStayOneScreenPixelWide)
{
    // Pixels that are neither transparent nor the main colour make up the smoothed edge. Its
    // length grows with the ratio, its width must not: an enlarged picture's would grow with
    // the square of the ratio.
    const auto EdgePixels = [](const QImage& Image) {
        QMap<QRgb, int> Counts;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x)
                if (qAlpha(Image.pixel(x, y)) == 255)
                    ++Counts[Image.pixel(x, y)];
        int Main = 0, Total = 0;
        for (int Count : Counts) {
            Main = std::max(Main, Count);
            Total += Count;
        }
        return Total - Main;
    };
    const int AtRatio1 = EdgePixels(Case().AtRatio1());
    const int Drawn = EdgePixels(Case().Draw(Ratio()));
    EXPECT_LE(Drawn, AtRatio1 * Ratio() * 1.25) << "ratio 1 has " << AtRatio1;
}

std::string PictureCaseName(const testing::TestParamInfo<std::tuple<PictureCase, qreal>>& Info)
{
    return std::string(std::get<0>(Info.param).Name) + RatioName(std::get<1>(Info.param));
}

std::vector<PictureCase> PicturesWhere(bool HardEdged)
{
    std::vector<PictureCase> Cases;
    for (const PictureCase& Case : PictureCases)
        if (Case.HardEdged == HardEdged)
            Cases.push_back(Case);
    return Cases;
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureAtRatio,
    testing::Combine(testing::ValuesIn(PictureCases), testing::ValuesIn(Ratios)), PictureCaseName);
INSTANTIATE_TEST_SUITE_P(Pictures, HardEdgedPictureAtRatio,
    testing::Combine(testing::ValuesIn(PicturesWhere(true)), testing::ValuesIn(Ratios)), PictureCaseName);
INSTANTIATE_TEST_SUITE_P(Pictures, SmoothedPictureAtRatio,
    testing::Combine(testing::ValuesIn(PicturesWhere(false)), testing::ValuesIn(Ratios)), PictureCaseName);

// ---------------------------------------------------------------------------------------------
// Every control on a screen of a ratio shows the pictures drawn for that ratio, pixel for pixel,
// where it shows them at ratio 1.

struct ControlCase {
    const char* Name;
    std::function<std::unique_ptr<QWidget>()> Build;
    std::function<QImage(QWidget*, qreal)> Glyph; // the glyph drawn for a ratio, laid down
    // Where the glyph's top-left corner lies in the control, in logical pixels.
    std::function<QPoint(QWidget*)> Place;
};

std::unique_ptr<QWidget> GlowButton(std::function<void(TGlowButton&)> Setup)
{
    auto Button = std::make_unique<TGlowButton>();
    Button->SetCaption(QStringLiteral("Download"));
    Button->resize(180, 28);
    Setup(*Button);
    return Button;
}

ControlCase GlowButtonWith(const char* Name, QByteArray (*Drawing)(qreal))
{
    return {Name, [Drawing] { return GlowButton([Drawing](TGlowButton& B) { B.Picture()->LoadFromDrawing(Drawing); }); },
        [Drawing](QWidget*, qreal r) { return ButtonPictureAt(Drawing, r); },
        [Drawing](QWidget* W) { return findPicture(renderAt(W, 1), ButtonPictureAt(Drawing, 1)); }};
}

ControlCase CheckBoxIn(const char* Name, TCheckBoxState State)
{
    return {Name,
        [State] {
            auto Box = std::make_unique<TOfficeCheckBox>();
            Box->SetCaption(QStringLiteral("Sharp"));
            Box->SetState(State);
            return std::unique_ptr<QWidget>(std::move(Box));
        },
        [State](QWidget*, qreal r) { return Keyed(CheckGlyphBitmap(State, gpNormal, Pixels(12, r))); },
        [](QWidget* W) { return static_cast<TOfficeCheckBox*>(W)->GlyphRect().topLeft(); }};
}

ControlCase RadioGroupItem(const char* Name, int Item)
{
    return {Name,
        [] {
            auto Group = std::make_unique<TOfficeRadioGroup>();
            Group->resize(190, 96);
            Group->SetCaption(QStringLiteral("Select version to install"));
            Group->SetColumns(3);
            Group->SetItems({QStringLiteral("9.21"), QStringLiteral("9.51"), QStringLiteral("10.0")});
            Group->SetItemIndex(0);
            return std::unique_ptr<QWidget>(std::move(Group));
        },
        [Item](QWidget*, qreal r) { return Keyed(RadioGlyphBitmap(Item == 0, gpNormal, Pixels(12, r))); },
        [Item](QWidget* W) {
            TOfficeGroupButton* Button = static_cast<TOfficeRadioGroup*>(W)->RadioButtons(Item);
            return Button->mapTo(W, Button->GlyphRect().topLeft());
        }};
}

const ControlCase ControlCases[] = {
    GlowButtonWith("GlowButtonWithInstallPicture", &InstallPicture),
    GlowButtonWith("GlowButtonWithDownloadPicture", &DownloadPicture),
    GlowButtonWith("GlowButtonWithDonePicture", &DonePicture),
    {"GlowButtonWithGlyphListDrawing",
        [] {
            return GlowButton([](TGlowButton& B) {
                auto* List = new TGlyphList(QSize(16, 16), &B);
                B.SetImages(List);
                B.SetImageIndex(List->Add(&ListGlyph));
            });
        },
        [](QWidget*, qreal r) { return ListGlyph(r).convertToFormat(QImage::Format_ARGB32); },
        [](QWidget* W) { return findPicture(renderAt(W, 1), ListGlyph(1)); }},
    RadioGroupItem("RadioGroupCheckedItem", 0),
    RadioGroupItem("RadioGroupUncheckedItem", 1),
    CheckBoxIn("CheckBoxUnchecked", cbUnchecked),
    CheckBoxIn("CheckBoxChecked", cbChecked),
    CheckBoxIn("CheckBoxGrayed", cbGrayed),
};

void PrintTo(const ControlCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class ControlAtRatio : public testing::TestWithParam<std::tuple<ControlCase, qreal>> {
protected:
    void SetUp() override { platform::ensureDesignFonts(); }
    const ControlCase& Case() const { return std::get<0>(GetParam()); }
    qreal Ratio() const { return std::get<1>(GetParam()); }
};

TEST_P(ControlAtRatio, ShowsTheGlyphDrawnForTheRatioWhereItShowsItAtRatio1)
{
    const std::unique_ptr<QWidget> Control = Case().Build();
    const QPoint Logical = Case().Place(Control.get());
    ASSERT_GE(Logical.x(), 0) << "the glyph is not found at ratio 1";
    const QImage Screen = renderAt(Control.get(), Ratio());
    const QPoint Found = findPicture(Screen, Case().Glyph(Control.get(), Ratio()));
    ASSERT_GE(Found.x(), 0) << "the glyph drawn for the ratio is not on the screen";
    // A fractional ratio puts an odd logical position between two screen pixels.
    const QPointF Expected = QPointF(Logical) * Ratio();
    EXPECT_LE(std::abs(Found.x() - Expected.x()), 1.0) << Found.x() << " for " << Logical.x();
    EXPECT_LE(std::abs(Found.y() - Expected.y()), 1.0) << Found.y() << " for " << Logical.y();
}

INSTANTIATE_TEST_SUITE_P(Controls, ControlAtRatio, testing::Combine(testing::ValuesIn(ControlCases), testing::ValuesIn(Ratios)),
    [](const testing::TestParamInfo<std::tuple<ControlCase, qreal>>& Info) {
        return std::string(std::get<0>(Info.param).Name) + RatioName(std::get<1>(Info.param));
    });

// ---------------------------------------------------------------------------------------------
// Controls that paint through an off-screen image or straight onto the screen look the same
// either way: the image has the screen's pixels.

class DrawnDirectly : public testing::TestWithParam<qreal> {
protected:
    void SetUp() override { platform::ensureDesignFonts(); }
};

TEST_P(DrawnDirectly, BufferedGradientPanelIsThePanelDrawnStraightOntoTheScreen)
{
    TGradientPanel Panel;
    Panel.resize(301, 121);
    Panel.SetColor(clWhite);
    Panel.SetColorTo(RGBColor(235, 235, 235));
    Panel.SetText(QStringLiteral("Setup files are <b>sharp</b> at any scale"));
    Panel.SetBuffered(true);
    const QImage Buffered = renderAt(&Panel, GetParam());
    Panel.SetBuffered(false);
    const QImage Direct = renderAt(&Panel, GetParam());
    EXPECT_EQ(Buffered, Direct);
    EXPECT_FALSE(isEnlargedFrom(Buffered, Panel.size(), GetParam()));
}

TEST_P(DrawnDirectly, AnimationFrameOnTheScreenIsTheFrameDrawnForItsRatio)
{
    TTransferAnimation Animation;
    for (TAnimationClip Clip : {acDownload, acUpload, acFileCopy}) {
        Animation.SetClip(Clip);
        const QImage Screen = renderAt(&Animation, GetParam());
        // On its own the control is a window, which gets its palette's ground first.
        QImage Frame(Screen.size(), QImage::Format_ARGB32_Premultiplied);
        Frame.setDevicePixelRatio(GetParam());
        Frame.fill(Animation.palette().color(QPalette::Window));
        {
            QPainter Painter(&Frame);
            TTransferAnimation::DrawFrame(Painter, Clip, 0);
        }
        EXPECT_EQ(Screen, Frame) << "clip " << int(Clip);
        EXPECT_FALSE(isEnlargedFrom(Screen, Animation.size(), GetParam())) << "clip " << int(Clip);
    }
}

INSTANTIATE_TEST_SUITE_P(Ratios, DrawnDirectly, testing::ValuesIn(Ratios),
    [](const testing::TestParamInfo<qreal>& Info) { return RatioName(Info.param); });

// At ratio 1 a glow button is drawn as it always was: the picture for ratio 1 is the picture's
// bytes, and a glyph list drawing gives its ratio-1 glyph.
TEST(PictureAtRatio1, IsThePicturesOwnBytes)
{
    TButtonPicture Picture;
    Picture.LoadFromDrawing(&DownloadPicture);
    EXPECT_EQ(Picture.Data(), DownloadPicture());
    EXPECT_EQ(&Picture.Image(1.0), &Picture.Image());
    EXPECT_EQ(Picture.Image(2.0).devicePixelRatio(), 2.0);
    EXPECT_EQ(Picture.Width(), 16);
}

// A picture loaded from a file after a drawing is that file at every ratio.
TEST(PictureAtRatio1, LoadingBytesEndsTheDrawing)
{
    TButtonPicture Picture;
    Picture.LoadFromDrawing(&DownloadPicture);
    Picture.LoadFromData(InstallPicture());
    EXPECT_FALSE(Picture.Drawn());
    EXPECT_EQ(&Picture.Image(2.0), &Picture.Image());
    TButtonPicture Copy;
    Picture.LoadFromDrawing(&DonePicture);
    Copy.Assign(Picture);
    EXPECT_TRUE(Copy.Drawn());
    EXPECT_EQ(Copy.Image(2.0).size(), QSize(32, 32));
}

} // namespace
