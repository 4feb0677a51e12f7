#pragma once

#include "app/DownloadMessages.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

#include <cstdint>

// The names of a version directory's checksum list and its minisign signature.
inline const QString ChecksumListName = QStringLiteral("SHA256SUMS");
inline const QString ChecksumSignatureName = QStringLiteral("SHA256SUMS.minisig");

// How a downloaded file was checked. dv… values.
enum TDownloadVerification {
    dvNone,          // no checksum list named it
    dvUnsignedList,  // against a checksum list nobody signed
    dvSignedList,    // against a checksum list signed with the release key
};

// One small file fetched from the server beside the setup file: its contents, or why not.
struct TFetchedFile {
    bool Received = false;
    QByteArray Content;
    TTransferFailure Failure;  // when not received
};

// What the user asked for and what this computer knows, against which a server's list is
// checked.
struct TReleaseWanted {
    QList<QByteArray> Keys;        // the release keys (ReleaseKeys); none: nothing is signed
    QString FileName;              // "KXsetup64.exe"
    QString Version;               // as the window names it: "12.1"
    QString Directory;             // the version's directory on the server: "ver121"
    QDate Today;                   // in UTC
    std::uint64_t SeenSerial = 0;  // the highest serial of a list of this version taken before
};

// Whether and how a setup file may be downloaded from one server, after its version
// directory's checksum list (and signature) were asked for.
struct TReleaseCheck {
    bool Allowed = false;
    TDownloadVerification Verification = dvNone;
    QString ExpectedSHA256;               // lower-case hex; empty for dvNone
    std::int64_t ExpectedSize = -1;       // as the list gives it; -1 when it gives none
    std::uint64_t Serial = 0;             // of the signed list, for dvSignedList
    TDownloadProblem Problem = dpUnknown;  // why not allowed
    QString Details;                      // why not allowed, for the expert
};

// With release keys the list must carry a valid signature by one of them whose trusted
// comment (TReleaseStamp) names the version wanted, has not expired and has no lower serial
// than one seen before, and the list must give the file's checksum and size. Without keys a
// list that is there gives the file's checksum (and its size, when it has one). A server
// that cannot be reached is a problem of its own either way, so that the next server is
// tried. Signature is not looked at without keys.
TReleaseCheck CheckRelease(const TReleaseWanted& Wanted, const TFetchedFile& List, const TFetchedFile& Signature);

// The Memo's words for how a download was checked.
QString VerificationText(TDownloadVerification Verification);
