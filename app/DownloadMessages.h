#pragma once

#include <QString>

namespace platform {
struct InternetResult;
}

// What went wrong with a download, in the kinds a user can act on. dp… values.
enum TDownloadProblem {
    dpNotFound,         // the server has no such file
    dpLoginRefused,     // the server (or a proxy) refused the login
    dpNoConnection,     // no connection to the server
    dpCertificate,      // the server's identity could not be verified
    dpConnectionBroke,  // the connection broke off during the transfer
    dpServerFailed,     // the server answered, but not with the file
    dpDiskFull,         // the file could not be written
    dpCannotSave,       // the file could not be created in the download directory
    dpNotVerified,      // no valid signed checksum list names the file
    dpDamaged,          // the file's checksum differs from the list's
    dpNotAProgram,      // an .exe that is not a Windows program
    dpOutOfDate,        // the server's signed list expired, or is older than one seen before
    dpNoReleaseRecord,  // what the assistant remembers of the releases it saw cannot be read
    dpUnknown,
};

// What the engine's events told about one failed job: the latest OnErrorInfo, or the
// address OnURLNotFound gave with the internet layer's reason.
struct TTransferFailure {
    int ErrorCode = -1;     // -1 when no OnErrorInfo came
    QString ErrorInfo;
    bool URLNotFound = false;
    int InternetCode = 0;   // LastInternetResult().code when the address could not be opened
    QString Details;        // the engine's own words, for the expert

    // What the engine's OnErrorInfo told.
    void NoteError(int Code, const QString& Info);
    // What its OnURLNotFound told, with the run's LastInternetResult as the reason.
    void NoteURLNotFound(const QString& URL, const platform::InternetResult& Reason);
};

TDownloadProblem ProblemOf(const TTransferFailure& Failure);

// Whether another download server may do better: a problem of the server or the way to it,
// not of this computer.
bool AnotherServerMayHelp(TDownloadProblem Problem);

// What happened, in a sentence.
QString DownloadProblemText(TDownloadProblem Problem);

// The error box of a failed download: the file and the version, what happened and what the
// user can try, each on a line of its own ("\r"), then the engine's words for the expert.
QString DownloadFailureText(TDownloadProblem Problem, const QString& FileName, const QString& Version,
                            const QString& Details);
