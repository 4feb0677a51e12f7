#include "transfer/TransferRun.h"

#include "platform/network/InternetErrors.h"
#include "platform/network/InternetSession.h"
#include "platform/files/LocalFiles.h"
#include "platform/system/TickCount.h"
#include "transfer/DateConversions.h"
#include "transfer/DownloadSize.h"
#include "transfer/DownloadTarget.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"
#include "transfer/PartialDownload.h"
#include "transfer/UrlHelpers.h"
#include "transfer/WtBase64.h"

namespace {

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

// What a part kept by this job's download is known by.
TPartSource PartSourceOf(const TWebTransferItem& Item, const QString& URL)
{
    if (Item.ResumeFromAnySource) {
        const QByteArray file = TPartialDownload::FileSource(Item.ExpectedSHA256);
        if (!file.isEmpty())
            return {file, true};
    }
    return {TPartialDownload::AddressSource(URL), false};
}

// What an interrupted earlier download to Planned kept that this one may go on with. A part
// as large as the file may be has no rest to ask for: it is dropped.
TPartialDownload KeptPart(const QString& Planned, const TPartSource& Source, const TDownloadSize& Sizes)
{
    if (Planned.isEmpty())
        return {};
    TPartialDownload partial = TPartialDownload::Find(Planned, Source.Key);
    if (partial.Size > 0 && Sizes.Limit() >= 0 && partial.Size >= Sizes.Limit())
        partial.Forget();
    return partial;
}

// Asks for the rest of a kept partial file, and only while the file is what the server still
// has; a part any server may go on with asks plainly, as another server's validator means
// nothing here.
QString RangeHeaders(const TPartialDownload& Partial)
{
    QString headers = QStringLiteral("Range: bytes=%1-\r\n").arg(Partial.Size);
    if (!Partial.AnySource)
        headers += QStringLiteral("If-Range: %1\r\n").arg(Partial.Validator);
    return headers;
}

// Whether a 206 answer is still the file the kept part came from, as far as the validator the
// record holds tells, be it an ETag or a Last-Modified: an answer that carries one of that
// kind must carry the same. One that carries none honoured If-Range as far as anyone can tell.
bool KeepsValidator(const platform::InternetRequest& Request, const TPartialDownload& Partial)
{
    if (Partial.AnySource)
        return true;
    const QString tag = Request.header(QByteArrayLiteral("ETag")).trimmed();
    const QString date = Request.header(QByteArrayLiteral("Last-Modified")).trimmed();
    if (Partial.Validator == tag || Partial.Validator == date)
        return true;
    return Partial.Validator.startsWith(u'"') ? tag.isEmpty() : date.isEmpty();
}

enum TResumeAnswer {
    raResumed,   // a 206 with exactly the rest: append it
    raStartOver, // the rest cannot be had from this answer: ask again for the whole file
    raWhole,     // the whole file came instead (the file changed, or ranges are not served)
    raOther,     // another answer, handled as without a partial
};

// What the answer to a request for the rest of Partial allows.
TResumeAnswer CheckResumeAnswer(const platform::InternetRequest& Request, const TPartialDownload& Partial)
{
    const int status = Request.statusCode();
    if (status == 200)
        return raWhole;
    if (status == 416)
        return raStartOver;
    if (status != 206)
        return raOther;
    std::int64_t first = 0;
    std::int64_t last = 0;
    std::int64_t total = 0;
    if (!ParseContentRange(Request.header(QByteArrayLiteral("Content-Range")), first, last, total))
        return raStartOver;
    const std::int64_t length = Request.contentLength();
    if (first != Partial.Size || last != total - 1 || (Partial.Total >= 0 && total != Partial.Total)
        || (length >= 0 && length != last - first + 1) || !KeepsValidator(Request, Partial))
        return raStartOver;
    return raResumed;
}

// Where a download of this job is saved: under the chosen name, or under the name from the
// address asked for, never from where a redirect led, so a server cannot choose which file of
// the target directory it writes (CVE-2010-2252). A name from the address must be a plain
// file name.
struct TTargetName {
    QString Path;
    bool Fit = true;
};

TTargetName TargetOf(const TWebTransferItem& Item, const QString& FileName, bool Decode)
{
    if (!Item.TargetFilename.isEmpty())
        return {JoinPath(Item.TargetDir, Item.TargetFilename), true};
    const QString name = Decode ? URLDecode(FileName) : FileName;
    return {JoinPath(Item.TargetDir, name), IsPlainFileName(name)};
}

// The path a download of this job would write, beside an existing file when unique names are
// asked for. Empty when no file can be made there.
QString PlannedTarget(const TWebTransferItem& Item, const QString& FileName, bool Decode, bool Unique)
{
    const TTargetName target = TargetOf(Item, FileName, Decode);
    if (!target.Fit || DirExists(target.Path))
        return {};
    return Unique && FileExists(target.Path) ? UniqueFileName(target.Path) : target.Path;
}

} // namespace

std::unique_ptr<platform::InternetRequest> TTransferRun::OpenHttpAnswer(const TWebTransferItem& Item,
                                                                      TPartialDownload& Partial)
{
    const QString& URL = Item.URL;
    QString user = Item.HTTPUserID;
    QString password = Item.HTTPPassword;
    const auto askLogin = [this, &URL, &user, &password] {
        return FUi->AskLogin(QStringLiteral("Connect to ") + LoginHostFromURL(URL), user, password);
    };
    if (Item.Authenticate == waAlways && (user.isEmpty() || password.isEmpty())) {
        if (!askLogin())
            return {};
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
            QString headers = AuthorizationHeader(user, password);
            if (Partial.Size > 0)
                headers += RangeHeaders(Partial);
            platform::Opened<platform::InternetRequest> opened = FHinternet->openUrl(URL, headers, flags);
            request = std::move(opened.handle);
            FLastInternetResult = opened.result;
        }
        KeepResponsive(StepPumpMs);
        if (!request) {
            // A Cancel during the wait ends the job like a Cancel between blocks, and the user
            // wants no rest of the file either; an unreachable server keeps it for later.
            if (FCancelled && Partial.Size > 0)
                Partial.Forget();
            if (!FCancelled)
                ReportURLNotFound(URLWithoutPassword(URL), FLastInternetResult);
            return {};
        }
        const int status = request->statusCode();
        if (status == 401 && (Item.Authenticate == waAlways || Item.Authenticate == waAuto)) {
            request.reset();
            if (!askLogin())
                return {};
            continue;
        }
        if (Partial.Size > 0) {
            const TResumeAnswer answer = CheckResumeAnswer(*request, Partial);
            if (answer == raResumed)
                return request;
            if (answer == raStartOver) {
                request.reset();
                Partial.Forget();
                continue;
            }
            if (answer == raWhole)
                Partial.Forget();
        }
        if (status >= 300) {
            const QString retryAfter = request->header("Retry-After");
            request.reset();
            ReportHttpStatus(status, retryAfter);
            return {};
        }
        return request;
    }
}

bool TTransferRun::OpenHttpTarget(TDownloadTarget& File, QString& Path, const QString& FileName, std::int64_t Announced,
                                  const TWebTransferItem& Item, const platform::InternetRequest& Answer,
                                  TPartialDownload& Partial, const TPartSource& PartSource, TJobRun& Run)
{
    const TTargetName target = TargetOf(Item, FileName, AutoURLDecode);
    Path = target.Path;
    FLastFile = Path;
    FLastDir = Item.TargetDir;
    if (!target.Fit) {
        ReportError(weTargetCreate, HttpErrorPrefix(weTargetCreate), Path);
        return false;
    }
    if (!PlaceTarget(Path, HttpErrorPrefix(weTargetCreate)))
        return false;
    const std::int64_t resumed = Partial.Size;
    // A file announced at another size than the job allows is refused before its body is
    // read; a kept part stays, as another server may have the rest of it.
    if (!TDownloadSize{Item.ExpectedSize, Item.MaxSize}.MayBe(Announced)) {
        ReportError(weSize, Path);
        return false;
    }
    if (!CheckRoom(Path, Announced, resumed))
        return false;
    File.Expect(Item.ExpectedSHA256, Item.ExpectedStart, Item.ComputeSHA256);
    File.ExpectSize(TDownloadSize{Item.ExpectedSize, Item.MaxSize});
    if (resumed > 0) {
        // The kept file must still be the one the rest was asked for (the name may have
        // been taken meanwhile): otherwise the rest cannot be used, and the next run starts over.
        if (Path != Partial.Target || !File.Reopen(Path, Partial.PartPath(), Partial.InfoPath())
            || File.Size() != resumed) {
            File.Discard();
            Partial.Forget();
            ReportError(weInterrupted, Path);
            return false;
        }
        Run.ResumedBytes = resumed;
    } else {
        bool opened = false;
        // A file that can be resumed is kept under a name of its own; where that name cannot
        // be had safely, it is an ordinary download.
        if (Item.Resume) {
            TPartialDownload fresh;
            fresh.Target = Path;
            fresh.Validator = TPartialDownload::ValidatorOf(Answer.header(QByteArrayLiteral("ETag")),
                                                            Answer.header(QByteArrayLiteral("Last-Modified")));
            fresh.Total = Answer.contentLength();
            if (!fresh.Validator.isEmpty() || PartSource.AnySource)
                opened = File.OpenResumable(Path, fresh.PartPath(), fresh.InfoPath(), fresh.Record(PartSource.Key));
        }
        if (!opened && !OpenTarget(File, Path)) {
            ReportError(weTargetCreate, HttpErrorPrefix(weTargetCreate), Path);
            return false;
        }
    }
    return true;
}

bool TTransferRun::HttpDownload(const TWebTransferItem& Item, TJobRun& Run)
{
    const QString URL = Item.URL;
    Run.NotNewer = false;
    FLastInternetResult = platform::InternetResult::success();
    // What the user and the events see: never the password of "user:password@host".
    const QString shownURL = URLWithoutPassword(URL);
    const QString fileName = NameFromURL(shownURL);

    SetFileLine(Item.DisplayURL.isEmpty() ? fileName : URLWithoutPassword(Item.DisplayURL), DlgFromServerLabel,
                ServerFromURL(URL), ShowServer);
    KeepResponsive(StepPumpMs);

    // What an interrupted earlier run of this job kept: only the rest is asked for.
    const TDownloadSize sizes{Item.ExpectedSize, Item.MaxSize};
    // Only a resumable job needs to know its part's source: it takes a digest of the address.
    const TPartSource partSource = Item.Resume ? PartSourceOf(Item, URL) : TPartSource{};
    TPartialDownload partial;
    if (Item.Resume && !Item.InMemory)
        partial = KeptPart(PlannedTarget(Item, fileName, AutoURLDecode, CreateUniqueFilenames), partSource, sizes);

    std::unique_ptr<platform::InternetRequest> request = OpenHttpAnswer(Item, partial);
    if (!request)
        return false;

    if (Item.CopyNewerOnly || OnFileDateCheck) {
        const TDateTime sourceDate = SystemTimeToDate(ToSystemTime(request->lastModified()));
        if (!DateTestAllows(Run, sourceDate, fileName, true))
            return false;
    }

    const std::int64_t contentLength = request->contentLength();
    const std::int64_t resumed = partial.Size;
    const std::int64_t announced = contentLength >= 0 ? resumed + contentLength : -1;
    // A body kept in memory has no file to place; the messages name its address.
    QString path = shownURL;
    TDownloadTarget file;
    if (Item.InMemory) {
        if (!sizes.MayBe(announced)) {
            ReportError(weSize, path);
            return false;
        }
        file.Expect(Item.ExpectedSHA256, Item.ExpectedStart, Item.ComputeSHA256);
        file.ExpectSize(sizes);
        file.OpenInMemory();
    } else if (!OpenHttpTarget(file, path, fileName, announced, Item, *request, partial, partSource, Run)) {
        return false;
    }

    std::int64_t total = std::max<std::int64_t>(contentLength, 0);
    if (total == 0 && Item.FileSize > 0)
        total = Item.FileSize;
    else if (total > 0)
        total += resumed;
    SetProgressMarquee(total == 0);

    const TReceived received = Receive(*request, file, total, sizes, resumed);
    request.reset();
    if (FCancelled) {
        file.Discard();
        return false;
    }
    if (received.Interrupted)
        FLastInternetResult = received.Failure;
    // A limit on a slow answer is named; the network's own failures keep the plain text.
    const QString interruptedBy = received.Failure.tooSlow ? received.Failure.message : QString();
    const bool cutShort = contentLength >= 0 && received.Done - resumed < contentLength;
    if (!FinishDownload(file, Run, received.WriteFailed, received.Interrupted || cutShort, path,
                        HttpErrorPrefix(weTargetCreate), interruptedBy))
        return false;
    if (Item.InMemory)
        Run.Content = file.TakeContent();
    // A body that brought no byte is no download.
    return received.Done > resumed;
}
