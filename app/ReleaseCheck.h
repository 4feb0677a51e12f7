#pragma once

#include "app/DownloadMessages.h"

#include <QByteArray>
#include <QString>

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

// Whether and how a setup file may be downloaded from one server, after its version
// directory's checksum list (and signature) were asked for.
struct TReleaseCheck {
    bool Allowed = false;
    TDownloadVerification Verification = dvNone;
    QString ExpectedSHA256;               // lower-case hex; empty for dvNone
    TDownloadProblem Problem = dpUnknown;  // why not allowed
    QString Details;                      // why not allowed, for the expert
};

// With a release key the list must carry a valid signature and name the file; without one a
// list that is there gives the file's checksum. A server that cannot be reached is a problem
// of its own either way, so that the next server is tried. Signature is not looked at
// without a key.
TReleaseCheck CheckRelease(const QByteArray& ReleaseKey, const QString& FileName, const TFetchedFile& List,
                           const TFetchedFile& Signature);

// The Memo's words for how a download was checked.
QString VerificationText(TDownloadVerification Verification);
