// Base64 of any text: the standard alphabet, padded to whole groups, decodable to the bytes.
#include "fuzz/targets/FuzzInput.h"
#include "transfer/WtBase64.h"

#include <QByteArray>

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    FuzzInput input(Data, Size);
    const QString text = input.RestAsText();
    const QString encoded = Base64Encode(text);
    if (encoded.size() % 4 != 0)
        std::abort();
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    const QByteArray bytes = latin1 ? text.toLatin1() : text.toUtf8();
    if (QByteArray::fromBase64(encoded.toLatin1()) != bytes || encoded.toLatin1() != bytes.toBase64())
        std::abort();
    return 0;
}
