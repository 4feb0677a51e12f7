#pragma once

#include "transfer/FileDetailItem.h"
#include "transfer/WebTransferTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class TWebTransfer;

// One transfer job. The published settings are plain members; the results of the last run
// are written only by the engine's run loop and are read-only to everyone else.
class TWebTransferItem {
public:
    QString URL;
    QString TargetDir;
    QString TargetFilename;
    TWebTransferProtocol Protocol = wpHttp;
    TWebTransferHTTPCommand HTTPCommand = hcPost;
    QString FTPHost;
    QString FTPUserID;
    QString FTPPassword;
    std::int32_t FTPPort = 21;
    bool Active = true;
    bool CopyNewerOnly = false;
    TDateTime FileDate = 0;
    TWebTransferAuthentication Authenticate = waNever;
    QString HTTPUserID;
    QString DisplayURL;
    QString HTTPPassword;

    // Integrity and robustness of downloads. Every default keeps a job as it always was.
    // The SHA-256 (hexadecimal, either case) the downloaded file must have; empty for none.
    // A file that differs is not put in place (error weChecksum) and the old file stays.
    QString ExpectedSHA256;
    // The bytes the downloaded file must begin with; empty for none. A file that does not
    // is not put in place (error weUnexpectedContent) and the old file stays.
    QByteArray ExpectedStart;
    // A download the network interrupted keeps what arrived beside the target, and the
    // next run of the job asks the server only for the rest.
    bool Resume = false;
    // How many more times a transient failure (no connection, a broken transfer, a busy
    // server) is tried, after waits of 1, 2, 4 ... seconds.
    int Retries = 0;
    // The run computes the SHA-256 of the file it downloads (SHA256()) also where none is
    // expected. Hashing costs a run of many small files about as much as writing them.
    bool ComputeSHA256 = false;
    // The size the downloaded file must have, as a signed list gives it; -1 for any. A body
    // that grows past it ends the download as soon as the first byte too many arrives, and a
    // shorter file is refused before any checksum is compared (error weSize); nothing is put in
    // place and the old file stays.
    std::int64_t ExpectedSize = -1;
    // The most bytes a download may bring; -1 for no limit. At most MaxSize + 1 bytes are read:
    // a body longer than that ends the job at once (error weSize), never filling the disk.
    std::int64_t MaxSize = -1;
    // A part that an interrupted download of the same file kept (same ExpectedSHA256) goes on
    // from this job's address even when another address fetched it, as a download from the
    // next mirror does; the whole file's checksum decides at the end. Needs Resume and
    // ExpectedSHA256; without them the part must come from the same address, as before.
    bool ResumeFromAnySource = false;
    // An HTTP download kept in memory instead of a file (for small answers such as lists):
    // the body of the last run is Content(), checked as a file would be; TargetDir,
    // TargetFilename, Resume and the overwrite question play no part, and nothing is
    // written to the disk. Set MaxSize to bound it.
    bool InMemory = false;

    // Public, not stored with the layout.
    TDateTime NewFileDate = 0;
    std::int64_t FileSize = 0;

    TWebTransferItem() = default;
    TWebTransferItem(const TWebTransferItem&) = delete;
    TWebTransferItem& operator=(const TWebTransferItem&) = delete;

    // Copies the sixteen published settings and the nine download settings of Source;
    // results, size and lists stay.
    // A null Source changes nothing.
    void Assign(const TWebTransferItem* Source);

    bool Success() const { return FSuccess; }
    bool NoNewVersion() const { return FNoNewVersion; }
    bool Cancelled() const { return FCancelled; }
    // Lower-case hexadecimal SHA-256 of the file the last run downloaded; empty when it
    // downloaded none, or computed none (neither ExpectedSHA256 nor ComputeSHA256).
    QString SHA256() const { return FSHA256; }
    // Bytes of the last downloaded file that an earlier run had kept and this one went on
    // from, whether or not the file was then put in place (a checksum mismatch after going on
    // from another address's part says to fetch it whole); 0 when it fetched the whole file.
    std::int64_t ResumedBytes() const { return FResumedBytes; }
    // The body an InMemory job received in its last run; empty when it failed.
    const QByteArray& Content() const { return FContent; }
    // Names and details of the last listing run of this job; null until one ran.
    const QStringList* FileList() const { return FFileList.get(); }
    const TFileDetailItems* FileDetails() const { return FFileDetailList.get(); }

private:
    // Only the engine's run loop stores results.
    friend class TTransferRun;

    bool FSuccess = false;
    bool FNoNewVersion = false;
    bool FCancelled = false;
    QString FSHA256;
    std::int64_t FResumedBytes = 0;
    QByteArray FContent;
    std::unique_ptr<QStringList> FFileList;
    std::unique_ptr<TFileDetailItems> FFileDetailList;
};

// The engine's ordered job list.
class TWebTransferItems {
public:
    explicit TWebTransferItems(TWebTransfer* Owner = nullptr) : FOwner(Owner) {}
    TWebTransferItems(const TWebTransferItems&) = delete;
    TWebTransferItems& operator=(const TWebTransferItems&) = delete;

    TWebTransferItem* Add();
    TWebTransferItem* Insert(int Index);
    TWebTransferItem* GetItem(int Index) const;
    // Assigns the published settings of Value into the job at Index.
    void SetItem(int Index, const TWebTransferItem* Value);
    TWebTransferItem* Items(int Index) const { return GetItem(Index); }
    TWebTransferItem* operator[](int Index) const { return GetItem(Index); }

    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }
    void Delete(int Index);

    int ActiveItems() const;
    int SuccessCount() const;

    TWebTransfer* Owner() const { return FOwner; }

private:
    TWebTransfer* FOwner;
    std::vector<std::unique_ptr<TWebTransferItem>> FItems;
};
