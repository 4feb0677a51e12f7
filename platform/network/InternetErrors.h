#pragma once

#include "platform/network/InternetResult.h"

#include <QString>

namespace platform {

// Errors of the internet client layer are numbered from this base, so they never collide
// with the engine's own codes (0 to 8) or with HTTP status codes (300 to 599).
constexpr int InternetErrorBase = 12000;

// The error number the layer reports for a libcurl result code.
int internetErrorNumber(int curlCode);

// The library's own text for an error number of the layer; empty when the number is not one
// of the layer's.
QString internetErrorMessage(int errorNumber);

// Whether an error number of the layer says that the server's certificate could not be
// verified: an issuer nobody trusts, a certificate out of date or made for another name. The
// server's identity is then unknown and nothing was sent to it.
bool isCertificateFailure(int errorNumber);

// What an error number of the layer means for a user, in the few kinds a user can act on.
enum class InternetFailureKind {
    none,            // not an error number of the layer
    noConnection,    // the server's name not found, the connection refused, or no answer in time
    connectionLost,  // the connection broke off during a transfer
    certificate,     // isCertificateFailure
    other,           // anything else: an answer that is no HTTP, too many redirects, ...
};
InternetFailureKind internetFailureKind(int errorNumber);

// Whether an error number of the layer says that the network, not the request, failed and the
// same request may well succeed a little later: the connection was refused or reset, the
// server went silent past the time-out, or it closed before or while answering.
bool isTransientFailure(int errorNumber);

// Whether text may go into a request head: a CR, LF or NUL in it would end a header line
// early and let the rest pass as lines of its own.
bool isSafeHeaderText(const QString& text);

// A request refused before anything was sent, because its agent, a header or its
// credentials failed isSafeHeaderText.
InternetResult unsafeHeaderTextResult();

// A request that kept its server's connection alive but broke a limit on how slowly the
// answer may come (tooSlow set): counted as a time-out, so it is transient as a silent
// server is. The message says which limit.
InternetResult slowAnswerResult(const QString& message);

} // namespace platform
