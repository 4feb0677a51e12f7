#pragma once

#include <QStringView>

#include <cstdint>

// The engine's own error codes, as OnError and OnErrorInfo carry them. The other codes an
// error event carries are HTTP status codes (300 and above) and the internet layer's error
// numbers (platform::InternetErrorBase and above).
enum TWebTransferError : std::int32_t {
    weIdenticalFiles = 0,
    weSourceOpen = 1,
    weSourceSize = 2,
    weTargetCreate = 3,
    weSourceRead = 4,
    weTargetWrite = 5,
    weConnect = 6,
    weInterrupted = 7,
    weChecksum = 8,
    // Beyond the classic codes: a download that does not begin as its job expects.
    weUnexpectedContent = 9,
    // A download longer or shorter than its job allows (ExpectedSize, MaxSize).
    weSize = 10,
};

// The text OnErrorInfo gives before the path or host of an engine error; empty for a code
// that has none yet.
QStringView WebTransferErrorPrefix(TWebTransferError Code);
// The same as the HTTP operations word it: they say "Cannot create file " and "Cannot
// connect to server " where the others name the target file and the FTP server.
QStringView HttpErrorPrefix(TWebTransferError Code);
