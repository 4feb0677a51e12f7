#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// What an interrupted HTTP download keeps beside its target so that the next run of the job
// asks only for the rest: the bytes that arrived, in the hidden file ".NAME.kxresume", and a
// record of where they came from in ".NAME.kxresume.info" (both private to the user). The
// record holds the server's validator for If-Range, the size the whole file has, and what
// the part is known by (its source): a digest of the address (never the address itself: it
// may carry a password), or, for a part that any address may go on with, the SHA-256 the
// whole file must have.
struct TPartialDownload {
    QString Target;            // the file the bytes are for
    QString Validator;         // the server's ETag, else its Last-Modified; may be empty with AnySource
    std::int64_t Total = -1;   // the whole file's size; -1 when the server did not say
    std::int64_t Size = 0;     // bytes kept; 0 when there is nothing to resume
    // Known by the whole file's checksum, not by its address: the rest may come from any
    // server, its validator means nothing there, and the checksum decides at the end.
    bool AnySource = false;

    QString PartPath() const;
    QString InfoPath() const;
    // The record for a part known by Source (AddressSource or FileSource), as written to InfoPath.
    QByteArray Record(const QByteArray& Source) const;
    // Drops the partial file and its record.
    void Forget();

    // The sources a part is known by: the address that fetched it; or the SHA-256 of the
    // whole file, empty when SHA256 is not 64 hexadecimal digits.
    static QByteArray AddressSource(const QString& URL);
    static QByteArray FileSource(const QString& SHA256);
    // What a former run of a download to Target kept, when its record is sound and made for
    // Source and its file is a private file of the user; Size 0 otherwise.
    static TPartialDownload Find(const QString& Target, const QByteArray& Source);
    // The validator If-Range may carry for an answer with these headers; empty when there is
    // none fit for it (a weak ETag without a Last-Modified, or text unsafe in a header).
    static QString ValidatorOf(const QString& ETag, const QString& LastModified);
};

// What a part kept by a download is known by (AddressSource or FileSource), and whether any
// address may go on with it: only a job that names the whole file's checksum can let the
// checksum decide.
struct TPartSource {
    QByteArray Key;
    bool AnySource = false;
};

// A Content-Range value "bytes FIRST-LAST/TOTAL" (RFC 9110, 14.4), read strictly: false for
// anything else, an unknown total ("*") included.
bool ParseContentRange(const QString& Value, std::int64_t& First, std::int64_t& Last, std::int64_t& Total);
