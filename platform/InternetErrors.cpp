#include "platform/InternetErrors.h"

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

} // namespace platform
