// Placeholder until the login dialog exists: every request for credentials is cancelled.
#include "transfer/WtLogin.h"

bool ShowLoginDialog(const QString&, QString&, QString&)
{
    return false;
}
