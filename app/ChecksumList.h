#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// A release's checksum list as `sha256sum` writes it: one line per file, 64 hexadecimal
// digits, two blanks (text mode) or a blank and "*" (binary mode), the name. The list comes
// from the network: a line that is not of that form, or names a file in another folder, is
// passed over, and a name listed twice with different sums is named by nobody.
class TChecksumList {
public:
    // Lists longer than this are not release lists; Parse refuses them.
    static constexpr int MaxSize = 1024 * 1024;

    static TChecksumList Parse(const QByteArray& Text);

    // The lower-case SHA-256 of Name (exact letter case), or empty when the list names no
    // such file or names it with two sums.
    QString SHA256Of(const QString& Name) const;
    bool Names(const QString& Name) const { return !SHA256Of(Name).isEmpty(); }

private:
    QHash<QString, QString> FSums;
    QSet<QString> FAmbiguous;
};
