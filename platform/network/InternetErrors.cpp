#include "platform/network/InternetErrors.h"

#include <curl/curl.h>

namespace platform {

int internetErrorNumber(int curlCode)
{
    return InternetErrorBase + curlCode;
}

QString internetErrorMessage(int errorNumber)
{
    const long long code = static_cast<long long>(errorNumber) - InternetErrorBase;
    if (code <= CURLE_OK || code >= CURL_LAST)
        return {};
    return QString::fromUtf8(curl_easy_strerror(static_cast<CURLcode>(code)));
}

bool isCertificateFailure(int errorNumber)
{
    // libcurl gives 60 for an untrusted, expired or misnamed certificate; 83 when the issuer
    // check of a configured issuer fails.
    return errorNumber == internetErrorNumber(CURLE_PEER_FAILED_VERIFICATION)
        || errorNumber == internetErrorNumber(CURLE_SSL_ISSUER_ERROR);
}

InternetFailureKind internetFailureKind(int errorNumber)
{
    if (internetErrorMessage(errorNumber).isEmpty())
        return InternetFailureKind::none;
    if (isCertificateFailure(errorNumber))
        return InternetFailureKind::certificate;
    switch (errorNumber - InternetErrorBase) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
        return InternetFailureKind::noConnection;
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_HTTP2_STREAM:
        return InternetFailureKind::connectionLost;
    default:
        return InternetFailureKind::other;
    }
}

bool isTransientFailure(int errorNumber)
{
    // A host name that does not resolve, a refused certificate, an address or option the
    // library rejects, and a wait the user aborted all stay as they are: none of them is here.
    for (const CURLcode code : {CURLE_COULDNT_CONNECT, CURLE_OPERATION_TIMEDOUT, CURLE_SEND_ERROR, CURLE_RECV_ERROR,
                                CURLE_GOT_NOTHING, CURLE_PARTIAL_FILE}) {
        if (errorNumber == internetErrorNumber(code))
            return true;
    }
    return false;
}

bool isSafeHeaderText(const QString& text)
{
    return !text.contains(u'\r') && !text.contains(u'\n') && !text.contains(QChar(0));
}

InternetResult unsafeHeaderTextResult()
{
    return InternetResult::failure(internetErrorNumber(CURLE_BAD_FUNCTION_ARGUMENT),
                                   QStringLiteral("A line break or NUL in the agent, a header or the credentials: "
                                                  "nothing was sent"));
}

InternetResult slowAnswerResult(const QString& message)
{
    InternetResult result = InternetResult::failure(internetErrorNumber(CURLE_OPERATION_TIMEDOUT), message);
    result.tooSlow = true;
    return result;
}

} // namespace platform
