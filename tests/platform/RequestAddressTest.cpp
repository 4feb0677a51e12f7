#include "tests/support/CaseName.h"

#include "platform/network/RequestAddress.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct AddressCase {
    const char* name;
    const char* written; // UTF-8
    const char* sent;
    friend void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }
};

class RequestAddress : public testing::TestWithParam<AddressCase> {};

TEST_P(RequestAddress, CharactersThatCannotStandInARequestLineAreEscaped)
{
    EXPECT_EQ(platform::requestAddress(QString::fromUtf8(GetParam().written)), QByteArray(GetParam().sent));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, RequestAddress,
    testing::Values(
        AddressCase{"PlainIsUnchanged", "http://h:8080/a/b.exe?x=1&y=2#top", "http://h:8080/a/b.exe?x=1&y=2#top"},
        AddressCase{"Blank", "http://h/my file.txt", "http://h/my%20file.txt"},
        AddressCase{"BlankInTheQuery", "http://h/a.php?note=a b", "http://h/a.php?note=a%20b"},
        AddressCase{"ControlCharacters", "http://h/a\tb\r\nc\x7f", "http://h/a%09b%0D%0Ac%7F"},
        AddressCase{"BeyondAscii", "http://h/\xc3\xa9t\xc3\xa9.txt", "http://h/%C3%A9t%C3%A9.txt"},
        AddressCase{"Unsafe", "http://h/\"<>\\^`{|}", "http://h/%22%3C%3E%5C%5E%60%7B%7C%7D"},
        AddressCase{"ExistingEscapesKept", "http://h/%41b%20c.txt", "http://h/%41b%20c.txt"},
        AddressCase{"ReservedCharactersKept", "http://h/a;b,c=d+e!$'()*@:~", "http://h/a;b,c=d+e!$'()*@:~"},
        AddressCase{"HostLeftAlone", "http://us\xc3\xa9r@h\xc3\xa9.example/\xc3\xa9",
                    "http://us\xc3\xa9r@h\xc3\xa9.example/%C3%A9"},
        AddressCase{"HostWithoutPath", "http://h\xc3\xa9.example", "http://h\xc3\xa9.example"},
        AddressCase{"SchemeInTheQueryIsNoHost", "http://h/a b?to=http://x/c d", "http://h/a%20b?to=http://x/c%20d"},
        AddressCase{"NoScheme", "h/my file.txt", "h/my%20file.txt"}),
    caseName);

} // namespace
