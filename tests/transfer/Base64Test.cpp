#include "transfer/WtBase64.h"

#include <gtest/gtest.h>

namespace {

TEST(Base64Encode, FollowsTheStandardAlphabetAndPadding)
{
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"", ""},
        {u"a", "YQ=="},
        {u"ab", "YWI="},
        {u"abc", "YWJj"},
        {u"user:pass", "dXNlcjpwYXNz"},
        {u"\u00ff\u00fe\u00fd", "//79"},            // one byte per Latin-1 character
        {u"\u20ac", "4oKs"},                        // above U+00FF: UTF-8 bytes E2 82 AC
        {u"\u00e9\u20ac", "w6nigqw="},              // one wide character makes the whole text UTF-8
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Base64Encode(QString::fromUtf16(text)), QString::fromLatin1(expected));
}

TEST(Base64Encode, DistinctWideCharactersGiveDistinctHeaders)
{
    // U+20AC and U+01AC share their low byte.
    EXPECT_NE(Base64Encode(QStringLiteral("u:\u20ac")), Base64Encode(QStringLiteral("u:\u01ac")));
}

TEST(Base64Encode, LengthIsFourPerThreeBytes)
{
    for (int n = 0; n < 50; ++n)
        EXPECT_EQ(Base64Encode(QString(n, u'x')).size(), (n + 2) / 3 * 4);
}

} // namespace
