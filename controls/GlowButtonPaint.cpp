#include "controls/GlowButton.h"

#include "controls/DeviceRatio.h"

#include <QPainter>
#include <QStyle>

#include <cmath>

namespace {

// The six colours and two gradient kinds of one look.
struct TLook
{
    TColor U1, U2, M1, M2, Border;
    TGDIPGradient Upper, Lower;
};

TLook NormalLook(const TGlowButtonAppearance& A)
{
    return {A.Color(), A.ColorTo(), A.ColorMirror(), A.ColorMirrorTo(), A.BorderColor(), A.Gradient(), A.GradientMirror()};
}

TLook HotLook(const TGlowButtonAppearance& A)
{
    return {A.ColorHot(), A.ColorHotTo(), A.ColorMirrorHot(), A.ColorMirrorHotTo(), A.BorderColorHot(),
            A.GradientHot(), A.GradientMirrorHot()};
}

TLook DownLook(const TGlowButtonAppearance& A)
{
    return {A.ColorDown(), A.ColorDownTo(), A.ColorMirrorDown(), A.ColorMirrorDownTo(), A.BorderColorDown(),
            A.GradientDown(), A.GradientMirrorDown()};
}

TLook CheckedLook(const TGlowButtonAppearance& A)
{
    return {A.ColorChecked(), A.ColorCheckedTo(), A.ColorMirrorChecked(), A.ColorMirrorCheckedTo(),
            A.BorderColorChecked(), A.GradientChecked(), A.GradientMirrorChecked()};
}

TLook DisabledLook(const TGlowButtonAppearance& A)
{
    return {A.ColorDisabled(), A.ColorDisabledTo(), A.ColorMirrorDisabled(), A.ColorMirrorDisabledTo(),
            A.BorderColorDisabled(), A.GradientDisabled(), A.GradientMirrorDisabled()};
}

// Blends the four face colours (and the border when asked) of two looks; the kinds stay.
void Blend(TLook& Into, const TLook& c1, const TLook& c2, int p, bool Border)
{
    Into.U1 = MixColors(c1.U1, c2.U1, p);
    Into.U2 = MixColors(c1.U2, c2.U2, p);
    Into.M1 = MixColors(c1.M1, c2.M1, p);
    Into.M2 = MixColors(c1.M2, c2.M2, p);
    if (Border)
        Into.Border = MixColors(c1.Border, c2.Border, p);
}

} // namespace

const TButtonPicture* TCustomGlowButton::ChoosePicture() const
{
    auto DownOrNormal = [this] { return FDownPicture.Empty() ? &FPicture : &FDownPicture; };
    if (!isEnabled() && !FDisabledPicture.Empty())
        return &FDisabledPicture;
    if (FHot && !FHotPicture.Empty())
        return &FHotPicture;
    if (FState == dsDown)
        return DownOrNormal();
    if (FState == dsExclusive && FDownChecked && FGroupIndex >= 1)
        return DownOrNormal();
    return &FPicture;
}

TButtonFace TCustomGlowButton::ChooseFace() const
{
    const TGlowButtonAppearance& A = *FAppearance;
    const bool Disabled = !isEnabled();
    const bool Fading = FTimer.isActive();
    const bool CheckLook = FStyle == bsCheck && FState == dsDown;
    bool HotLookFlag = false;

    // The look of the state; the first matching row wins.
    TLook Look;
    if ((FState == dsDisabled || Disabled) && FShowDisabled) {
        Look = DisabledLook(A);
    } else if (FState == dsDown && FStyle != bsCheck) {
        Look = DownLook(A);
        HotLookFlag = true;
    } else if (FState == dsExclusive || CheckLook) {
        Look = CheckedLook(A);
        if (FHot && A.BorderColorCheckedHot() != clNone && !FMouseDown)
            Look.Border = A.BorderColorCheckedHot();
        const bool PressFade = FHot || (FStyle != bsCheck && (FGroupIndex < 1 || FState == dsDown));
        if (Fading && PressFade)
            Blend(Look, CheckedLook(A), DownLook(A), FStepPush, false);
    } else if (FHot) {
        Look = HotLook(A);
        HotLookFlag = true;
    } else {
        Look = NormalLook(A);
    }
    if (Look.M1 == clNone)
        Look.M1 = Look.U1;

    // Colours part-way through a fade; the gradient kinds stay those of the row above.
    if (Fading) {
        if (!FDown && !FTransparent && FState != dsExclusive && !CheckLook) {
            Blend(Look, HotLook(A), NormalLook(A), FStepHover, true);
        } else if (CheckLook && FDown) {
            if (FHot)
                Blend(Look, CheckedLook(A), DownLook(A), FStepPush, false);
            else
                Blend(Look, DownLook(A), CheckedLook(A), FStepPush, false);
        } else if (FDown && FState != dsExclusive) {
            Blend(Look, DownLook(A), HotLook(A), FStepPush, true);
        }
    }

    if ((FState == dsDisabled || Disabled) && FShowDisabled)
        Look = DisabledLook(A);
    const bool FocusHot = FHasFocus && (FFocusType == ftHot || FFocusType == ftHotBorder) && !FDown;
    if (FocusHot) {
        Look = HotLook(A);
        HotLookFlag = true;
    }

    TButtonFace Face;
    Face.Rect = rect();
    Face.U1 = Look.U1;
    Face.U2 = Look.U2;
    Face.M1 = Look.M1;
    Face.M2 = Look.M2;
    Face.BorderColor = Look.Border;
    Face.FocusColor = A.BorderColorFocused();
    Face.UpperKind = Look.Upper;
    Face.LowerKind = Look.Lower;

    // Caption font and colour; later rules win.
    TColor TextColor = FFontColor;
    if (FHot)
        TextColor = A.TextColorHot();
    if (FState == dsDown)
        TextColor = A.TextColorDown();
    if (CheckLook)
        TextColor = A.TextColorChecked();
    if (Disabled)
        TextColor = A.TextColorDisabled();
    Face.CaptionFont = font();
    if (A.SystemFont())
        Face.CaptionFont.setFamily(QStringLiteral("Tahoma")); // the system face before Segoe UI
    Face.CaptionColor = TextColor;
    if (Face.CaptionFont.family() != FListedFamily) {
        FListedFamily = Face.CaptionFont.family();
        FListedOutline = IsListedOutlineFont(FListedFamily);
    }
    Face.CaptionFontListed = FListedOutline ? 1 : 0;
    Face.Caption = FShowCaption ? FCaption : QString();
    Face.WideCaption = FShowCaption ? FWideCaption : QString();

    // Glyph.
    Face.Picture = ChoosePicture();
    Face.Images = FHot && FHotImages ? FHotImages.data() : FImages.data();
    Face.DisabledImages = FDisabledImages.data();
    Face.ImageIndex = FImageIndex;
    Face.ImageEnabled = !Disabled;

    Face.Layout = FLayout;
    Face.Spacing = FSpacing;
    Face.MarginHorz = FMarginHorz;
    Face.MarginVert = FMarginVert;
    Face.WordWrap = FWordWrap;
    Face.Trimming = FTrimming;
    Face.AntiAlias = FAntiAlias;
    Face.Rounded = FRounded;
    Face.Position = FPosition;
    Face.DrawBorder = DrawBorderTest();
    Face.NoBorderDefault = A.NoBorderDefault();
    Face.PointerOver = FHot;
    Face.DroppedDown = FDroppedDown;
    Face.Down = FDownChecked;
    Face.Enabled = !Disabled;
    Face.SkipFace = FTransparent && !FHot && !FocusHot && FState != dsDown;
    Face.FocusFrame = FocusBorderTest();
    Face.HotLook = HotLookFlag;
    Face.DropDownButton = FDropDownButton;
    Face.DropDownPosition = FDropDownPosition;
    Face.DropDownSplit = FDropDownSplit;
    Face.DropDownSize = int(std::lround(14 * logicalDpiX() / 96.0));
    Face.AlwaysShowAccel = FAlwaysShowAccel;
    Face.AccelsHidden = !style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this);
    return Face;
}

QSize TCustomGlowButton::sizeHint() const
{
    TButtonFace Face = ChooseFace();
    Face.MeasureOnly = true;
    // Sized to its content, the caption needs no wrapping.
    Face.Rect.setWidth(QWIDGETSIZE_MAX / 2);
    const QSize Content = DrawButtonFace(nullptr, Face);
    const bool HasCaption = !(Face.Caption.isEmpty() && Face.WideCaption.isEmpty());
    const bool Vertical = FLayout == blGlyphTop || FLayout == blGlyphBottom || FLayout == blGlyphTopAdjusted
                          || FLayout == blGlyphBottomAdjusted;
    int Width = Content.width() + 2 * FMarginHorz + (HasCaption ? 3 * FSpacing + 2 : -1);
    int Height = Content.height() + 2 * FMarginVert + (Vertical ? 0 : 2 * FSpacing);
    if (FDropDownButton) {
        if (FDropDownPosition == dpRight)
            Width += Face.DropDownSize;
        else
            Height += Face.DropDownSize;
    }
    return QSize(Width, Height);
}

void TCustomGlowButton::RequestResize()
{
    if (FAutoSize) {
        QSize Size = sizeHint();
        int Width = Size.width(), Height = Size.height();
        SizeRequest(Width, Height);
        if (Width > 0 && Height > 0 && QSize(Width, Height) != size())
            resize(Width, Height);
    }
    update();
}

QImage& TCustomGlowButton::Buffer(qreal Ratio)
{
    const QSize Pixels(DevicePixels(width(), Ratio), DevicePixels(height(), Ratio));
    if (FBuffer.size() != Pixels)
        FBuffer = QImage(Pixels, QImage::Format_ARGB32_Premultiplied);
    FBuffer.setDevicePixelRatio(Ratio);
    // Point sizes must come out as on the window itself.
    FBuffer.setDotsPerMeterX(int(std::lround(logicalDpiX() / 0.0254)));
    FBuffer.setDotsPerMeterY(int(std::lround(logicalDpiY() / 0.0254)));
    FBuffer.fill(Qt::transparent);
    return FBuffer;
}

void TCustomGlowButton::GiveCornersBack(QPainter& Canvas) const
{
    if (!parentWidget() || !FRounded || !(!FTransparent || FHot || FState == dsDown))
        return;
    const int R = width() - 1, B = height() - 1;
    QList<QPoint> Corners;
    if (FPosition == bpStandalone || FPosition == bpLeft)
        Corners << QPoint(0, 0) << QPoint(0, B);
    if (FPosition == bpStandalone || FPosition == bpRight)
        Corners << QPoint(R, 0) << QPoint(R, B);
    Canvas.save();
    Canvas.setClipping(false);
    Canvas.setCompositionMode(QPainter::CompositionMode_Clear);
    for (const QPoint& Corner : std::as_const(Corners))
        Canvas.fillRect(QRect(Corner, QSize(1, 1)), Qt::transparent);
    Canvas.restore();
}

void TCustomGlowButton::Paint(QPainter& Canvas)
{
    TButtonFace Face = ChooseFace();
    Face.Cache = &FFaceCache;
    QImage Custom;
    DrawCustomBitmap(Custom);
    if (Custom.width() >= 2 && Custom.height() >= 2)
        Face.CustomGlyph = Custom.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    PictureChosen(Face.Picture);
    DrawButtonFace(&Canvas, Face);
    AfterDraw(Canvas);
    GiveCornersBack(Canvas);

    const TGlowButtonState State = FState == dsDown ? gsDown : (FHot ? gsHot : gsNormal);
    Raise(OnDrawButton, this, &Canvas, rect(), State);
}

void TCustomGlowButton::paintEvent(QPaintEvent* Event)
{
    Q_UNUSED(Event);
    if (FPainting || width() <= 0 || height() <= 0)
        return;
    FPainting = true;
    struct TPaintingGuard
    {
        bool& Flag;
        ~TPaintingGuard() { Flag = false; }
    } Guard{FPainting};

    // The face is drawn off-screen and shown in one copy, so it is never seen half drawn. The
    // buffer has the pixels of what the window painter draws on, so it is copied one to one.
    QPainter Window(this);
    QImage& Image = Buffer(PaintRatio(Window));
    {
        QPainter Canvas(&Image);
        Paint(Canvas);
    }
    Window.drawImage(0, 0, Image);
}
