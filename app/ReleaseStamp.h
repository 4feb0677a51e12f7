#pragma once

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

// What the signature of a version directory's checksum list says about the release the list
// belongs to. minisign signs it as the list's trusted comment ("minisign -S -t"), in one form
// that vendors, mirrors and offline layouts share:
//
//     kaplix 12.1 ver121 serial=2026121001 expires=2027-06-30
//
// the product, the version as the window names it, the version's directory on the server, a
// number that grows with every list signed for that version, and the first day (UTC) on which
// the list is no longer taken.
struct TReleaseStamp {
    QString Version;          // "12.1"
    QString Directory;        // "ver121"
    std::uint64_t Serial = 0;
    QDate Expires;

    // The stamp in Comment; nothing for any other text (minisign's own comment included).
    static std::optional<TReleaseStamp> Parse(const QString& Comment);
};
