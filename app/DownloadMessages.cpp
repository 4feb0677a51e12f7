#include "app/DownloadMessages.h"

#include "platform/network/InternetErrors.h"
#include "platform/network/InternetResult.h"
#include "transfer/UrlHelpers.h"
#include "transfer/WebTransferErrors.h"

#include <array>

namespace {

struct TProblemText {
    const char* Happened;
    const char* Try;
};

constexpr std::array<TProblemText, dpUnknown + 1> ProblemTexts = {{
    {"This version of the file is not available on this download server.",
     "Choose another version, or try again later."},
    {"The download server refused the login.",
     "Check the user name and password, or ask your network administrator about the proxy."},
    {"No connection to the download server could be made.",
     "Check that this computer is connected to the Internet and that no firewall blocks it, then try again."},
    {"The identity of the download server could not be verified.",
     "Make sure you use a network you trust, then try again."},
    {"The connection broke off during the download.", "Try again: the download goes on where it stopped."},
    {"The download server could not deliver the file.", "Try again later."},
    {"The file could not be written: the disk is full.",
     "Free some space on the disk or choose the other download directory, then try again."},
    {"The file could not be saved in the download directory.",
     "Choose the other download directory, or ask your system administrator for write access."},
    {"The files could not be verified: the server has no valid signed list of them.",
     "Try again later; if this goes on, contact KAPLIX support. Do not install files from elsewhere."},
    {"The file was damaged or altered on its way.",
     "Try again, perhaps from another network; if this goes on, contact KAPLIX support."},
    {"The server sent something else instead of the setup program, for example a login page of a "
     "public network or a proxy.",
     "Log in to the network in your web browser, or ask your network administrator, then try again."},
    {"The download server offers an out-of-date release of the files.",
     "Try again later; if this goes on, contact KAPLIX support. Do not install files from elsewhere."},
    {"The assistant's record of the releases it has seen cannot be read.",
     "Correct or remove the file named below, then try again; without it the record starts afresh."},
    {"The download did not complete.", "Try again later."},
}};

TDownloadProblem ProblemOfInternetError(int Code)
{
    switch (platform::internetFailureKind(Code)) {
    case platform::InternetFailureKind::noConnection:
        return dpNoConnection;
    case platform::InternetFailureKind::connectionLost:
        return dpConnectionBroke;
    case platform::InternetFailureKind::certificate:
        return dpCertificate;
    case platform::InternetFailureKind::other:
        return dpServerFailed;
    case platform::InternetFailureKind::none:
        break;
    }
    return dpUnknown;
}

} // namespace

void TTransferFailure::NoteError(int Code, const QString& Info)
{
    URLNotFound = false;
    ErrorCode = Code;
    ErrorInfo = Info;
    Details = Info;
}

void TTransferFailure::NoteURLNotFound(const QString& URL, const platform::InternetResult& Reason)
{
    URLNotFound = true;
    InternetCode = Reason.code;
    Details = QStringLiteral("Could not open ") + URLWithoutPassword(URL);
    if (!Reason.ok && !Reason.message.isEmpty())
        Details += QStringLiteral(" (") + Reason.message + u')';
}

TDownloadProblem ProblemOf(const TTransferFailure& Failure)
{
    if (Failure.URLNotFound) {
        const TDownloadProblem problem = ProblemOfInternetError(Failure.InternetCode);
        return problem == dpUnknown ? dpNoConnection : problem;
    }
    const int code = Failure.ErrorCode;
    switch (code) {
    case weTargetCreate:
        return dpCannotSave;
    case weTargetWrite:
        return dpDiskFull;
    case weConnect:
        return dpNoConnection;
    case weInterrupted:
    case weSourceRead:
        return dpConnectionBroke;
    case weChecksum:
    case weSize:
        return dpDamaged;
    case weUnexpectedContent:
        return dpNotAProgram;
    default:
        break;
    }
    if (code == 404 || code == 410)
        return dpNotFound;
    if (code == 401 || code == 403 || code == 407)
        return dpLoginRefused;
    if (code >= 300 && code < 1000)
        return dpServerFailed;
    return ProblemOfInternetError(code);
}

bool AnotherServerMayHelp(TDownloadProblem Problem)
{
    return Problem != dpDiskFull && Problem != dpCannotSave && Problem != dpNoReleaseRecord;
}

QString DownloadProblemText(TDownloadProblem Problem)
{
    return QString::fromLatin1(ProblemTexts.at(std::size_t(Problem)).Happened);
}

QString DownloadFailureText(TDownloadProblem Problem, const QString& FileName, const QString& Version,
                            const QString& Details)
{
    const TProblemText& text = ProblemTexts.at(std::size_t(Problem));
    QString message = FileName + QStringLiteral(" for version ") + Version
        + QStringLiteral(" could not be downloaded.\r") + QString::fromLatin1(text.Happened) + u'\r'
        + QString::fromLatin1(text.Try);
    if (!Details.isEmpty())
        message += QStringLiteral("\rDetails: ") + Details;
    return message;
}
