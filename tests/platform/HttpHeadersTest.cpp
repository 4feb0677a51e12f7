#include "platform/network/HttpHeaders.h"

#include <gtest/gtest.h>

namespace {

using platform::HttpHeaderLine;

TEST(HttpHeaders, LinesAreToldApart)
{
    EXPECT_EQ(platform::parseHttpHeaderLine("HTTP/1.1 200 OK\r\n").kind, HttpHeaderLine::Kind::StatusLine);
    EXPECT_EQ(platform::parseHttpHeaderLine("\r\n").kind, HttpHeaderLine::Kind::End);
    EXPECT_EQ(platform::parseHttpHeaderLine(": no name\r\n").kind, HttpHeaderLine::Kind::Other);
    EXPECT_EQ(platform::parseHttpHeaderLine("garbage\r\n").kind, HttpHeaderLine::Kind::Other);
    const HttpHeaderLine field = platform::parseHttpHeaderLine("Content-Length :  42 \r\n");
    EXPECT_EQ(field.kind, HttpHeaderLine::Kind::Field);
    EXPECT_EQ(field.name, QByteArrayView("Content-Length"));
    EXPECT_EQ(field.value, QByteArrayView("42"));
    EXPECT_TRUE(platform::isFieldName(field.name, "content-length"));
}

TEST(HttpHeaders, FieldsAreFoundByNameInAnyLetterCase)
{
    platform::HttpHeaderFields fields;
    EXPECT_TRUE(fields.first("etag").isNull());
    fields.append("ETag", "\"one\"");
    fields.append("X-Empty", "");
    fields.append("etag", "\"two\"");
    EXPECT_EQ(fields.first("etag"), QByteArrayView("\"one\""));
    EXPECT_EQ(fields.last("ETAG"), QByteArrayView("\"two\""));
    // A field sent empty is there, unlike one never sent.
    EXPECT_FALSE(fields.first("x-empty").isNull());
    EXPECT_TRUE(fields.first("x-empty").isEmpty());
    EXPECT_TRUE(fields.first("location").isNull());
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields.name(1), QByteArrayView("X-Empty"));

    // A new answer (after a redirect) starts with no fields.
    fields.clear();
    EXPECT_EQ(fields.size(), 0);
    EXPECT_TRUE(fields.first("etag").isNull());
}

TEST(HttpHeaders, LengthIsOneNonNegativeNumber)
{
    const std::pair<const char*, std::int64_t> cases[] = {
        {"0", 0}, {"1234", 1234}, {"5000000000", 5000000000}, {"", -1}, {"-5", -1}, {"+5", -1},
        {"12abc", -1}, {"5, 5", -1}, {"99999999999999999999999", -1}, {" 7", -1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(platform::parseContentLength(QByteArray(text)), expected) << text;
}

TEST(HttpHeaders, DatesInEveryServerFormOrNone)
{
    for (const char* text : {"Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37 1994"}) {
        const platform::CalendarTime date = platform::parseHttpDate(QByteArray(text));
        EXPECT_EQ(date.year, 1994) << text;
        EXPECT_EQ(date.month, 11) << text;
        EXPECT_EQ(date.day, 6) << text;
        EXPECT_EQ(date.dayOfWeek, 0) << text;
        EXPECT_EQ(date.hour, 8) << text;
        EXPECT_EQ(date.second, 37) << text;
    }
    for (const char* text : {"", "yesterday", "Sun, 06 Nov"})
        EXPECT_TRUE(platform::parseHttpDate(QByteArray(text)).isNull()) << text;
    EXPECT_TRUE(platform::parseHttpDate(QByteArray("Sun, 06 Nov 1994\0 08:49:37 GMT", 30)).isNull());
}

} // namespace
