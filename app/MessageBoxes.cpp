#include "app/MessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

QString Lines(const QString& Text)
{
    QString lines = Text;
    lines.replace(u'\r', u'\n');
    return lines;
}

void ShowBox(QWidget* Parent, QMessageBox::Icon Icon, const QString& Caption, const QString& Text)
{
    QMessageBox box(Icon, Caption, Lines(Text), QMessageBox::Ok, Parent);
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

bool ShowStartAnywayBox(QWidget* Parent, const QString& Text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), Lines(Text), QMessageBox::NoButton, Parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* start = box.addButton(QStringLiteral("&Start anyway"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    // Return and Escape both keep the file from starting: starting takes a deliberate choice.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    start->setAccessibleDescription(QStringLiteral("Starts the setup file although it is not verified"));
    cancel->setAccessibleDescription(QStringLiteral("Does not start the setup file"));
    box.exec();
    return box.clickedButton() == start;
}

TVersionAnswer ShowOtherVersionBox(QWidget* Parent, const QString& Text, const QString& Download, const QString& Start)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Another version"), Lines(Text), QMessageBox::NoButton,
                    Parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* download = box.addButton(Download, QMessageBox::AcceptRole);
    QPushButton* start = box.addButton(Start, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    download->setAccessibleDescription(QStringLiteral("Downloads the chosen version's setup file"));
    start->setAccessibleDescription(QStringLiteral("Starts the setup file that is there, of the other version"));
    cancel->setAccessibleDescription(QStringLiteral("Starts nothing"));
    box.exec();
    if (box.clickedButton() == download)
        return vaDownload;
    return box.clickedButton() == start ? vaStartFile : vaCancel;
}
