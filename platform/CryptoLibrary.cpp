#include "platform/CryptoLibrary.h"

#include <openssl/opensslv.h>

#include <dlfcn.h>

namespace platform {

namespace {

#define KX_STRINGIFY(x) #x
#define KX_SONAME(version) "libcrypto.so." KX_STRINGIFY(version)

template <typename Function>
bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

CryptoLibrary load()
{
    // The version the headers describe; kept open for the life of the process.
    void* library = ::dlopen(KX_SONAME(OPENSSL_SHLIB_VERSION), RTLD_NOW | RTLD_LOCAL);
    CryptoLibrary c;
    if (!library)
        return c;
    const bool complete = resolve(library, "EVP_MD_CTX_new", c.mdCtxNew)
        && resolve(library, "EVP_MD_CTX_free", c.mdCtxFree) && resolve(library, "EVP_MD_CTX_copy_ex", c.mdCtxCopy)
        && resolve(library, "EVP_sha256", c.sha256) && resolve(library, "EVP_blake2b512", c.blake2b512)
        && resolve(library, "EVP_DigestInit_ex", c.digestInit) && resolve(library, "EVP_DigestUpdate", c.digestUpdate)
        && resolve(library, "EVP_DigestFinal_ex", c.digestFinal) && resolve(library, "EVP_Digest", c.digest)
        && resolve(library, "EVP_PKEY_new_raw_public_key", c.newRawPublicKey)
        && resolve(library, "EVP_PKEY_free", c.pkeyFree)
        && resolve(library, "EVP_DigestVerifyInit", c.digestVerifyInit)
        && resolve(library, "EVP_DigestVerify", c.digestVerify);
    return complete ? c : CryptoLibrary{};
}

} // namespace

const CryptoLibrary& cryptoLibrary()
{
    static const CryptoLibrary library = load();
    return library;
}

} // namespace platform
