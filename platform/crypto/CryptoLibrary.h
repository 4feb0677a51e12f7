#pragma once

#include <openssl/evp.h>

namespace platform {

// The functions of OpenSSL's libcrypto this layer uses: digests and Ed25519 signatures. The
// library is opened the first time one is needed rather than when the program starts; linked
// in, it costs every start most of a millisecond before the first window, and most starts
// never hash or verify anything.
struct CryptoLibrary {
    decltype(&::EVP_MD_CTX_new) mdCtxNew = nullptr;
    decltype(&::EVP_MD_CTX_free) mdCtxFree = nullptr;
    decltype(&::EVP_MD_CTX_copy_ex) mdCtxCopy = nullptr;
    decltype(&::EVP_sha256) sha256 = nullptr;
    decltype(&::EVP_blake2b512) blake2b512 = nullptr;
    decltype(&::EVP_DigestInit_ex) digestInit = nullptr;
    decltype(&::EVP_DigestUpdate) digestUpdate = nullptr;
    decltype(&::EVP_DigestFinal_ex) digestFinal = nullptr;
    decltype(&::EVP_Digest) digest = nullptr;
    decltype(&::EVP_PKEY_new_raw_public_key) newRawPublicKey = nullptr;
    decltype(&::EVP_PKEY_free) pkeyFree = nullptr;
    decltype(&::EVP_DigestVerifyInit) digestVerifyInit = nullptr;
    decltype(&::EVP_DigestVerify) digestVerify = nullptr;

    // False when the library could not be opened; every member is then null.
    bool isLoaded() const { return mdCtxNew != nullptr; }
};

// Opens the library on the first call, from any thread.
const CryptoLibrary& cryptoLibrary();

} // namespace platform
