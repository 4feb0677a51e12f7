#include "app/Label.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QtMath>

TLabel::TLabel(const QString& Text, QWidget* Parent)
    : QLabel(Parent)
{
    setTextFormat(Qt::PlainText);
    setText(Text);
}

int TLabel::LineHeight() const
{
    return fontMetrics().height();
}

QSize TLabel::Surround() const
{
    const QMargins margins = contentsMargins();
    return {margins.left() + margins.right() + 2 * margin(), margins.top() + margins.bottom() + 2 * margin()};
}

int TLabel::LayOut(std::vector<std::unique_ptr<QTextLayout>>& Paragraphs, int Width) const
{
    QTextOption option;
    option.setWrapMode(wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
    int lines = 0;
    for (const QString& paragraph : text().split(u'\n')) {
        auto layout = std::make_unique<QTextLayout>(paragraph, font());
        layout->setTextOption(option);
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(Width);
            ++lines;
        }
        layout->endLayout();
        Paragraphs.push_back(std::move(layout));
    }
    return lines;
}

bool TLabel::MeasuresItsOwnLines() const
{
    // The toolkit's own measure adds an indent, turns tabs and carriage returns into spaces,
    // hides the mnemonic marks of a buddy's shortcut and gives an empty label the width of a
    // character: such labels are left to it.
    if (wordWrap() || indent() >= 0 || frameWidth() > 0 || buddy())
        return false;
    const QString& content = text();
    return !content.isEmpty() && !content.contains(u'\t') && !content.contains(u'\r');
}

QSize TLabel::sizeHint() const
{
    if (MeasuresItsOwnLines()) {
        // Each paragraph is one line, laid out once; the toolkit's own measure would lay the
        // text out three times (for its size and minimum size hints) to give the same width.
        ensurePolished();
        std::vector<std::unique_ptr<QTextLayout>> paragraphs;
        const int lines = LayOut(paragraphs, QWIDGETSIZE_MAX);
        qreal widest = 0;
        for (const std::unique_ptr<QTextLayout>& layout : paragraphs)
            if (layout->lineCount() > 0)
                widest = qMax(widest, layout->lineAt(0).naturalTextWidth());
        const QSize surround = Surround();
        const QSize size(qCeil(widest) + surround.width(), lines * LineHeight() + surround.height());
        return {qMax(size.width(), minimumWidth()), size.height()};
    }
    // The width the toolkit measures for the text, the height in whole lines.
    const QSize measured = QLabel::sizeHint();
    if (wordWrap())
        return {measured.width(), heightForWidth(measured.width())};
    // Without word wrap each paragraph is one line, so no second layout is needed to count them.
    const int lines = int(text().count(u'\n')) + 1;
    return {measured.width(), lines * LineHeight() + Surround().height()};
}

QSize TLabel::minimumSizeHint() const
{
    if (!wordWrap())
        return sizeHint();
    const int width = QLabel::minimumSizeHint().width();
    return {width, heightForWidth(width)};
}

int TLabel::heightForWidth(int Width) const
{
    if (!wordWrap())
        return QLabel::heightForWidth(Width);
    std::vector<std::unique_ptr<QTextLayout>> paragraphs;
    const QSize surround = Surround();
    return LayOut(paragraphs, qMax(0, Width - surround.width())) * LineHeight() + surround.height();
}

void TLabel::paintEvent(QPaintEvent* Event)
{
    QFrame::paintEvent(Event);
    const int inset = margin();
    const QRect area = contentsRect().adjusted(inset, inset, -inset, -inset);
    std::vector<std::unique_ptr<QTextLayout>> paragraphs;
    const int lines = LayOut(paragraphs, wordWrap() ? area.width() : QWIDGETSIZE_MAX);
    const int lineHeight = LineHeight();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());

    int top = area.top();
    if (align & Qt::AlignBottom)
        top = area.bottom() + 1 - lines * lineHeight;
    else if (align & Qt::AlignVCenter)
        top = area.top() + (area.height() - lines * lineHeight) / 2;

    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const int ascent = fontMetrics().ascent();
    int row = 0;
    for (const std::unique_ptr<QTextLayout>& layout : paragraphs) {
        for (int i = 0; i < layout->lineCount(); ++i, ++row) {
            const QTextLine line = layout->lineAt(i);
            const qreal free = area.width() - line.naturalTextWidth();
            qreal left = area.left();
            if (align & Qt::AlignRight)
                left += free;
            else if (align & Qt::AlignHCenter)
                left += free / 2;
            // The baseline sits the rounded ascent below the top of its line.
            const qreal baselineTop = top + row * lineHeight + ascent - line.ascent();
            line.draw(&painter, QPointF(left - line.x(), baselineTop - line.y()));
        }
    }
}
