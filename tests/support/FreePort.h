#pragma once

#include <QtGlobal>

// A TCP port on 127.0.0.1 that nothing listens on right now; 0 when none could be found.
quint16 freeTcpPort();
// True when something accepts connections on 127.0.0.1 at port.
bool tcpPortAnswers(quint16 port);
