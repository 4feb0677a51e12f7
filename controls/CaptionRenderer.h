#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// How a caption is laid out and coloured. Captions are plain text or a small mark-up:
// <B>, <I>, <U>, <BR> and links <A HREF="target">text</A>, with the entities &amp; &lt; &gt;
// &quot; and &nbsp;. A single "&" marks the accelerator character and is not drawn; "&&" draws
// one "&". A "<" that never closes is drawn as it stands.
struct TCaptionOptions {
    bool WordWrap = false;
    bool Ellipsis = false;
    int LineSpacing = 0;
    QColor URLColor = QColor(0, 0, 255);
    QColor ShadowColor = QColor(128, 128, 128);
    int ShadowOffset = 1;
};

struct TCaptionResult {
    int Width = 0;  // widest drawn line
    int Height = 0; // all lines
    QString Anchor; // link target under the hit point, empty when none
};

// Lays out Caption inside Rect with Font. With a painter the caption is drawn in Color (links
// in the link colour), otherwise only measured. The link under HitPoint, if any, is reported.
TCaptionResult RenderCaption(QPainter* Painter, const QFont& Font, const QColor& Color,
    const QString& Caption, const QRect& Rect, const TCaptionOptions& Options = {},
    const QPoint& HitPoint = QPoint(-1000000, -1000000));

// Measures without drawing.
inline TCaptionResult MeasureCaption(const QFont& Font, const QString& Caption, const QRect& Rect,
    const TCaptionOptions& Options = {})
{
    return RenderCaption(nullptr, Font, QColor(), Caption, Rect, Options);
}

// The link target under Point, empty when there is none.
QString CaptionAnchorAt(const QFont& Font, const QString& Caption, const QRect& Rect,
    const TCaptionOptions& Options, const QPoint& Point);

// The caption as the user reads it: mark-up removed, entities and accelerator marks resolved.
QString PlainCaption(const QString& Caption);
// The text an entity of a caption stands for, by its name ("amp", "lt", "nbsp" ...; any case);
// empty for a name captions do not know.
QString CaptionEntity(const QString& Name);

// The accelerator character of a caption (the character after a single "&"), or a null QChar.
QChar CaptionAccelerator(const QString& Caption);

// True when a link target is opened by the desktop rather than reported to the control's owner.
bool IsExternalAnchor(const QString& Anchor);
