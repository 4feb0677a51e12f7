#include "app/ReleaseState.h"

#include "platform/files/PrivateFiles.h"

#include <QRegularExpression>

namespace {

const QByteArray Heading = QByteArrayLiteral("kaplix-setup state 1");
const QByteArray SerialKind = QByteArrayLiteral("serial");
const QByteArray FileKind = QByteArrayLiteral("file");
const QString NoFolder = QStringLiteral("There is no home folder to keep the serials of checksum lists in");

// A record of a kind this program does not know: a kind, blanks between fields, nothing that
// would read as another line or as a control of a terminal.
bool IsRecord(const QString& Line)
{
    static const QRegularExpression form(QRegularExpression::anchoredPattern(QStringLiteral("[a-z]+(?: [^ ]+)*")));
    if (!form.match(Line).hasMatch())
        return false;
    for (const QChar c : Line) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

} // namespace

const QString TReleaseState::FileName = QStringLiteral("state");

std::optional<TReleaseState> TReleaseState::Parse(const QByteArray& Text)
{
    if (!Text.endsWith('\n'))
        return std::nullopt;
    QList<QByteArray> lines = Text.split('\n');
    lines.removeLast();
    if (lines.isEmpty() || lines.first() != Heading)
        return std::nullopt;
    // Eighteen digits always fit 64 bits.
    static const QRegularExpression serial(
        QRegularExpression::anchoredPattern(QStringLiteral("serial ([a-z0-9]{1,16}) ([0-9]{1,18})")));
    static const QRegularExpression file(QRegularExpression::anchoredPattern(
        QStringLiteral("file ([a-z0-9]{1,16}) ([A-Za-z0-9._-]{1,64}) ([0-9a-f]{64}) ([0-9]{1,18})")));
    TReleaseState state;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        if (line.toUtf8() != lines[i] || !IsRecord(line))
            return std::nullopt;
        const QByteArray kind = lines[i].split(' ').constFirst();
        if (kind == FileKind) {
            const QRegularExpressionMatch match = file.match(line);
            if (!match.hasMatch())
                return std::nullopt;
            state.RecordFile(match.captured(2), {match.captured(1), match.captured(3), match.captured(4).toLongLong()});
            continue;
        }
        if (kind != SerialKind) {
            state.FOtherRecords.append(lines[i]);
            continue;
        }
        const QRegularExpressionMatch match = serial.match(line);
        if (!match.hasMatch())
            return std::nullopt;
        state.RaiseSerial(match.captured(1), match.captured(2).toULongLong());
    }
    return state;
}

QByteArray TReleaseState::Text() const
{
    QByteArray text = Heading + '\n';
    for (auto it = FSerials.cbegin(); it != FSerials.cend(); ++it)
        text += SerialKind + ' ' + it.key().toUtf8() + ' ' + QByteArray::number(qulonglong(it.value())) + '\n';
    for (auto it = FFiles.cbegin(); it != FFiles.cend(); ++it)
        text += FileKind + ' ' + it->Directory.toUtf8() + ' ' + it.key().toUtf8() + ' ' + it->SHA256.toUtf8() + ' '
            + QByteArray::number(qlonglong(it->Size)) + '\n';
    for (const QByteArray& record : FOtherRecords)
        text += record + '\n';
    return text;
}

std::optional<TReleaseState::TFileRecord> TReleaseState::File(const QString& Name) const
{
    const auto known = FFiles.constFind(Name);
    if (known == FFiles.constEnd())
        return std::nullopt;
    return *known;
}

void TReleaseState::RecordFile(const QString& Name, const TFileRecord& Record)
{
    FFiles.insert(Name, Record);
}

std::uint64_t TReleaseState::Serial(const QString& Directory) const
{
    return FSerials.value(Directory, 0);
}

bool TReleaseState::RaiseSerial(const QString& Directory, std::uint64_t Serial)
{
    const auto known = FSerials.constFind(Directory);
    if (known != FSerials.constEnd() && *known >= Serial)
        return false;
    FSerials.insert(Directory, Serial);
    return true;
}

TReleaseState::TLoaded TReleaseState::Load(const QString& Path)
{
    TLoaded loaded;
    if (Path.isEmpty()) {
        loaded.Problem = NoFolder;
        return loaded;
    }
    const platform::StateFileRead read = platform::readStateFile(Path, MaxSize);
    switch (read.status) {
    case platform::StateFileRead::Status::missing:
        break;
    case platform::StateFileRead::Status::refused:
        loaded.Problem = read.problem;
        break;
    case platform::StateFileRead::Status::read:
        if (const std::optional<TReleaseState> state = Parse(read.data))
            loaded.State = *state;
        else
            loaded.Problem = QStringLiteral("The file ") + Path + QStringLiteral(" is not a state file of this program");
        break;
    }
    return loaded;
}

QString TReleaseState::Save(const QString& Path) const
{
    if (Path.isEmpty())
        return NoFolder;
    return platform::writeStateFile(Path, Text());
}
