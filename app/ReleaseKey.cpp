#include "app/ReleaseKey.h"

#include <QtGlobal>

#ifndef KX_RELEASE_KEY
#define KX_RELEASE_KEY ""
#endif

QList<QByteArray> ReleaseKeys()
{
    const QByteArray keys =
        qEnvironmentVariableIsSet("KAPLIX_RELEASE_KEY") ? qgetenv("KAPLIX_RELEASE_KEY") : QByteArray(KX_RELEASE_KEY);
    QList<QByteArray> list = keys.simplified().split(' ');
    list.removeIf([](const QByteArray& Key) { return Key.isEmpty(); });
    return list;
}
