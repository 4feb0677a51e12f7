#include "transfer/WebTransfer.h"

#include "platform/InternetErrors.h"
#include "platform/InternetSession.h"
#include "platform/TickCount.h"
#include "transfer/DateConversions.h"
#include "transfer/DownloadTarget.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"
#include "transfer/WtBase64.h"
#include "transfer/WtLogin.h"

#include <QFileInfo>

namespace {

constexpr std::int64_t BlockSize = 4096;

TSystemTime ToSystemTime(const platform::CalendarTime& Time)
{
    TSystemTime result;
    result.wYear = Time.year;
    result.wMonth = Time.month;
    result.wDayOfWeek = Time.dayOfWeek;
    result.wDay = Time.day;
    result.wHour = Time.hour;
    result.wMinute = Time.minute;
    result.wSecond = Time.second;
    result.wMilliseconds = Time.milliseconds;
    return result;
}

QString AuthorizationHeader(const QString& User, const QString& Password)
{
    if (User.isEmpty() && Password.isEmpty())
        return {};
    return QStringLiteral("Authorization: Basic ") + Base64Encode(User + u':' + Password) + QStringLiteral("\r\n\r\n");
}

} // namespace

bool TWebTransfer::HttpDownload(const TWebTransferItem& Item, TJobRun& Run)
{
    const QString URL = Item.URL;
    const QString& TargetDir = Item.TargetDir;
    bool result = false;
    Run.NotNewer = false;
    FLastInternetResult = platform::InternetResult::success();
    // What the user and the events see: never the password of "user:password@host".
    const QString shownURL = URLWithoutPassword(URL);
    const QString fileName = NameFromURL(shownURL);

    SetFileLine(Item.DisplayURL.isEmpty() ? fileName : URLWithoutPassword(Item.DisplayURL), DlgFromServerLabel,
                ServerFromURL(URL), ShowServer);
    ProcessMessages();

    QString user = Item.HTTPUserID;
    QString password = Item.HTTPPassword;
    const QString loginCaption = QStringLiteral("Connect to ") + LoginHostFromURL(URL);
    if (Item.Authenticate == waAlways && (user.isEmpty() || password.isEmpty())) {
        if (!ShowLoginDialog(loginCaption, user, password))
            return false;
    }

    platform::OpenFlags flags = platform::OpenFlag::Reload | platform::OpenFlag::NoCacheWrite;
    if (HTTPKeepAliveAuthentication)
        flags |= platform::OpenFlag::KeepConnection;
    std::unique_ptr<platform::InternetRequest> request;
    for (;;) {
        // A line break in the credentials, the dialog's answers included, never reaches a
        // request: the job fails as one whose address cannot be opened.
        if (!platform::isSafeHeaderText(user) || !platform::isSafeHeaderText(password))
            FLastInternetResult = platform::unsafeHeaderTextResult();
        else if (FHinternet) {
            platform::Opened<platform::InternetRequest> opened =
                FHinternet->openUrl(URL, AuthorizationHeader(user, password), flags);
            request = std::move(opened.handle);
            FLastInternetResult = opened.result;
        }
        ProcessMessages();
        if (!request) {
            // A Cancel during the wait ends the job like a Cancel between blocks.
            if (!FCancelled)
                ReportURLNotFound(shownURL, FLastInternetResult);
            return false;
        }
        const int status = request->statusCode();
        if (status == 401 && (Item.Authenticate == waAlways || Item.Authenticate == waAuto)) {
            request.reset();
            if (!ShowLoginDialog(loginCaption, user, password))
                return false;
            continue;
        }
        if (status >= 300) {
            const QString retryAfter = request->header("Retry-After");
            request.reset();
            ReportHttpStatus(status, retryAfter);
            return false;
        }
        break;
    }

    if (Item.CopyNewerOnly || OnFileDateCheck) {
        const TDateTime sourceDate = SystemTimeToDate(ToSystemTime(request->lastModified()));
        if (OnFileDateCheck) {
            Run.DateSlot = sourceDate;
            bool allow = true;
            OnFileDateCheck(this, Run.Index, sourceDate, allow);
            if (!allow)
                return false;
        } else if (sourceDate > Run.DateSlot) {
            Run.DateSlot = sourceDate;
        } else {
            Run.NotNewer = true;
            Run.DateSlot = sourceDate;
            request.reset();
            if (OnNoNewFileFound)
                OnNoNewFileFound(this, fileName, sourceDate, sourceDate);
            return false;
        }
    }

    // The name comes from the address asked for, never from where a redirect led: a server
    // must not choose which file of the target directory it writes (CVE-2010-2252).
    QString name = Item.TargetFilename;
    const bool nameFromAddress = name.isEmpty();
    if (nameFromAddress) {
        name = fileName;
        if (AutoURLDecode)
            name = URLDecode(name);
    }
    QString path = JoinPath(TargetDir, name);
    FLastFile = path;
    FLastDir = TargetDir;
    if (nameFromAddress && !IsPlainFileName(name)) {
        ReportError(weTargetCreate, HttpErrorPrefix(weTargetCreate), path);
        return false;
    }

    // A directory there is no file to replace: the file cannot be made at all.
    if (DirExists(path)) {
        ReportError(weTargetCreate, HttpErrorPrefix(weTargetCreate), path);
        return false;
    }
    if (QFileInfo::exists(path)) {
        bool allow = true;
        if (OnCopyOverWrite)
            OnCopyOverWrite(this, path, allow);
        if (!allow)
            return false;
        if (CreateUniqueFilenames)
            path = UniqueFileName(path);
    }

    ForceDirs(DirectoryPart(path));
    TDownloadTarget file;
    if (!file.Open(path)) {
        ReportError(weTargetCreate, HttpErrorPrefix(weTargetCreate), path);
        return false;
    }

    const std::int64_t contentLength = request->contentLength();
    std::int64_t total = std::max<std::int64_t>(contentLength, 0);
    if (total == 0 && Item.FileSize > 0)
        total = Item.FileSize;
    SetProgressMarquee(total == 0);

    std::int64_t done = 0;
    const std::uint32_t startTick = platform::tickCount();
    std::int64_t blockLength = BlockSize;
    char buffer[BlockSize];
    bool interrupted = false;
    bool writeFailed = false;
    while (blockLength > 0 && !FCancelled) {
        KeepResponsive();
        if (!request->read(buffer, BlockSize, blockLength).ok) {
            interrupted = true;
            break;
        }
        if (blockLength > 0 && !file.Write(buffer, blockLength)) {
            writeFailed = true;
            break;
        }
        done += blockLength;
        ShowProgress(done, total, startTick, DlgDwnload, false);
        if (blockLength > 0)
            result = true;
    }
    request.reset();

    if (FCancelled) {
        file.Discard();
        return result;
    }
    const bool cutShort = contentLength >= 0 && done < contentLength;
    if (!FinishDownload(file, writeFailed, interrupted || cutShort, path, HttpErrorPrefix(weTargetCreate)))
        return false;
    return result;
}
