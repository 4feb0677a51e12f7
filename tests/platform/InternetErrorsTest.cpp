#include "platform/InternetErrors.h"
#include "transfer/InternetErrorText.h"

#include <curl/curl.h>

#include <gtest/gtest.h>

namespace {

TEST(InternetErrorText, GivesTheLibraryTextForItsNumbersOnly)
{
    const int timeout = platform::internetErrorNumber(CURLE_OPERATION_TIMEDOUT);
    EXPECT_GT(timeout, 7) << "never one of the engine's own codes";
    EXPECT_FALSE(InternetErrorText(timeout).isEmpty());
    EXPECT_LE(InternetErrorText(timeout).size(), 255);
    for (int code : {0, 5, 404, platform::internetErrorNumber(CURLE_OK), platform::internetErrorNumber(CURL_LAST), -1,
                     2147483647, -2147483647 - 1})
        EXPECT_TRUE(InternetErrorText(code).isEmpty()) << code;
}

} // namespace
