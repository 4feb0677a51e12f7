#include "transfer/TransferRun.h"

#include "platform/network/InternetSession.h"
#include "platform/files/LocalFiles.h"
#include "transfer/InternetErrorText.h"
#include "transfer/LocalTargets.h"
#include "transfer/UrlHelpers.h"

#include <QFile>

bool TTransferRun::HttpUpload(const TWebTransferItem& Item, TJobRun& /*Run*/)
{
    const QString& URL = Item.URL;
    SetAnimationClip(acUpload);
    FLastInternetResult = platform::InternetResult::success();
    // Proxy credentials travel to the proxy through the session, never inside the address.
    const QString server = ServerFromURL(URL);
    SetFileLine(NameFromURL(URLWithoutPassword(URL)), DlgFromServerLabel, server, ShowServer);

    const QString path = JoinPath(Item.TargetDir, Item.TargetFilename.isEmpty() ? NameFromURL(URL) : Item.TargetFilename);
    const platform::FileKind kind = platform::fileKind(path);
    // A pipe or device is refused unopened: opening a pipe waits for a writer, a device may
    // never end.
    if (kind == platform::FileKind::Special) {
        ReportError(weSourceSize, WebTransferErrorPrefix(weSourceOpen), path);
        return false;
    }
    if (kind != platform::FileKind::Regular)
        return false;
    ProcessMessages();

    QFile file;
    if (const platform::SourceOpen opened = platform::openRegularFile(file, path);
        opened != platform::SourceOpen::Opened) {
        const TWebTransferError code = opened == platform::SourceOpen::NotRegular ? weSourceSize : weSourceOpen;
        ReportError(code, WebTransferErrorPrefix(weSourceOpen), path);
        return false;
    }
    const std::int64_t size = file.size();
    // A cancel asked for by now sends nothing: the server never sees the request.
    if (FCancelled)
        return false;

    const auto reportInternetError = [this](const platform::InternetResult& Failure) {
        FLastInternetResult = Failure;
        ReportError(Failure.code, InternetErrorText(Failure.code));
    };
    const auto verb = Item.HTTPCommand == hcPut ? platform::InternetSession::UploadVerb::Put
                                           : platform::InternetSession::UploadVerb::Post;
    std::unique_ptr<platform::InternetUpload> upload;
    if (FHinternet) {
        platform::Opened<platform::InternetUpload> opened = FHinternet->openUpload(URL, verb, size);
        upload = std::move(opened.handle);
        FLastInternetResult = opened.result;
    }
    if (!upload) {
        ReportError(weConnect, HttpErrorPrefix(weConnect), server);
        return false;
    }
    if (const platform::InternetResult begun = upload->begin(); !begun.ok) {
        reportInternetError(begun);
        return false;
    }

    const TSent sent = Send(file, *upload, size, false, true);
    if (sent.ReadFailed)
        ReportError(weSourceRead, path);
    else if (sent.SendFailed)
        reportInternetError(sent.Failure);

    bool result = sent.Done == size && !sent.ReadFailed;
    if (const platform::InternetResult ended = upload->finish(); !ended.ok) {
        reportInternetError(ended);
        result = false;
    } else if (const int status = upload->statusCode(); status >= 300) {
        // The server refused what it received: a refusal is not a success.
        ReportHttpStatus(status);
        result = false;
    }
    return result;
}
