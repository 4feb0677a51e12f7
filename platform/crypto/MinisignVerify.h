#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Checks of a minisign signature (https://jedisct1.github.io/minisign/): Ed25519 over the data
// itself ("Ed") or over its BLAKE2b-512 ("ED", what minisign 0.11 makes by default), and a
// second Ed25519 signature over the first one followed by the trusted comment, so that the
// comment cannot be changed either.

enum class MinisignCheck {
    valid,
    badPublicKey,        // the key is not the base64 line of a minisign public key
    malformedSignature,  // the signature file is not one minisign writes
    otherKey,            // signed with another key than the one given
    badSignature,        // the data is not what was signed
    badTrustedComment,   // the trusted comment is not what was signed
};

struct MinisignResult {
    MinisignCheck check = MinisignCheck::malformedSignature;
    QString trustedComment;  // as signed; only when valid
    QString message;         // in plain words when not valid

    bool ok() const { return check == MinisignCheck::valid; }
};

// Whether publicKey is the base64 line of a minisign public key ("RW..."), blanks around it
// allowed.
bool isMinisignPublicKey(const QByteArray& publicKey);

// Verifies signatureFile (the contents of a ".minisig" file) for data with publicKey (the
// base64 line of a ".pub" file).
MinisignResult verifyMinisign(const QByteArray& publicKey, const QByteArray& data, const QByteArray& signatureFile);

} // namespace platform
