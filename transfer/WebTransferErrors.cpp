#include "transfer/WebTransferErrors.h"

#include <array>

namespace {

struct TErrorPrefix {
    QStringView Text;
    QStringView HttpText;
};

constexpr std::array<TErrorPrefix, weSize + 1> ErrorPrefixes = {{
    {u"Cannot copy identical files ", {}},
    {u"Cannot open source file ", {}},
    {u"Zero length source file ", {}},
    {u"Cannot create target file ", u"Cannot create file "},
    {u"Error reading source file ", {}},
    {u"Error writing to destination file ", {}},
    {u"Cannot connect to FTP server ", u"Cannot connect to server "},
    {u"Transfer interrupted ", {}},
    {u"Checksum mismatch ", {}},
    {u"Unexpected content in ", {}},
    {u"Unexpected size of ", {}},
}};

} // namespace

QStringView WebTransferErrorPrefix(TWebTransferError Code)
{
    return ErrorPrefixes.at(static_cast<std::size_t>(Code)).Text;
}

QStringView HttpErrorPrefix(TWebTransferError Code)
{
    const TErrorPrefix& prefix = ErrorPrefixes.at(static_cast<std::size_t>(Code));
    return prefix.HttpText.isNull() ? prefix.Text : prefix.HttpText;
}
