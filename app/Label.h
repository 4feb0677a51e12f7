#pragma once

#include <QLabel>

#include <memory>
#include <vector>

class QTextLayout;

// A plain-text label that lays out its lines the way the system's labels do: every line takes
// the font's own line height, its ascent and descent each rounded to whole pixels. An 8-point
// Tahoma label is then 13 pixels high and a 9-point paragraph steps 14 pixels a line, where
// the toolkit's own layout, which adds up fractional heights, would give 14 and about 14.5.
class TLabel : public QLabel {
public:
    explicit TLabel(const QString& Text, QWidget* Parent = nullptr);

    int LineHeight() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int Width) const override;

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    // The text broken into lines for a text area this wide, one layout per paragraph; the
    // result is the number of lines. Without word wrap only line breaks start a new line.
    int LayOut(std::vector<std::unique_ptr<QTextLayout>>& Paragraphs, int Width) const;
    // True when the text's width is found from its own lines; else the toolkit measures it.
    bool MeasuresItsOwnLines() const;
    // Room the contents margins and the label's margin take around the text.
    QSize Surround() const;
};
