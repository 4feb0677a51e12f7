#pragma once

#include "transfer/WebTransferTypes.h"

#include <QString>

#include <cstdint>

// The published settings of the transfer engine, with the defaults a new engine has: what a
// run does, how its progress dialog looks and which texts it shows. A run reads them; the
// engine and its dialog are configured through them.
struct TTransferSettings {
    QString Agent = QStringLiteral("WebTransfer");
    bool AlwaysOnTop = false;
    bool AutoURLDecode = false;
    bool CreateUniqueFilenames = false;
    QString DlgCaption = QStringLiteral("Downloading");
    QString DlgDwnload = QStringLiteral("Downloading");
    QString DlgUpload = QStringLiteral("Uploading");
    QString DlgCopying = QStringLiteral("Copying");
    QString DlgCompleted = QStringLiteral("completed");
    QString DlgFileLabel = QStringLiteral("File :");
    QString DlgFileOfLabel = QStringLiteral("of");
    QString DlgFromServerLabel = QStringLiteral("from");
    QString DlgToServerLabel = QStringLiteral("to");
    QString DlgProgressLabel = QStringLiteral("Progress :");
    QString DlgRateLabel = QStringLiteral("Transfer rate :");
    QString DlgTimeLabel = QStringLiteral("Estimated time left :");
    QString DlgElapsedTimeLabel = QStringLiteral("Elapsed time :");
    QString DlgCancel = QStringLiteral("Cancel");
    QString DlgClose = QStringLiteral("Close");
    QString DlgOpenFile = QStringLiteral("Open file");
    QString DlgOpenFolder = QStringLiteral("Open folder");
    QString DlgTimeSec = QStringLiteral("sec");
    QString DlgTimeMin = QStringLiteral("minutes");
    bool DlgShowCancel = true;
    bool DlgShowCloseBtn = false;
    bool FTPPassive = false;
    TFTPMode FTPMode = fmBINARY;
    bool HTTPKeepAliveAuthentication = false;
    QString Proxy;
    QString ProxyUserID;
    QString ProxyPassword;
    bool ShowDialog = true;
    bool ShowDialogOnTop = true;
    bool ShowOpenFile = false;
    bool ShowOpenFolder = false;
    bool ShowCompletion = false;
    bool ShowElapsedTime = false;
    bool ShowFileName = true;
    bool ShowServer = true;
    bool ShowTime = false;
    std::int32_t Timeout = 0;
    // Beyond the published settings, against a server that keeps a request alive with a
    // trickle (the slow-retrieval attack); 0 keeps the design's behaviour. The longest wait in
    // milliseconds for an answer's status line and headers, however they trickle in; and a
    // body slower than LowSpeedLimit bytes a second for LowSpeedTime seconds. Either fails the
    // attempt as a broken connection would, so retries and the next mirror answer it.
    std::int32_t ResponseHeadTimeout = 0;
    std::int32_t LowSpeedLimit = 0;
    std::int32_t LowSpeedTime = 0;
    // Beyond the published settings: the certificate authorities (a PEM file) HTTPS servers
    // are checked against instead of the system's, for a lab with its own; empty keeps the
    // system's. Certificates are always verified.
    QString TrustedCertificates;
    // Beyond the published settings: with ShowDialog, the dialog appears only once the run has
    // gone on for this many milliseconds, so that a quick run shows no window at all (its
    // completion state included); 0 shows it at once.
    std::int32_t DialogDelay = 0;

    // Public, not stored: the file a run appends its log lines to; empty for none.
    QString LogfileName;

    // With both proxy fields set, an "http://" URL carries them as credentials.
    QString AddProxyCredentials(const QString& URL) const;
};
