#include "platform/desktop/Fonts.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QtEndian>

#include <cstring>

namespace platform {

namespace {

// fontconfig does not search Wine's folder, so its fonts are added to the application itself.
const char* const FontFolder = "/usr/share/wine/fonts";

// Where a table of the font file lies; length 0 when the font has no such table.
struct FontTable {
    quint32 offset = 0;
    quint32 length = 0;
    quint32 recordAt = 0; // its entry in the table directory
};

// The table directory of a TrueType file: 12 bytes of header, then 16 bytes per table.
FontTable findTable(const QByteArray& font, const char* tag)
{
    if (font.size() < 12)
        return {};
    const int tables = qFromBigEndian<quint16>(font.constData() + 4);
    for (int i = 0; i < tables; ++i) {
        const qsizetype record = 12 + 16 * qsizetype(i);
        if (record + 16 > font.size())
            return {};
        if (std::memcmp(font.constData() + record, tag, 4) != 0)
            continue;
        const quint32 offset = qFromBigEndian<quint32>(font.constData() + record + 8);
        const quint32 length = qFromBigEndian<quint32>(font.constData() + record + 12);
        if (quint64(offset) + length > quint64(font.size()))
            return {};
        return {offset, length, quint32(record)};
    }
    return {};
}

// Wine's copies carry small bitmap strikes whose metrics are tighter than the outlines'
// (Tahoma at 11 pixels would measure 11 instead of 13 pixels high), and ask for typographic
// metrics. The designs were measured with the outline metrics of the Windows font, so the
// strikes are hidden and the outline's ascent and descent are used.
void useOutlineMetrics(QByteArray& font)
{
    for (const char* strikes : {"EBLC", "EBDT", "EBSC"}) {
        const FontTable table = findTable(font, strikes);
        if (table.length > 0)
            font[table.recordAt] = 'x'; // an unknown table is ignored
    }
    const FontTable os2 = findTable(font, "OS/2");
    if (os2.length >= 64) {
        quint16 selection = qFromBigEndian<quint16>(font.constData() + os2.offset + 62);
        selection &= ~quint16(1 << 7); // USE_TYPO_METRICS
        qToBigEndian<quint16>(selection, font.data() + os2.offset + 62);
    }
}

// Wine's MS Sans Serif holds nothing but bitmap strikes around an empty outline: with its
// strikes hidden it would draw no text at all, and strikes could not follow the screen's scale.
// Such a font gives no glyph but the missing-character box any outline data. Read from the
// tables, as loading the font to draw a glyph would take a font engine's set-up.
bool hasOutlines(const QByteArray& font)
{
    if (findTable(font, "CFF ").length > 0 || findTable(font, "CFF2").length > 0)
        return true;
    const FontTable head = findTable(font, "head");
    const FontTable maxp = findTable(font, "maxp");
    const FontTable loca = findTable(font, "loca");
    if (head.length < 54 || maxp.length < 6 || findTable(font, "glyf").length == 0)
        return false;
    const int glyphs = qFromBigEndian<quint16>(font.constData() + maxp.offset + 4);
    const bool longOffsets = qFromBigEndian<qint16>(font.constData() + head.offset + 50) != 0;
    const quint32 entrySize = longOffsets ? 4 : 2;
    if (quint64(glyphs + 1) * entrySize > loca.length)
        return false;
    const auto glyphStart = [&](int glyph) -> quint32 {
        const char* entry = font.constData() + loca.offset + quint32(glyph) * entrySize;
        return longOffsets ? qFromBigEndian<quint32>(entry) : 2u * qFromBigEndian<quint16>(entry);
    };
    // Glyph 0 is the missing-character box.
    for (int glyph = 1; glyph < glyphs; ++glyph) {
        if (glyphStart(glyph + 1) > glyphStart(glyph))
            return true;
    }
    return false;
}

// True when the file's family is now the application's.
bool addFontFile(const QString& name, const QString& family)
{
    QFile file(QDir(QString::fromLatin1(FontFolder)).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray font = file.readAll();
    useOutlineMetrics(font);
    if (!hasOutlines(font))
        return false;
    const int id = QFontDatabase::addApplicationFontFromData(font);
    return id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(family);
}

} // namespace

bool ensureDesignFonts()
{
    const QString tahoma = QStringLiteral("Tahoma");
    const QString msSansSerif = QStringLiteral("MS Sans Serif");
    // Wine's bold Tahoma has regular-weight outlines (its boldness lives in the hidden
    // strikes), so bold is left to the font engine's emboldening of the regular face.
    const bool haveTahoma = QFontDatabase::hasFamily(tahoma) || addFontFile(QStringLiteral("tahoma.ttf"), tahoma);
    // Windows itself draws its dialogs in Tahoma where they once used MS Sans Serif: the same
    // 13-pixel line at 8 points, in outlines.
    if (!QFontDatabase::hasFamily(msSansSerif) && !addFontFile(QStringLiteral("ms_sans_serif.ttf"), msSansSerif))
        QFont::insertSubstitution(msSansSerif, tahoma);
    return haveTahoma;
}

} // namespace platform
