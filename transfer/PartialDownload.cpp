#include "transfer/PartialDownload.h"

#include "platform/network/InternetErrors.h"
#include "platform/files/LocalFiles.h"
#include "platform/crypto/Sha256.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString PartSuffix = QStringLiteral(".kxresume");
const QString InfoSuffix = QStringLiteral(".info");
const QByteArray RecordHeading = QByteArrayLiteral("KAPLIX partial download 1");
const QByteArray AddressTag = QByteArrayLiteral("url ");
const QByteArray FileTag = QByteArrayLiteral("sha256 ");
// Longer validators are not kept: no server needs them, and a hostile one gains nothing.
constexpr qsizetype MaxValidator = 512;
constexpr std::int64_t MaxRecord = 2048;

QByteArray AddressDigest(const QString& URL)
{
    platform::Sha256 digest;
    const QByteArray bytes = URL.toUtf8();
    digest.addData(bytes.constData(), bytes.size());
    return digest.hexResult().toLatin1();
}

bool IsFitValidator(const QString& Value)
{
    return !Value.isEmpty() && Value.size() <= MaxValidator && platform::isSafeHeaderText(Value);
}

bool ParseNumber(const QString& Text, std::int64_t& Value)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}$"));
    if (!digits.match(Text).hasMatch())
        return false;
    Value = Text.toLongLong();
    return true;
}

} // namespace

QString TPartialDownload::PartPath() const
{
    const QFileInfo info(Target);
    return info.path() + QStringLiteral("/.") + info.fileName() + PartSuffix;
}

QString TPartialDownload::InfoPath() const
{
    return PartPath() + InfoSuffix;
}

QByteArray TPartialDownload::Record(const QByteArray& Source) const
{
    return RecordHeading + '\n' + Source + "\nvalidator " + Validator.toUtf8() + "\ntotal "
        + QByteArray::number(static_cast<qlonglong>(Total)) + '\n';
}

QByteArray TPartialDownload::AddressSource(const QString& URL)
{
    return AddressTag + AddressDigest(URL);
}

QByteArray TPartialDownload::FileSource(const QString& SHA256)
{
    static const QRegularExpression digest(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    const QString value = SHA256.trimmed();
    return digest.match(value).hasMatch() ? FileTag + value.toLower().toLatin1() : QByteArray();
}

void TPartialDownload::Forget()
{
    platform::removeOwnFile(PartPath());
    platform::removeOwnFile(InfoPath());
    Size = 0;
}

TPartialDownload TPartialDownload::Find(const QString& Target, const QByteArray& Source)
{
    TPartialDownload partial;
    partial.Target = Target;
    QByteArray record;
    if (!platform::readPrivateFile(partial.InfoPath(), MaxRecord, record))
        return partial;
    const QList<QByteArray> lines = record.split('\n');
    if (Source.isEmpty() || lines.size() != 5 || lines[0] != RecordHeading || !lines[4].isEmpty() || lines[1] != Source
        || !lines[2].startsWith("validator ") || !lines[3].startsWith("total "))
        return partial;
    const bool anySource = Source.startsWith(FileTag);
    const QString validator = QString::fromUtf8(lines[2].mid(10));
    const QString total = QString::fromLatin1(lines[3].mid(6));
    std::int64_t totalValue = -1;
    // A part any server may continue asks for its rest without a validator: it may have none.
    const bool validatorFits = IsFitValidator(validator) || (anySource && validator.isEmpty());
    if (!validatorFits || (total != u"-1" && !ParseNumber(total, totalValue)))
        return partial;
    const std::int64_t size = platform::privateFileSize(partial.PartPath());
    // Nothing kept, or all of it: there is no rest to ask for.
    if (size <= 0 || (totalValue >= 0 && size >= totalValue))
        return partial;
    partial.Validator = validator;
    partial.Total = totalValue;
    partial.Size = size;
    partial.AnySource = anySource;
    return partial;
}

QString TPartialDownload::ValidatorOf(const QString& ETag, const QString& LastModified)
{
    // If-Range needs a strong validator (RFC 9110, 13.1.5).
    const QString tag = ETag.trimmed();
    if (IsFitValidator(tag) && !tag.startsWith(QStringLiteral("W/")))
        return tag;
    const QString date = LastModified.trimmed();
    return IsFitValidator(date) ? date : QString();
}

bool ParseContentRange(const QString& Value, std::int64_t& First, std::int64_t& Last, std::int64_t& Total)
{
    static const QRegularExpression form(QStringLiteral("^\\s*bytes\\s+([0-9]+)-([0-9]+)/([0-9]+)\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(Value);
    return match.hasMatch() && ParseNumber(match.captured(1), First) && ParseNumber(match.captured(2), Last)
        && ParseNumber(match.captured(3), Total) && First <= Last && Last < Total;
}
