#include "app/ReleaseCheck.h"

#include "app/ChecksumList.h"
#include "app/ReleaseStamp.h"
#include "platform/crypto/MinisignVerify.h"

#include <algorithm>
#include <optional>

namespace {

const QString OnThisServer = QStringLiteral("The checksum list on this server ");
const QString OutOfDate = QStringLiteral(": the mirror is out of date");

// A fetch that failed because the server or the way to it failed, not because the file is
// missing or refused: the setup file would fail the same way.
bool ServerUnreachable(const TFetchedFile& File)
{
    if (File.Received)
        return false;
    const TDownloadProblem problem = ProblemOf(File.Failure);
    return problem == dpNoConnection || problem == dpCertificate || problem == dpConnectionBroke;
}

TReleaseCheck Refused(TDownloadProblem Problem, const QString& Details)
{
    TReleaseCheck check;
    check.Problem = Problem;
    check.Details = Details;
    return check;
}

TReleaseCheck Unreachable(const TFetchedFile& File)
{
    return Refused(ProblemOf(File.Failure), File.Failure.Details);
}

QString NotReceived(const QString& Name, const TFetchedFile& File)
{
    const QString why = File.Failure.Details.isEmpty() ? QStringLiteral("not received") : File.Failure.Details;
    return Name + QStringLiteral(": ") + why;
}

// The signature of List by any of Keys: its check, and the trusted comment when valid. Of
// several failures the one of a key that made a signature says more than "another key".
platform::MinisignResult VerifyWithAnyKey(const QList<QByteArray>& Keys, const TFetchedFile& List,
                                          const TFetchedFile& Signature)
{
    std::optional<platform::MinisignResult> told;
    for (const QByteArray& key : Keys) {
        platform::MinisignResult result = platform::verifyMinisign(key, List.Content, Signature.Content);
        if (result.ok())
            return result;
        if (!told || told->check == platform::MinisignCheck::otherKey)
            told = std::move(result);
    }
    return told.value_or(platform::MinisignResult{});
}

// What the signed stamp alone allows: the list with its serial, or why not.
TReleaseCheck CheckStamp(const TReleaseWanted& Wanted, const TReleaseStamp& Stamp)
{
    if (Stamp.Version != Wanted.Version)
        return Refused(dpNotVerified,
                       OnThisServer + QStringLiteral("is for version %1, not %2").arg(Stamp.Version, Wanted.Version));
    if (Stamp.Directory != Wanted.Directory)
        return Refused(dpNotVerified, OnThisServer
                           + QStringLiteral("is for the folder %1, not %2").arg(Stamp.Directory, Wanted.Directory));
    if (Wanted.Today >= Stamp.Expires)
        return Refused(dpOutOfDate, OnThisServer + QStringLiteral("expired on ")
                           + Stamp.Expires.toString(QStringLiteral("yyyy-MM-dd")) + OutOfDate);
    if (Stamp.Serial < Wanted.SeenSerial)
        return Refused(dpOutOfDate, OnThisServer
                           + QStringLiteral("has serial %1, lower than %2 seen before for version %3")
                                 .arg(Stamp.Serial)
                                 .arg(Wanted.SeenSerial)
                                 .arg(Wanted.Version)
                           + OutOfDate);
    TReleaseCheck check;
    check.Allowed = true;
    check.Serial = Stamp.Serial;
    return check;
}

} // namespace

TReleaseCheck CheckRelease(const TReleaseWanted& Wanted, const TFetchedFile& List, const TFetchedFile& Signature)
{
    if (ServerUnreachable(List))
        return Unreachable(List);
    if (Wanted.Keys.isEmpty()) {
        TReleaseCheck check;
        check.Allowed = true;
        const TChecksumList sums = TChecksumList::Parse(List.Received ? List.Content : QByteArray());
        check.ExpectedSHA256 = sums.SHA256Of(Wanted.FileName);
        check.ExpectedSize = check.ExpectedSHA256.isEmpty() ? -1 : sums.SizeOf(Wanted.FileName);
        check.Verification = check.ExpectedSHA256.isEmpty() ? dvNone : dvUnsignedList;
        return check;
    }

    if (!std::all_of(Wanted.Keys.begin(), Wanted.Keys.end(), platform::isMinisignPublicKey))
        return Refused(dpNotVerified, QStringLiteral("The release key is not a minisign public key"));
    if (!List.Received) {
        // A version the server does not have is no sign of tampering: the list is simply not
        // there, as the file would not be.
        const bool missing = ProblemOf(List.Failure) == dpNotFound;
        return Refused(missing ? dpNotFound : dpNotVerified, NotReceived(ChecksumListName, List));
    }
    if (ServerUnreachable(Signature))
        return Unreachable(Signature);
    if (!Signature.Received)
        return Refused(dpNotVerified, NotReceived(ChecksumSignatureName, Signature));
    const platform::MinisignResult signature = VerifyWithAnyKey(Wanted.Keys, List, Signature);
    if (!signature.ok())
        return Refused(dpNotVerified, ChecksumListName + QStringLiteral(": ") + signature.message);
    const std::optional<TReleaseStamp> stamp = TReleaseStamp::Parse(signature.trustedComment);
    if (!stamp)
        return Refused(dpNotVerified, OnThisServer + QStringLiteral("does not name its product, version, serial and expiry date"));
    TReleaseCheck check = CheckStamp(Wanted, *stamp);
    if (!check.Allowed)
        return check;

    const TChecksumList sums = TChecksumList::Parse(List.Content);
    check.ExpectedSHA256 = sums.SHA256Of(Wanted.FileName);
    if (check.ExpectedSHA256.isEmpty())
        return Refused(dpNotVerified, ChecksumListName + QStringLiteral(" does not name ") + Wanted.FileName);
    check.ExpectedSize = sums.SizeOf(Wanted.FileName);
    if (check.ExpectedSize < 0)
        return Refused(dpNotVerified, ChecksumListName + QStringLiteral(" gives no size for ") + Wanted.FileName);
    check.Verification = dvSignedList;
    return check;
}

QString VerificationText(TDownloadVerification Verification)
{
    switch (Verification) {
    case dvSignedList:
        return QStringLiteral("verified by a signed checksum list");
    case dvUnsignedList:
        return QStringLiteral("checked against an unsigned checksum list");
    case dvNone:
        break;
    }
    return QStringLiteral("not verified: no checksum list names it");
}
