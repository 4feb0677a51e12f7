#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include <cstdint>

// A release's checksum list as its vendor makes it (scripts/sign-release): sha256sum's line
// and the signed size of each file.
inline QByteArray releaseListLine(const QByteArray& content, const QString& name)
{
    const QByteArray file = name.toUtf8();
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex() + "  " + file + "\n# size "
        + QByteArray::number(content.size()) + ' ' + file + '\n';
}

// The words the release key signs with a list: product, version, its folder, serial and expiry.
// The expiry lies far ahead unless a test is about expiry.
inline QString releaseStamp(const QString& version = QStringLiteral("12.1"),
                            const QString& directory = QStringLiteral("ver121"), std::uint64_t serial = 2026121005,
                            const QString& expires = QStringLiteral("2099-12-31"))
{
    return QStringLiteral("kaplix %1 %2 serial=%3 expires=%4").arg(version, directory).arg(serial).arg(expires);
}
