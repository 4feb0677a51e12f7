#pragma once

#include <QPlainTextEdit>

// A multi-line text box in which Tab always moves the focus and never becomes part of the
// text, even when the box is the window's only tab stop.
class TMemo : public QPlainTextEdit {
public:
    explicit TMemo(QWidget* Parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* Event) override;
};
