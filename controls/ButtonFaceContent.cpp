#include "controls/ButtonFaceContent.h"

#include "controls/ButtonFace.h"
#include "controls/ButtonPicture.h"
#include "controls/DeviceRatio.h"
#include "controls/GlyphList.h"
#include "controls/Rounding.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

bool IsHorizontal(TButtonLayout Layout)
{
    return Layout == blGlyphLeft || Layout == blGlyphRight || Layout == blGlyphLeftAdjusted
           || Layout == blGlyphRightAdjusted;
}

int AlignmentFlags(TButtonLayout Layout)
{
    int Flags = Qt::AlignHCenter | Qt::AlignVCenter;
    if (Layout == blGlyphLeftAdjusted)
        Flags = (Flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    else if (Layout == blGlyphRightAdjusted)
        Flags = (Flags & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
    if (Layout == blGlyphTopAdjusted)
        Flags = (Flags & ~Qt::AlignVertical_Mask) | Qt::AlignTop;
    else if (Layout == blGlyphBottomAdjusted)
        Flags = (Flags & ~Qt::AlignVertical_Mask) | Qt::AlignBottom;
    return Flags;
}

// The glyph the face shows and its size before any caption spacing.
struct TGlyph
{
    const QImage* Image = nullptr;
    bool IsBitmap = false;
    const TGlyphList* List = nullptr;
    QSize Size;
    bool Present() const { return Image || List; }
};

// Ratio is the device pixel ratio painted at: a picture drawn in code comes drawn for it.
TGlyph ChooseGlyph(const TButtonFace& Face, qreal Ratio)
{
    TGlyph Glyph;
    if (!Face.CustomGlyph.isNull()) {
        Glyph.Image = &Face.CustomGlyph;
        Glyph.Size = Face.CustomGlyph.size();
    } else if (Face.Picture && !Face.Picture->Empty()) {
        if (!Face.Picture->Image().isNull()) {
            Glyph.Image = &Face.Picture->Image(Ratio);
            Glyph.IsBitmap = Face.Picture->IsBitmap();
            Glyph.Size = Face.Picture->Image().size();
        }
    } else if (Face.Images && Face.Images->ValidIndex(Face.ImageIndex)) {
        Glyph.List = Face.Images;
        if (!Face.ImageEnabled && Face.DisabledImages && Face.DisabledImages->ValidIndex(Face.ImageIndex))
            Glyph.List = Face.DisabledImages;
        Glyph.Size = Glyph.List->GlyphSize();
    }
    if (Glyph.Present() && Face.GlyphOverride.width() > 0 && Face.GlyphOverride.height() > 0)
        Glyph.Size = Face.GlyphOverride;
    return Glyph;
}

void DrawGlyph(QPainter& Canvas, const TButtonFace& Face, const TGlyph& Glyph, QPoint At)
{
    const int Width = Face.Rect.width(), Height = Face.Rect.height();
    if (Glyph.Image) {
        const QImage& Image = *Glyph.Image;
        const QSize Limited(std::min(Width, Glyph.Size.width()), std::min(Height, Glyph.Size.height()));
        const qreal Ratio = Image.devicePixelRatio();
        if (Face.GlyphOverride.width() > 0 && Face.GlyphOverride.height() > 0)
            Canvas.drawImage(QRect(At, Face.GlyphOverride), Image);
        else if (Glyph.IsBitmap && Ratio == 1.0)
            Canvas.drawImage(At, Image, QRect(QPoint(0, 0), Limited));
        else if (Glyph.IsBitmap) // the same part of a picture drawn for a finer device
            Canvas.drawImage(QRectF(At, Limited), Image,
                             QRectF(0, 0, std::min<qreal>(Image.width(), Limited.width() * Ratio),
                                    std::min<qreal>(Image.height(), Limited.height() * Ratio)));
        else
            Canvas.drawImage(QRect(At, Limited), Image);
    } else if (Glyph.List) {
        const bool OwnDisabledForm = !Face.ImageEnabled && Glyph.List == Face.Images;
        Glyph.List->Draw(Canvas, At.x(), At.y(), Face.ImageIndex, !OwnDisabledForm);
    }
}

// Where the caption goes and where the glyph's top-left corner lies.
struct TContentLayout
{
    QRectF CaptionBox;
    QPoint GlyphAt;
};

TContentLayout LayOut(const TButtonFace& Face, int N, int M, const QRectF& Measured)
{
    const QRect& R = Face.Rect;
    const int L = R.left(), T = R.top(), Width = R.width(), Height = R.height();
    const qreal bx = Measured.x(), bw = Measured.width(), bh = Measured.height();
    const int CentredY = T + std::max(0, (Height - M) / 2);
    const int VerticalWidth = Face.WordWrap ? Width - N - Face.Spacing : Width;
    TContentLayout Out;
    switch (Face.Layout) {
    case blGlyphLeft:
        Out.CaptionBox = QRectF(L + 2 + N, T, Width - 2 - N, Height);
        Out.GlyphAt = QPoint(std::max(2, RoundEven(bx - N / 2)), CentredY);
        break;
    case blGlyphLeftAdjusted:
        Out.CaptionBox = QRectF(L + 2 + N + Face.MarginHorz, T, Width - 2 - N - Face.MarginHorz, Height);
        Out.GlyphAt = QPoint(std::max(2, RoundEven(bx - N / 2)) + Face.MarginHorz, CentredY);
        break;
    case blGlyphRight:
        Out.CaptionBox = QRectF(2, T, Width - 4 - N, Height);
        Out.GlyphAt = QPoint(std::min(Width - N - 2, RoundEven(bw) + std::max(0, RoundEven(Width - 4 - N - bw) / 2) + 4)
                                 + Face.Spacing,
                             CentredY);
        break;
    case blGlyphRightAdjusted:
        Out.CaptionBox = QRectF(2, T, Width - 4 - N, Height);
        Out.GlyphAt = QPoint(Width - N - 2 + Face.Spacing, CentredY);
        break;
    case blGlyphTop:
    case blGlyphTopAdjusted: {
        Out.CaptionBox = QRectF(L, T + M, VerticalWidth, Height - 2 - M);
        const int y = Face.Layout == blGlyphTop ? T + std::max(0, (RoundEven(Height - 2 - M - bh) / 2) / 2) : T;
        Out.GlyphAt = QPoint(L + std::max(0, (Width - N) / 2), std::max(2, y));
        break;
    }
    case blGlyphBottom:
    case blGlyphBottomAdjusted: {
        const bool Adjusted = Face.Layout == blGlyphBottomAdjusted;
        Out.CaptionBox = QRectF(L, 2, VerticalWidth, Adjusted ? Height - Face.Spacing - M : Height - 2 - M);
        int y = Adjusted ? RoundEven(bh + 2) + Height / 2
                         : RoundEven(bh + 2) + std::max(0, RoundEven(Height - 2 - M - bh) / 2) + Face.Spacing;
        if (y > Height - M)
            y = Height - M - 2;
        Out.GlyphAt = QPoint(L + std::max(0, (Width - N) / 2), y);
        break;
    }
    }
    return Out;
}

QString Trimmed(const QString& Text, const QFontMetricsF& Metrics, const QRectF& Box, StringTrimming Trimming, int Flags)
{
    if (Trimming != StringTrimmingEllipsisCharacter && Trimming != StringTrimmingEllipsisWord
        && Trimming != StringTrimmingEllipsisPath)
        return Text;
    if (Metrics.boundingRect(Box, Flags, Text).width() <= Box.width())
        return Text;
    const Qt::TextElideMode Mode = Trimming == StringTrimmingEllipsisPath ? Qt::ElideMiddle : Qt::ElideRight;
    QStringList Lines = Text.split(QLatin1Char('\n'));
    for (QString& Line : Lines)
        Line = Metrics.elidedText(Line, Mode, Box.width());
    return Lines.join(QLatin1Char('\n'));
}

// Outline fonts the font list knows are drawn smoothed; everything else goes the plain way.
bool UsesSmoothPath(const TButtonFace& Face)
{
    if (Face.AntiAlias == aaNone)
        return false;
    if (Face.CaptionFontListed >= 0)
        return Face.CaptionFontListed != 0;
    return IsListedOutlineFont(Face.CaptionFont.family());
}

} // namespace

QSize DrawFaceContent(QPainter* Canvas, const TButtonFace& Face)
{
    const QRect& R = Face.Rect;
    const int Width = R.width(), Height = R.height();
    const TGlyph Glyph = ChooseGlyph(Face, Canvas ? PaintRatio(*Canvas) : 1.0);
    const bool Override = Face.GlyphOverride.width() > 0 && Face.GlyphOverride.height() > 0;
    QString Caption = Face.DrawCaption ? (Face.Caption.isEmpty() ? Face.WideCaption : Face.Caption) : QString();
    Caption = ExpandCaptionBreaks(Caption, Override);
    const bool HasCaption = !Caption.isEmpty();

    int N = Glyph.Present() ? Glyph.Size.width() : 0;
    int M = Glyph.Present() ? Glyph.Size.height() : 0;
    if (HasCaption && IsHorizontal(Face.Layout))
        N += Face.Spacing;
    if (HasCaption && (Face.Layout == blGlyphTop || Face.Layout == blGlyphTopAdjusted))
        M += Face.Spacing;

    const bool Smooth = UsesSmoothPath(Face);
    const bool Hidden = Face.AccelsHidden && !Face.AlwaysShowAccel;
    int Flags = AlignmentFlags(Face.Layout) | (Hidden ? Qt::TextHideMnemonic : Qt::TextShowMnemonic);
    if (Smooth)
        Flags |= Face.WordWrap ? Qt::TextWordWrap : 0;
    else
        Flags |= Face.WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine;

    QFont Font = Face.CaptionFont;
    Font.setStyleStrategy(Smooth ? QFont::PreferAntialias : QFont::NoAntialias);
    const QFontMetricsF Metrics = Canvas && Canvas->device() ? QFontMetricsF(Font, Canvas->device()) : QFontMetricsF(Font);

    // The measured box places the glyph and sizes the content; a plain caption needs none.
    QRectF Measured;
    if (HasCaption && (Glyph.Present() || Face.MeasureOnly || !Canvas)) {
        const QRectF LayoutBox(R.left(), R.top(), IsHorizontal(Face.Layout) ? Width - Face.Spacing : Width, Height);
        Measured = Metrics.boundingRect(LayoutBox, Flags, Caption);
    }

    const QSize Content = IsHorizontal(Face.Layout)
                              ? QSize(N + int(std::ceil(Measured.width())), std::max(M, int(std::ceil(Measured.height()))))
                              : QSize(std::max(N, int(std::ceil(Measured.width()))), M + int(std::ceil(Measured.height())));
    if (Face.MeasureOnly || !Canvas || Width <= 0 || Height <= 0)
        return Content;

    QPainter& P = *Canvas;
    TContentLayout Layout = LayOut(Face, N, M, Measured);
    if (HasCaption && Face.CaptionColor != clNone) {
        P.save();
        P.setFont(Font);
        P.setRenderHint(QPainter::TextAntialiasing, Smooth);
        if (Smooth) {
            P.setPen(QColor::fromRgba(ColorToARGB(Face.CaptionColor)));
            Layout.CaptionBox.translate(-1, 0);
        } else {
            P.setPen(QColor::fromRgba(ColorToARGB(Face.Enabled ? Face.CaptionColor : clGray)));
            if (Face.Layout == blGlyphLeft) {
                const qreal CaptionWidth = Metrics.boundingRect(Layout.CaptionBox, Flags, Caption).width();
                Layout.GlyphAt.setX(std::max(2, int(Width - CaptionWidth - N) / 2 - 2));
            }
        }
        P.drawText(Layout.CaptionBox, Flags, Trimmed(Caption, Metrics, Layout.CaptionBox, Face.Trimming, Flags));
        P.restore();
    }
    if (Glyph.Present()) {
        if (!HasCaption)
            Layout.GlyphAt = QPoint(R.left() + std::max(0, (Width - N) / 2), R.top() + std::max(0, (Height - M) / 2));
        DrawGlyph(P, Face, Glyph, Layout.GlyphAt);
    }
    return Content;
}

bool IsListedOutlineFont(const QString& Family)
{
    return QFontDatabase::hasFamily(Family) && QFontDatabase::isScalable(Family);
}

QString ExpandCaptionBreaks(const QString& Caption, bool GlyphOverride)
{
    QString Result;
    Result.reserve(Caption.size());
    for (qsizetype i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == QLatin1Char('\\') && i + 1 < Caption.size()
            && (Caption[i + 1] == QLatin1Char('n') || Caption[i + 1] == QLatin1Char('N'))) {
            // One line feed: Qt's text layout breaks on it alone.
            Result += GlyphOverride ? QLatin1Char(' ') : QLatin1Char('\n');
            ++i;
        } else {
            Result += Caption[i];
        }
    }
    return Result;
}
