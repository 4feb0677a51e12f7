#include "transfer/WtBase64.h"

#include <QByteArray>

#include <algorithm>

namespace {

QByteArray CredentialBytes(const QString& Text)
{
    const bool latin1 = std::all_of(Text.begin(), Text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    return latin1 ? Text.toLatin1() : Text.toUtf8();
}

} // namespace

QString Base64Encode(const QString& Text)
{
    static constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const QByteArray bytes = CredentialBytes(Text);
    QString out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < bytes.size(); i += 3) {
        const qsizetype left = bytes.size() - i;
        std::uint32_t group = std::uint32_t(static_cast<unsigned char>(bytes[i])) << 16;
        if (left > 1)
            group |= std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8;
        if (left > 2)
            group |= static_cast<unsigned char>(bytes[i + 2]);
        out += QLatin1Char(Alphabet[(group >> 18) & 63]);
        out += QLatin1Char(Alphabet[(group >> 12) & 63]);
        out += left > 1 ? QLatin1Char(Alphabet[(group >> 6) & 63]) : QLatin1Char('=');
        out += left > 2 ? QLatin1Char(Alphabet[group & 63]) : QLatin1Char('=');
    }
    return out;
}
