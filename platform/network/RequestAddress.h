#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The address as it goes into a request line. After the host, every byte that cannot stand
// there is written as %XX: blanks and control characters, bytes beyond ASCII (of the UTF-8
// form) and " < > \ ^ ` { | }, as browsers and the system's internet library do before they
// send. Escapes already present are kept as they are, so an escaped address is unchanged.
QByteArray requestAddress(const QString& url);

} // namespace platform
