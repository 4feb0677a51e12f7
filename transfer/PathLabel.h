#pragma once

#include <QLabel>

// A one-line label of fixed width that shortens a text too long for it in the middle, with
// an ellipsis, so the start of a path and the file name at its end stay readable. text()
// keeps the whole text.
class TPathLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // The text as it is drawn.
    QString DisplayedText() const;

protected:
    void paintEvent(QPaintEvent* Event) override;
};
