// URL helpers on any text: total, and never showing credentials of a "user:password@host".
#include "fuzz/targets/FuzzInput.h"
#include "transfer/UrlHelpers.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzInput input(Data, Size);
    const QString url = input.RestAsText();
    const QString server = ServerFromURL(url);
    const QString path = PathFromURL(url);
    const QString host = LoginHostFromURL(url);
    const QString name = NameFromURL(url);
    const QString decoded = URLDecode(url);
    SlashPath(url);
    // A name never holds a separator, and the decoded text is never longer than the input.
    if (name.contains(u'/') || name.contains(u'\\') || decoded.size() > url.size())
        std::abort();
    // Nothing before an "@" of the host part is ever shown as the server or login host.
    if (host.contains(u'@') || server.contains(u'@'))
        std::abort();
    (void)path;
    return 0;
}
