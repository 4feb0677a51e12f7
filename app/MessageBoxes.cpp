#include "app/MessageBoxes.h"

#include <QMessageBox>

namespace {

void ShowBox(QWidget* Parent, QMessageBox::Icon Icon, const QString& Caption, const QString& Text)
{
    QString lines = Text;
    lines.replace(u'\r', u'\n');
    QMessageBox box(Icon, Caption, lines, QMessageBox::Ok, Parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void ShowErrorBox(QWidget* Parent, const QString& Text)
{
    ShowBox(Parent, QMessageBox::Critical, QStringLiteral("Error"), Text);
}

void ShowInformationBox(QWidget* Parent, const QString& Text)
{
    ShowBox(Parent, QMessageBox::Information, QStringLiteral("Information"), Text);
}
