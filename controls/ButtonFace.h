#pragma once

#include "controls/Colors.h"
#include "controls/GlowButtonAppearance.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>

class QPainter;
class TButtonPicture;
class TGlyphList;

enum TButtonPosition { bpStandalone, bpLeft, bpMiddle, bpRight };
enum TButtonLayout {
    blGlyphLeft,
    blGlyphTop,
    blGlyphRight,
    blGlyphBottom,
    blGlyphLeftAdjusted,
    blGlyphRightAdjusted,
    blGlyphTopAdjusted,
    blGlyphBottomAdjusted
};
enum TAntiAlias { aaNone, aaClearType, aaAntiAlias };
// How a caption too long for its box is cut.
enum StringTrimming {
    StringTrimmingNone,
    StringTrimmingCharacter,
    StringTrimmingWord,
    StringTrimmingEllipsisCharacter,
    StringTrimmingEllipsisWord,
    StringTrimmingEllipsisPath
};
enum TDropDownPosition { dpRight, dpBottom };
enum TDropDownHotPart { dhNone, dhButton, dhArrow };

// The fills and border of the last face a button drew, kept so that a repaint in the same look
// copies them instead of computing the gradients again.
struct TButtonFaceCache
{
    struct TKey
    {
        QSize Size;
        qreal Ratio = 0;
        TColor U1 = 0, U2 = 0, M1 = 0, M2 = 0, Border = 0;
        TGDIPGradient Upper = ggVertical, Lower = ggVertical;
        bool Rounded = false, DrawBorder = false;
        TButtonPosition Position = bpStandalone;
        bool operator==(const TKey&) const = default;
    };
    TKey Key;
    QImage Image;
};

// Everything the face drawing needs to know about the look a button chose for its state.
struct TButtonFace
{
    QRect Rect;
    TColor U1 = clWhite, U2 = clWhite; // upper part, start and end
    TColor M1 = clNone, M2 = clNone;   // lower part, from the mirror colour and its end colour
    TColor BorderColor = clNone, FocusColor = clNone;
    TGDIPGradient UpperKind = ggVertical, LowerKind = ggVertical;

    QString Caption, WideCaption; // the wide caption is used only when the caption is empty
    QFont CaptionFont;
    TColor CaptionColor = clBlack;
    // Whether the caption font is an outline font of the font list; -1 looks it up (slow, so a
    // button remembers the answer for its font).
    int CaptionFontListed = -1;
    bool DrawCaption = true;

    const TButtonPicture* Picture = nullptr;
    const TGlyphList* Images = nullptr;
    const TGlyphList* DisabledImages = nullptr;
    int ImageIndex = -1;
    bool ImageEnabled = true;
    QSize GlyphOverride; // empty: natural size
    QImage CustomGlyph;  // drawn instead of the picture when a descendant supplies one

    TButtonLayout Layout = blGlyphLeft;
    int Spacing = 2, MarginHorz = 1, MarginVert = 1;
    bool WordWrap = true;
    StringTrimming Trimming = StringTrimmingNone;
    TAntiAlias AntiAlias = aaClearType;

    bool Rounded = true;
    TButtonPosition Position = bpStandalone;
    bool DrawBorder = true, NoBorderDefault = false;

    bool PointerOver = false, DroppedDown = false, Down = false, Enabled = true;
    bool SkipFace = false, FocusFrame = false, HotLook = false;

    bool DropDownButton = false;
    TDropDownPosition DropDownPosition = dpRight;
    bool DropDownSplit = true;
    TDropDownHotPart DropDownHotPart = dhNone;
    int DropDownSize = 14; // pixels at the display's scale

    bool AlwaysShowAccel = false, AccelsHidden = false;
    bool MeasureOnly = false;
    TButtonFaceCache* Cache = nullptr; // optional, owned by the caller
};

// Opaque 0xAARRGGBB of a colour, system colours resolved; clNone gives 0 (nothing is drawn).
std::uint32_t ColorToARGB(TColor Color);

// Expands each backslash-n (either case) of a caption into a line break, or into a space when
// the glyph is stretched to a fixed size.
QString ExpandCaptionBreaks(const QString& Caption, bool GlyphOverride);

// Fills one half of the face: solid base colour, then a linear gradient over the rectangle or a
// radial glow clipped to an ellipse at the outer edge. Not anti-aliased.
void FillGlowHalf(QPainter& Canvas, const QRect& Rect, TColor C1, TColor C2, TGDIPGradient Kind, bool Upper);

// A 1-pixel outline whose edges lie on the pixels at X..X+W and Y..Y+H, with rounded corners of
// the given radius (0 gives a plain rectangle).
void DrawRoundRect(QPainter& Canvas, TColor Color, int X, int Y, int W, int H, int Radius);

// Whether a font family is an outline font the font list holds, which the caption draws smoothed.
bool IsListedOutlineFont(const QString& Family);

// Paints the face (fills, border, focus frame, caption, glyph) or, in measure-only mode, paints
// nothing. Returns the content size: glyph plus caption.
QSize DrawButtonFace(QPainter* Canvas, const TButtonFace& Face);
