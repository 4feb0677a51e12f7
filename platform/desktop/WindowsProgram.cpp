#include "platform/desktop/WindowsProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstdint>

namespace platform {

namespace {

constexpr qint64 HeaderOffsetAt = 0x3C;
// Past this a header offset belongs to no program a person would start.
constexpr std::uint32_t MaxHeaderOffset = 64 * 1024;
constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint16_t Pe32PlusMagic = 0x20B;
// The optional header, which holds the magic, follows the signature (4 bytes) and the
// file header (20 bytes).
constexpr qint64 MagicAfterSignature = 24;

bool readAt(QFile& file, qint64 offset, char* data, qint64 size)
{
    return file.seek(offset) && file.read(data, size) == size;
}

// Whether a Wine installed under prefix is a distribution's split one without its 32-bit part.
bool withoutDistributionPart32(const QString& prefix)
{
    const QDir lib(prefix + QStringLiteral("/lib/wine"));
    return QFileInfo(lib.filePath(QStringLiteral("wine64"))).isFile()
        && !QFileInfo::exists(lib.filePath(QStringLiteral("wine")));
}

} // namespace

WindowsProgramKind windowsProgramKind(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return WindowsProgramKind::NotAProgram;
    char stub[2];
    char offsetBytes[4];
    if (!readAt(file, 0, stub, 2) || stub[0] != 'M' || stub[1] != 'Z'
        || !readAt(file, HeaderOffsetAt, offsetBytes, 4))
        return WindowsProgramKind::NotAProgram;
    const auto offset = qFromLittleEndian<std::uint32_t>(offsetBytes);
    char signature[4];
    char magicBytes[2];
    if (offset > MaxHeaderOffset || !readAt(file, offset, signature, 4)
        || QByteArray(signature, 4) != QByteArray("PE\0\0", 4)
        || !readAt(file, offset + MagicAfterSignature, magicBytes, 2))
        return WindowsProgramKind::NotAProgram;
    switch (qFromLittleEndian<std::uint16_t>(magicBytes)) {
    case Pe32Magic:
        return WindowsProgramKind::Bits32;
    case Pe32PlusMagic:
        return WindowsProgramKind::Bits64;
    default:
        return WindowsProgramKind::NotAProgram;
    }
}

bool wineRuns32BitPrograms(const QString& winePath)
{
    const QFileInfo given(winePath);
    const QFileInfo actual(given.canonicalFilePath());
    for (const QFileInfo& wine : {given, actual}) {
        if (wine.filePath().isEmpty())
            continue;
        if (withoutDistributionPart32(wine.dir().absolutePath() + QStringLiteral("/..")))
            return false;
    }
    // An upstream Wine of 64 bits alone has no "wine" beside its "wine64".
    if (given.fileName() != QStringLiteral("wine64"))
        return true;
    for (const QFileInfo& wine : {given, actual}) {
        if (!wine.filePath().isEmpty() && QFileInfo::exists(wine.dir().filePath(QStringLiteral("wine"))))
            return true;
    }
    return false;
}

} // namespace platform
