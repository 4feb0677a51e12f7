// Names from outside (an address, a decoded name, a listing) joined to a target directory:
// whatever passes the plain-name check stays a direct child of that directory.
#include "fuzz/targets/FuzzInput.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"

#include <QDir>

#include <cstdlib>

namespace {

void CheckStaysInside(const QString& Name)
{
    if (!IsPlainFileName(Name))
        return;
    const QString dir = QStringLiteral("/target/dir");
    const QString path = QDir::cleanPath(JoinPath(dir, Name));
    if (!path.startsWith(dir + u'/') || path.mid(dir.size() + 1).contains(u'/'))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzInput input(Data, Size);
    const QString text = input.RestAsText();
    CheckStaysInside(text);
    CheckStaysInside(NameFromURL(text));
    CheckStaysInside(URLDecode(NameFromURL(text)));
    return 0;
}
