#include "platform/crypto/CryptoLibrary.h"

#include <openssl/opensslv.h>

#include "platform/system/LibrarySymbols.h"

#include <dlfcn.h>

namespace platform {

namespace {

#define KX_STRINGIFY(x) #x
#define KX_SONAME(version) "libcrypto.so." KX_STRINGIFY(version)
// The version the headers describe.
constexpr const char* LibraryName = KX_SONAME(OPENSSL_SHLIB_VERSION);
#undef KX_SONAME
#undef KX_STRINGIFY

CryptoLibrary load()
{
    // Kept open for the life of the process.
    void* library = ::dlopen(LibraryName, RTLD_NOW | RTLD_LOCAL);
    CryptoLibrary c;
    if (!library)
        return c;
    const bool complete = resolveSymbol(library, "EVP_MD_CTX_new", c.mdCtxNew)
        && resolveSymbol(library, "EVP_MD_CTX_free", c.mdCtxFree) && resolveSymbol(library, "EVP_MD_CTX_copy_ex", c.mdCtxCopy)
        && resolveSymbol(library, "EVP_sha256", c.sha256) && resolveSymbol(library, "EVP_blake2b512", c.blake2b512)
        && resolveSymbol(library, "EVP_DigestInit_ex", c.digestInit) && resolveSymbol(library, "EVP_DigestUpdate", c.digestUpdate)
        && resolveSymbol(library, "EVP_DigestFinal_ex", c.digestFinal) && resolveSymbol(library, "EVP_Digest", c.digest)
        && resolveSymbol(library, "EVP_PKEY_new_raw_public_key", c.newRawPublicKey)
        && resolveSymbol(library, "EVP_PKEY_free", c.pkeyFree)
        && resolveSymbol(library, "EVP_DigestVerifyInit", c.digestVerifyInit)
        && resolveSymbol(library, "EVP_DigestVerify", c.digestVerify);
    return complete ? c : CryptoLibrary{};
}

} // namespace

const CryptoLibrary& cryptoLibrary()
{
    static const CryptoLibrary library = load();
    return library;
}

} // namespace platform
