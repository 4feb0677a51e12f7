#include "controls/CaptionRenderer.h"

#include <QFontMetrics>
#include <QList>
#include <QPainter>

namespace {

struct TFragment {
    QString Text;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    QString Anchor;
    bool LineBreak = false;
};

struct TPiece {
    QString Text;
    QFont Font;
    QString Anchor;
    int X = 0;
    int Width = 0;
};

struct TLine {
    QList<TPiece> Pieces;
    int Width = 0;
    int Top = 0;
};

QString AttributeValue(const QString& Tag, const QString& Attribute)
{
    const qsizetype at = Tag.indexOf(Attribute, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    qsizetype i = Tag.indexOf(QLatin1Char('='), at + Attribute.size());
    if (i < 0)
        return QString();
    ++i;
    while (i < Tag.size() && Tag[i].isSpace())
        ++i;
    if (i < Tag.size() && (Tag[i] == QLatin1Char('"') || Tag[i] == QLatin1Char('\''))) {
        const QChar quote = Tag[i];
        const qsizetype end = Tag.indexOf(quote, i + 1);
        return end < 0 ? Tag.mid(i + 1) : Tag.mid(i + 1, end - i - 1);
    }
    qsizetype end = i;
    while (end < Tag.size() && !Tag[end].isSpace())
        ++end;
    return Tag.mid(i, end - i);
}

QList<TFragment> ParseCaption(const QString& Caption)
{
    QList<TFragment> fragments;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    QString anchor;
    TFragment current;
    const auto flush = [&] {
        if (!current.Text.isEmpty())
            fragments.append(current);
        current = TFragment();
        current.Bold = bold > 0;
        current.Italic = italic > 0;
        current.Underline = underline > 0;
        current.Anchor = anchor;
    };
    qsizetype i = 0;
    while (i < Caption.size()) {
        const QChar c = Caption[i];
        if (c == QLatin1Char('<')) {
            const qsizetype end = Caption.indexOf(QLatin1Char('>'), i + 1);
            if (end < 0) { // unclosed: the rest is text
                current.Text += Caption.mid(i);
                break;
            }
            const QString tag = Caption.mid(i + 1, end - i - 1).trimmed();
            const bool closing = tag.startsWith(QLatin1Char('/'));
            const QString name = (closing ? tag.mid(1) : tag).section(QLatin1Char(' '), 0, 0).toUpper();
            flush();
            const int step = closing ? -1 : 1;
            if (name == QLatin1String("B"))
                bold = qMax(0, bold + step);
            else if (name == QLatin1String("I"))
                italic = qMax(0, italic + step);
            else if (name == QLatin1String("U"))
                underline = qMax(0, underline + step);
            else if (name == QLatin1String("A"))
                anchor = closing ? QString() : AttributeValue(tag, QStringLiteral("href"));
            else if (name == QLatin1String("BR") || name == QLatin1String("BR/")) {
                TFragment lineBreak;
                lineBreak.LineBreak = true;
                fragments.append(lineBreak);
            }
            flush();
            i = end + 1;
            continue;
        }
        if (c == QLatin1Char('&')) {
            if (i + 1 < Caption.size() && Caption[i + 1] == QLatin1Char('&')) {
                current.Text += QLatin1Char('&');
                i += 2;
                continue;
            }
            const qsizetype semicolon = Caption.indexOf(QLatin1Char(';'), i + 1);
            if (semicolon > i + 1 && semicolon - i <= 8) {
                const QString decoded = CaptionEntity(Caption.mid(i + 1, semicolon - i - 1));
                if (!decoded.isEmpty()) {
                    current.Text += decoded;
                    i = semicolon + 1;
                    continue;
                }
            }
            ++i; // the accelerator mark itself is not drawn
            continue;
        }
        current.Text += c;
        ++i;
    }
    flush();
    return fragments;
}

QFont FragmentFont(const QFont& Base, const TFragment& Fragment)
{
    QFont font = Base;
    if (Fragment.Bold)
        font.setBold(true);
    if (Fragment.Italic)
        font.setItalic(true);
    if (Fragment.Underline || !Fragment.Anchor.isEmpty())
        font.setUnderline(true);
    return font;
}

// Splits a text into words, each keeping the blanks that follow it.
QStringList Words(const QString& Text)
{
    QStringList words;
    QString word;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        word += Text[i];
        const bool blank = Text[i] == QLatin1Char(' ');
        const bool nextIsWord = i + 1 < Text.size() && Text[i + 1] != QLatin1Char(' ');
        if (blank && nextIsWord) {
            words.append(word);
            word.clear();
        }
    }
    if (!word.isEmpty())
        words.append(word);
    return words;
}

void FinishLine(TLine& Line)
{
    // Neighbouring pieces of one style are measured as one run so that the width matches the
    // width of the same text drawn in one go.
    QList<TPiece> merged;
    for (const TPiece& piece : Line.Pieces) {
        if (!merged.isEmpty() && merged.last().Font == piece.Font && merged.last().Anchor == piece.Anchor)
            merged.last().Text += piece.Text;
        else
            merged.append(piece);
    }
    int x = 0;
    for (TPiece& piece : merged) {
        piece.X = x;
        piece.Width = QFontMetrics(piece.Font).horizontalAdvance(piece.Text);
        x += piece.Width;
    }
    Line.Pieces = merged;
    Line.Width = x;
}

void TrimTrailingBlanks(TLine& Line)
{
    while (!Line.Pieces.isEmpty()) {
        QString& text = Line.Pieces.last().Text;
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        if (!text.isEmpty())
            return;
        Line.Pieces.removeLast();
    }
}

QList<TLine> LayoutCaption(const QFont& Font, const QString& Caption, const QRect& Rect,
    const TCaptionOptions& Options)
{
    QList<TLine> lines;
    const QList<TFragment> fragments = ParseCaption(Caption);
    if (fragments.isEmpty())
        return lines;
    TLine line;
    int lineWidth = 0;
    for (const TFragment& fragment : fragments) {
        if (fragment.LineBreak) {
            FinishLine(line);
            lines.append(line);
            line = TLine();
            lineWidth = 0;
            continue;
        }
        const QFont font = FragmentFont(Font, fragment);
        const QFontMetrics metrics(font);
        for (const QString& word : Words(fragment.Text)) {
            const int width = metrics.horizontalAdvance(word);
            QString visible = word;
            while (visible.endsWith(QLatin1Char(' ')))
                visible.chop(1);
            const int visibleWidth = metrics.horizontalAdvance(visible);
            if (Options.WordWrap && lineWidth > 0 && lineWidth + visibleWidth > Rect.width()) {
                TrimTrailingBlanks(line);
                FinishLine(line);
                lines.append(line);
                line = TLine();
                lineWidth = 0;
            }
            line.Pieces.append(TPiece{word, font, fragment.Anchor, 0, 0});
            lineWidth += width;
        }
    }
    FinishLine(line);
    lines.append(line);

    const QFontMetrics base(Font);
    int top = 0;
    for (TLine& each : lines) {
        if (Options.Ellipsis && !Options.WordWrap && each.Width > Rect.width()) {
            QString text;
            for (const TPiece& piece : each.Pieces)
                text += piece.Text;
            TPiece elided{base.elidedText(text, Qt::ElideRight, qMax(0, Rect.width())), Font, QString(), 0, 0};
            each.Pieces = {elided};
            FinishLine(each);
        }
        each.Top = top;
        top += base.height() + Options.LineSpacing;
    }
    return lines;
}

} // namespace

QString CaptionEntity(const QString& Name)
{
    const QString name = Name.toLower();
    if (name == QLatin1String("amp"))
        return QStringLiteral("&");
    if (name == QLatin1String("lt"))
        return QStringLiteral("<");
    if (name == QLatin1String("gt"))
        return QStringLiteral(">");
    if (name == QLatin1String("quot"))
        return QStringLiteral("\"");
    if (name == QLatin1String("nbsp"))
        return QString(QChar(0x00A0));
    return QString();
}

TCaptionResult RenderCaption(QPainter* Painter, const QFont& Font, const QColor& Color,
    const QString& Caption, const QRect& Rect, const TCaptionOptions& Options, const QPoint& HitPoint)
{
    TCaptionResult result;
    const QList<TLine> lines = LayoutCaption(Font, Caption, Rect, Options);
    if (lines.isEmpty())
        return result;
    const QFontMetrics base(Font);
    for (const TLine& line : lines) {
        result.Width = qMax(result.Width, line.Width);
        for (const TPiece& piece : line.Pieces) {
            const QRect area(Rect.left() + piece.X, Rect.top() + line.Top, piece.Width, base.height());
            if (!piece.Anchor.isEmpty() && area.contains(HitPoint))
                result.Anchor = piece.Anchor;
        }
    }
    result.Height = lines.size() * base.height() + (lines.size() - 1) * Options.LineSpacing;
    if (!Painter)
        return result;
    Painter->save();
    for (const TLine& line : lines) {
        for (const TPiece& piece : line.Pieces) {
            Painter->setFont(piece.Font);
            Painter->setPen(piece.Anchor.isEmpty() ? Color : Options.URLColor);
            Painter->drawText(Rect.left() + piece.X, Rect.top() + line.Top + base.ascent(), piece.Text);
        }
    }
    Painter->restore();
    return result;
}

QString CaptionAnchorAt(const QFont& Font, const QString& Caption, const QRect& Rect,
    const TCaptionOptions& Options, const QPoint& Point)
{
    return RenderCaption(nullptr, Font, QColor(), Caption, Rect, Options, Point).Anchor;
}

QString PlainCaption(const QString& Caption)
{
    QString text;
    for (const TFragment& fragment : ParseCaption(Caption))
        text += fragment.LineBreak ? QStringLiteral("\n") : fragment.Text;
    return text;
}

QChar CaptionAccelerator(const QString& Caption)
{
    for (qsizetype i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != QLatin1Char('&'))
            continue;
        if (Caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        const qsizetype semicolon = Caption.indexOf(QLatin1Char(';'), i + 1);
        if (semicolon > i + 1 && semicolon - i <= 8 && !CaptionEntity(Caption.mid(i + 1, semicolon - i - 1)).isEmpty())
            continue;
        if (Caption[i + 1] != QLatin1Char(' '))
            return Caption[i + 1].toUpper();
    }
    return QChar();
}

bool IsExternalAnchor(const QString& Anchor)
{
    return Anchor.contains(QLatin1String("://")) || Anchor.contains(QLatin1String("mailto:"), Qt::CaseInsensitive);
}
