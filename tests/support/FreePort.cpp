#include "tests/support/FreePort.h"

#include <QHostAddress>
#include <QTcpServer>

int freeLocalPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}
