#include "app/Memo.h"

#include <QKeyEvent>

TMemo::TMemo(QWidget* Parent)
    : QPlainTextEdit(Parent)
{
    setTabChangesFocus(true);
}

void TMemo::keyPressEvent(QKeyEvent* Event)
{
    const bool tab = Event->key() == Qt::Key_Tab || Event->key() == Qt::Key_Backtab;
    if (tab && !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        focusNextPrevChild(Event->key() == Qt::Key_Tab);
        Event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(Event);
}
