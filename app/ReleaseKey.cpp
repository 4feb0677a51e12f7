#include "app/ReleaseKey.h"

#include <QtGlobal>

#ifndef KX_RELEASE_KEY
#define KX_RELEASE_KEY ""
#endif

QByteArray ReleaseKey()
{
    if (qEnvironmentVariableIsSet("KAPLIX_RELEASE_KEY"))
        return qgetenv("KAPLIX_RELEASE_KEY").trimmed();
    return QByteArray(KX_RELEASE_KEY).trimmed();
}
