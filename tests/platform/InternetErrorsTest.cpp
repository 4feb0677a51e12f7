#include "platform/network/InternetErrors.h"
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

namespace {

using platform::InternetFailureKind;

TEST(InternetFailureKind, SortsTheLibrarysErrorsIntoWhatAUserCanActOn)
{
    const auto kind = [](int curlCode) { return platform::internetFailureKind(platform::internetErrorNumber(curlCode)); };
    EXPECT_EQ(kind(CURLE_COULDNT_CONNECT), InternetFailureKind::noConnection);
    EXPECT_EQ(kind(CURLE_COULDNT_RESOLVE_HOST), InternetFailureKind::noConnection);
    EXPECT_EQ(kind(CURLE_OPERATION_TIMEDOUT), InternetFailureKind::noConnection);
    EXPECT_EQ(kind(CURLE_RECV_ERROR), InternetFailureKind::connectionLost);
    EXPECT_EQ(kind(CURLE_PARTIAL_FILE), InternetFailureKind::connectionLost);
    EXPECT_EQ(kind(CURLE_PEER_FAILED_VERIFICATION), InternetFailureKind::certificate);
    EXPECT_EQ(kind(CURLE_TOO_MANY_REDIRECTS), InternetFailureKind::other);
    EXPECT_EQ(kind(CURLE_WEIRD_SERVER_REPLY), InternetFailureKind::other);
    for (int code : {0, 3, 404, platform::internetErrorNumber(CURLE_OK), -1})
        EXPECT_EQ(platform::internetFailureKind(code), InternetFailureKind::none) << code;
}

} // namespace
