#include "app/ReleaseCheck.h"

#include "app/ChecksumList.h"
#include "platform/MinisignVerify.h"

namespace {

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

} // namespace

TReleaseCheck CheckRelease(const QByteArray& ReleaseKey, const QString& FileName, const TFetchedFile& List,
                           const TFetchedFile& Signature)
{
    if (ServerUnreachable(List))
        return Unreachable(List);
    TReleaseCheck check;
    if (ReleaseKey.isEmpty()) {
        check.Allowed = true;
        const TChecksumList sums = TChecksumList::Parse(List.Received ? List.Content : QByteArray());
        check.ExpectedSHA256 = sums.SHA256Of(FileName);
        check.Verification = check.ExpectedSHA256.isEmpty() ? dvNone : dvUnsignedList;
        return check;
    }

    if (!platform::isMinisignPublicKey(ReleaseKey))
        return Refused(dpNotVerified, QStringLiteral("The release key is not a minisign public key"));
    if (!List.Received)
        return Refused(dpNotVerified, NotReceived(ChecksumListName, List));
    if (ServerUnreachable(Signature))
        return Unreachable(Signature);
    if (!Signature.Received)
        return Refused(dpNotVerified, NotReceived(ChecksumSignatureName, Signature));
    const platform::MinisignResult signature = platform::verifyMinisign(ReleaseKey, List.Content, Signature.Content);
    if (!signature.ok())
        return Refused(dpNotVerified, ChecksumListName + QStringLiteral(": ") + signature.message);
    check.ExpectedSHA256 = TChecksumList::Parse(List.Content).SHA256Of(FileName);
    if (check.ExpectedSHA256.isEmpty())
        return Refused(dpNotVerified, ChecksumListName + QStringLiteral(" does not name ") + FileName);
    check.Allowed = true;
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
