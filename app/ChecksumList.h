#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>

// A release's checksum list as `sha256sum` writes it: one line per file, 64 hexadecimal
// digits, two blanks (text mode) or a blank and "*" (binary mode), the name. A release list
// adds a line "# size BYTES NAME" per file, which `sha256sum -c` passes over as a comment.
// The list comes from the network: a line that is of neither form, or names a file in another
// folder, is passed over, and a name listed twice with different sums or sizes has none.
class TChecksumList {
public:
    // Lists longer than this are not release lists; Parse refuses them.
    static constexpr int MaxSize = 1024 * 1024;

    static TChecksumList Parse(const QByteArray& Text);

    // The lower-case SHA-256 of Name (exact letter case), or empty when the list names no
    // such file or names it with two sums.
    QString SHA256Of(const QString& Name) const;
    bool Names(const QString& Name) const { return !SHA256Of(Name).isEmpty(); }
    // The size in bytes the list gives Name, or -1 when it gives none or two.
    std::int64_t SizeOf(const QString& Name) const;

private:
    QHash<QString, QString> FSums;
    QSet<QString> FAmbiguous;
    QHash<QString, std::int64_t> FSizes;
    QSet<QString> FAmbiguousSizes;
};
