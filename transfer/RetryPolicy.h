#pragma once

#include <QDateTime>
#include <QString>

// Whether a download that failed is tried again, and after how long. A job's Retries says how
// many more attempts it gets; only a failure that a later attempt may well not meet again
// earns one.

// How one attempt at a job failed, as the engine saw it reported.
struct TAttemptFailure {
    // The code of the first error event the attempt raised (an engine code, an HTTP status or
    // an internet error number); -1 when it raised none.
    int ErrorCode = -1;
    // The request could not be opened (OnURLNotFound).
    bool NotFound = false;
    // The internet layer's error number that says why a request or a connection (error
    // weConnect) could not be opened; 0 when none is known (no session at all).
    int InternetCode = 0;
    // The server's Retry-After with the status that failed the attempt; empty when none came.
    QString RetryAfter;
};

// The longest wait before another attempt: a server's Retry-After, or the doubled back-off.
constexpr int MaxRetryWaitSeconds = 60;

// A status that says "not now" rather than "not this": a request time-out (408), too many
// requests (429) and every server error (5xx).
bool IsTransientHttpStatus(int Status);

// Whether a failure is one a later attempt may not meet: a refused, reset or silent
// connection (an FTP server out of reach too, but not one that refused the login), a transfer
// broken off, or a transient status. Everything else is permanent: a
// refused address or certificate, any other status, a file that cannot be written, content
// that is not what the job expects, and a failure that raised no error at all (a login or an
// overwrite the user declined, a source that is not newer).
bool IsTransientFailure(const TAttemptFailure& Failure);

// The seconds a Retry-After value asks for: the delay-seconds form, or an HTTP date counted
// from Now (a date already past asks for 0). -1 when the value is empty or neither form.
int RetryAfterSeconds(const QString& Value, const QDateTime& Now);

struct TRetryDecision {
    bool Retry = false;
    int WaitSeconds = 0;
};

// What follows the failed attempt number Attempt (1 for the first) of a job with Retries: one
// more attempt while attempts are left and the failure is transient, after the server's
// Retry-After when it gave one, else after 1, 2, 4 ... seconds (at most MaxRetryWaitSeconds).
// A server that asks for a longer wait than MaxRetryWaitSeconds is not asked again: the
// failure then stands as it is, reported at once rather than after minutes of waiting.
TRetryDecision DecideRetry(const TAttemptFailure& Failure, int Attempt, int Retries, const QDateTime& Now);

// The progress dialog's file line while the engine waits before attempt Attempt of Attempts:
// "Waiting 2 s before attempt 2 of 4: setup.exe".
QString RetryWaitLine(int WaitSeconds, int Attempt, int Attempts, const QString& Name);
