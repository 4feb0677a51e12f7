#pragma once

#include "transfer/RetryPolicy.h"
#include "transfer/WebTransferTypes.h"

#include <QString>

#include <cstdint>

#include <functional>
#include <vector>

// What the run loop keeps for the job it hands to an operation: the job's place in the list
// and the values the operation gives back, stored into the job once it returns.
struct TJobRun {
    // 0-based index of the job (or, inside a multi-file job, of the file) in its list.
    int Index = 0;
    // Loaded from the job's FileDate; holds the date a date test found.
    TDateTime DateSlot = 0;
    // Set when the date test found that nothing needs to move.
    bool NotNewer = false;
    // The FTP connection stays open for the next job.
    bool KeepConnection = false;
    // Lower-case hexadecimal SHA-256 of the file the operation put in place; empty for none.
    QString SHA256 = {};
    // Bytes of the downloaded file that a part kept by an earlier download gave, whether or
    // not the file was then put in place; 0 when it was fetched whole.
    std::int64_t ResumedBytes = 0;
    // The body of a job kept in memory, once it was received whole and as expected.
    QByteArray Content = {};
};

// One file of a multi-file FTP job: the address and the name it is moved under instead of
// the job's own URL and TargetFilename. Everything else comes from the job.
struct TJobFile {
    QString URL;
    QString TargetFilename;
};

// One attempt at a job that may be tried again (a job with Retries): how it failed, as the
// engine's reports tell it, and the error events held back while another attempt may still
// follow, so the owner hears of the failure that ends the job and of no other.
struct TJobAttempt {
    TAttemptFailure Failure;
    bool HoldEvents = false;
    std::vector<std::function<void()>> HeldEvents;
};
