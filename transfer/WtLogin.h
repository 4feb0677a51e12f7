#pragma once

#include <QString>

// Asks for a user name and password in a modal login dialog with the given caption. On OK
// the answers are stored and the result is true; any other way of closing leaves User and
// Password unchanged and gives false. The edits always start empty.
bool ShowLoginDialog(const QString& Caption, QString& User, QString& Password);
