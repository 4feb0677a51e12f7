#pragma once

#include <QString>

class QWidget;

// The assistant's two kinds of modal message box, each with a single OK button. A carriage
// return in the text starts a new line. They return when the user has closed the box.
void ShowErrorBox(QWidget* Parent, const QString& Text);
void ShowInformationBox(QWidget* Parent, const QString& Text);

// A warning box that asks before something risky is done, with the buttons "Start anyway"
// and "Cancel"; Cancel is the default and Escape's. True only when the user chose to start.
bool ShowStartAnywayBox(QWidget* Parent, const QString& Text);

// A question box before a setup file of another version than the chosen one starts, with the
// buttons Download ("Download 12.0"), Start ("Install 12.1") and "Cancel"; Cancel is the
// default and Escape's.
enum TVersionAnswer { vaCancel, vaDownload, vaStartFile };
TVersionAnswer ShowOtherVersionBox(QWidget* Parent, const QString& Text, const QString& Download, const QString& Start);
