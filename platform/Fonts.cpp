#include "platform/Fonts.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>

namespace platform {

namespace {

// fontconfig does not search Wine's folder, so its fonts are added to the application itself.
const char* const FontFolder = "/usr/share/wine/fonts";

// Wine's copies carry small bitmap strikes whose metrics are tighter than the outlines'
// (Tahoma at 11 pixels would measure 11 instead of 13 pixels high), and ask for typographic
// metrics. The designs were measured with the outline metrics of the Windows font, so the
// strikes are hidden and the outline's ascent and descent are used.
void useOutlineMetrics(QByteArray& font)
{
    if (font.size() < 12)
        return;
    const int tables = qFromBigEndian<quint16>(font.constData() + 4);
    for (int i = 0; i < tables; ++i) {
        const qsizetype record = 12 + 16 * qsizetype(i);
        if (record + 16 > font.size())
            return;
        const QByteArray tag = font.mid(record, 4);
        if (tag == "EBLC" || tag == "EBDT" || tag == "EBSC")
            font[record] = 'x'; // an unknown table is ignored
        if (tag == "OS/2") {
            const quint32 offset = qFromBigEndian<quint32>(font.constData() + record + 8);
            if (offset + 64 <= quint32(font.size())) {
                quint16 selection = qFromBigEndian<quint16>(font.constData() + offset + 62);
                selection &= ~quint16(1 << 7); // USE_TYPO_METRICS
                qToBigEndian<quint16>(selection, font.data() + offset + 62);
            }
        }
    }
}

// Wine's MS Sans Serif holds nothing but bitmap strikes around an empty outline: with its
// strikes hidden it would draw no text at all, and strikes could not follow the screen's scale.
bool hasOutlines(const QByteArray& font)
{
    const QRawFont raw(font, 11);
    if (!raw.isValid())
        return false;
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("A"));
    return !glyphs.isEmpty() && !raw.pathForGlyph(glyphs.front()).isEmpty();
}

void addFontFile(const QString& name)
{
    QFile file(QDir(QString::fromLatin1(FontFolder)).filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray font = file.readAll();
    useOutlineMetrics(font);
    if (hasOutlines(font))
        QFontDatabase::addApplicationFontFromData(font);
}

} // namespace

bool ensureDesignFonts()
{
    // Wine's bold Tahoma has regular-weight outlines (its boldness lives in the hidden
    // strikes), so bold is left to the font engine's emboldening of the regular face.
    if (!QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        addFontFile(QStringLiteral("tahoma.ttf"));
    if (!QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")))
        addFontFile(QStringLiteral("ms_sans_serif.ttf"));
    // Windows itself draws its dialogs in Tahoma where they once used MS Sans Serif: the same
    // 13-pixel line at 8 points, in outlines.
    if (!QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif")))
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma"));
    return QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
}

} // namespace platform
