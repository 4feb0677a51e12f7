#pragma once

#include "tests/support/NginxServer.h"
#include "transfer/WebTransfer.h"

#include <QStringList>

#include <algorithm>
#include <memory>
#include <vector>

// What the command line asks for.
struct BenchOptions {
    qint64 sizeMiB = 512;
    int rounds = 5;
    int files = 0; // many small files instead of one large one
    bool https = false;
    bool dialog = true; // --no-dialog: the engine's cost without its progress dialog
    int settleMs = 300; // --settle MS: the rest before each run of --files
};

// "[size] [rounds] [--files N] [--https] [--no-dialog] [--settle MS]"; with --files the first number
// is the rounds.
BenchOptions parseBenchOptions(int argc, char** argv);

// nginx serving a directory, over https with a certificate of its own when asked.
struct BenchServer {
    BenchServer(const QString& documentRoot, const QString& certificateDir, bool https);
    // What curl needs to trust the server.
    QStringList curlArguments() const;

    QString certificate; // empty for plain http
    std::unique_ptr<NginxServer> nginx;
};

// The engine, trusting the benchmark's own certificate (its TrustedCertificates) as a system
// trusts a public one.
using BenchEngine = TWebTransfer;

template <typename T>
T median(std::vector<T> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}
