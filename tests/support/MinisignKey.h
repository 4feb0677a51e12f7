#pragma once

#include "tests/support/TempDir.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A minisign key pair made by the real minisign tool in a directory of its own, and
// signatures made with it the way a vendor signs a release. Without a password, so that
// nothing waits for input.
class MinisignKey {
public:
    MinisignKey();

    bool isValid() const { return !m_publicKey.isEmpty(); }
    // The base64 line of the public key file, as KAPLIX_RELEASE_KEY holds it ("RW...").
    const QByteArray& publicKey() const { return m_publicKey; }

    enum class Mode { Prehashed, Legacy };
    // The contents of the ".minisig" file minisign writes for data; empty when it failed.
    QByteArray sign(const QByteArray& data, Mode mode = Mode::Prehashed,
                    const QString& trustedComment = {}) const;
    // Signs the file at path, leaving path + ".minisig" beside it; false when it failed.
    bool signFile(const QString& path, const QString& trustedComment = {}) const;
    // The secret key file, as a vendor's signing commands name it.
    QString secretKeyPath() const;

private:
    TempDir m_dir;
    QByteArray m_publicKey;
};

// A test fixture on Base with a release key and a stranger's, made once for the whole suite:
// the tool takes a while to make a key.
template <class Base>
class WithMinisignKeys : public Base {
public:
    static void SetUpTestSuite()
    {
        s_release = std::make_unique<MinisignKey>();
        s_stranger = std::make_unique<MinisignKey>();
    }
    static void TearDownTestSuite()
    {
        s_release.reset();
        s_stranger.reset();
    }

protected:
    static inline std::unique_ptr<MinisignKey> s_release;
    static inline std::unique_ptr<MinisignKey> s_stranger;
};
