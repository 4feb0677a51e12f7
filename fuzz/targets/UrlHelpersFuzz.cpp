// URL helpers on any text: total, and never showing credentials of a "user:password@host".
#include "fuzz/targets/FuzzInput.h"
#include "transfer/UrlHelpers.h"

#include <QStringList>

#include <cstdlib>

namespace {

bool ContainsAnyOf(const QString& Text, const QString& Characters)
{
    for (const QChar c : Characters)
        if (Text.contains(c))
            return true;
    return false;
}

// An address put together from parts the input gives, separated by U+0001: scheme, user,
// password, host and the rest. When the parts fit the address syntax, the shown form is the
// address with exactly ":" and the password taken out.
void CheckBuiltAddress(const QString& Input)
{
    const QStringList parts = Input.split(QChar(1));
    if (parts.size() != 5)
        return;
    const QString& scheme = parts[0];
    const QString& user = parts[1];
    const QString& password = parts[2];
    const QString& host = parts[3];
    const QString& rest = parts[4];
    const QString schemeEnd = QStringLiteral("://");
    if ((scheme + u'\n' + user + u'\n' + host + u'\n' + rest).contains(schemeEnd))
        return;
    if (ContainsAnyOf(scheme, QStringLiteral("/?#:@")) || ContainsAnyOf(user, QStringLiteral(":@/?#"))
        || ContainsAnyOf(password, QStringLiteral("/?#")) || ContainsAnyOf(host, QStringLiteral("@/?#")))
        return;
    const QString prefix = scheme.isEmpty() ? QString() : scheme + schemeEnd;
    const QString url = prefix + user + u':' + password + u'@' + host + u'/' + rest;
    const QString shown = URLWithoutPassword(url);
    if (shown != prefix + user + u'@' + host + u'/' + rest)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzInput input(Data, Size);
    const QString url = input.RestAsText();
    const QString server = ServerFromURL(url);
    const QString path = PathFromURL(url);
    const QString host = LoginHostFromURL(url);
    const QString name = NameFromURL(url);
    const QString decoded = URLDecode(url);
    const QString shown = URLWithoutPassword(url);
    SlashPath(url);
    // A name never holds a separator, and the decoded text is never longer than the input.
    if (name.contains(u'/') || name.contains(u'\\') || decoded.size() > url.size())
        std::abort();
    // Nothing before an "@" of the host part is ever shown as the server or login host.
    if (host.contains(u'@') || server.contains(u'@'))
        std::abort();
    // The shown address only ever loses text, and nothing is left to take out of it.
    if (shown.size() > url.size() || URLWithoutPassword(shown) != shown)
        std::abort();
    CheckBuiltAddress(url);
    (void)path;
    return 0;
}
