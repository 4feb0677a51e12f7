#include "transfer/TransferSettings.h"

QString TTransferSettings::AddProxyCredentials(const QString& URL) const
{
    const QString scheme = QStringLiteral("http://");
    if (!URL.startsWith(scheme, Qt::CaseInsensitive) || ProxyUserID.isEmpty() || ProxyPassword.isEmpty())
        return URL;
    return scheme + ProxyUserID + u':' + ProxyPassword + u'@' + URL.mid(scheme.size());
}
