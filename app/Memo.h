#pragma once

#include <QPlainTextEdit>

#include <functional>

class QMenu;

// A multi-line text box in which Tab always moves the focus and never becomes part of the
// text, even when the box is the window's only tab stop. Its context menu adds "Save log as…"
// to the usual editing actions, so that the log can be kept or sent to whoever helps.
class TMemo : public QPlainTextEdit {
public:
    explicit TMemo(QWidget* Parent = nullptr);

    // The usual menu with "Save log as…" at its end; the caller owns it.
    QMenu* CreateContextMenu();
    // Asks where to save the log and writes it there as UTF-8 text, whole or not at all. False
    // when the user chose no file or the file could not be written (a box then says why).
    bool SaveLogAs();
    // Where the log is saved: asks the user by default. Tests answer for the user.
    std::function<QString(QWidget* Parent)> OnChooseLogFile;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
};
