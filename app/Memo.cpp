#include "app/Memo.h"

#include "app/MessageBoxes.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QSaveFile>

namespace {

QString AskForLogFile(QWidget* Parent)
{
    return QFileDialog::getSaveFileName(Parent, QStringLiteral("Save log as"),
                                        QDir::home().filePath(QStringLiteral("kaplix-install.log")),
                                        QStringLiteral("Text files (*.log *.txt);;All files (*)"));
}

} // namespace

TMemo::TMemo(QWidget* Parent)
    : QPlainTextEdit(Parent)
    , OnChooseLogFile(AskForLogFile)
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

QMenu* TMemo::CreateContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    menu->addSeparator();
    QAction* save = menu->addAction(QStringLiteral("Save log as…"), this, [this] { SaveLogAs(); });
    save->setObjectName(QStringLiteral("SaveLogAs"));
    save->setEnabled(!document()->isEmpty());
    return menu;
}

void TMemo::contextMenuEvent(QContextMenuEvent* Event)
{
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(Event->globalPos());
}

bool TMemo::SaveLogAs()
{
    const QString path = OnChooseLogFile ? OnChooseLogFile(this) : QString();
    if (path.isEmpty())
        return false;
    // Written beside the chosen name and renamed over it when whole: a full disk never leaves
    // half a log in place of an earlier one.
    QSaveFile file(path);
    QByteArray text = toPlainText().toUtf8();
    if (!text.endsWith('\n'))
        text += '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        ShowErrorBox(this, QStringLiteral("Cannot save the log to ") + path + u'\r' + file.errorString());
        return false;
    }
    return true;
}
