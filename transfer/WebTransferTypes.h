#pragma once

#include <cstdint>

// Kind of a transfer job; selects the operation a run hands the job to.
enum TWebTransferProtocol : std::uint8_t {
    wpHttp,
    wpFtp,
    wpFile,
    wpFtpUpload,
    wpHttpUpload,
    wpMultiFtp,
    wpMultiFtpUpload,
    wpFtpDelete,
    wpFtpList,
    wpFtpTest,
};

// Request verb of an HTTP upload.
enum TWebTransferHTTPCommand : std::uint8_t { hcPost, hcPut };

// When an HTTP download asks the user for credentials.
enum TWebTransferAuthentication : std::uint8_t { waNever, waAlways, waAuto };

// FTP transfer type.
enum TFTPMode : std::uint8_t { fmBINARY, fmASCII };

// The animations a run's progress shows: the download clip, the upload clip, and the
// file-copy animation.
enum TAnimationClip : std::uint8_t { acDownload, acUpload, acFileCopy };

// Days since 1899-12-30 00:00; the fraction is the time of day.
using TDateTime = double;
