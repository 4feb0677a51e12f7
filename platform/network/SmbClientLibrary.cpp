#include "platform/network/SmbClientLibrary.h"

#include "platform/system/LibrarySymbols.h"

#include <dlfcn.h>

#include <mutex>

namespace platform {

namespace {

struct Loaded {
    SmbClientLibrary functions;
    bool ok = false;
    const char* why = nullptr;
};

Loaded load()
{
    Loaded loaded;
    // Kept for the life of the process: contexts may be freed as late as its exit.
    void* library = ::dlopen("libsmbclient.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        loaded.why = ::dlerror();
        return loaded;
    }
    SmbClientLibrary& f = loaded.functions;
    loaded.ok = resolveSymbol(library, "smbc_new_context", f.newContext) && resolveSymbol(library, "smbc_free_context", f.freeContext)
        && resolveSymbol(library, "smbc_init_context", f.initContext)
        && resolveSymbol(library, "smbc_setOptionUserData", f.setOptionUserData)
        && resolveSymbol(library, "smbc_getOptionUserData", f.getOptionUserData)
        && resolveSymbol(library, "smbc_setFunctionAuthDataWithContext", f.setFunctionAuthDataWithContext)
        && resolveSymbol(library, "smbc_setOptionNoAutoAnonymousLogin", f.setOptionNoAutoAnonymousLogin)
        && resolveSymbol(library, "smbc_setTimeout", f.setTimeout)
        && resolveSymbol(library, "smbc_getFunctionOpendir", f.getFunctionOpendir)
        && resolveSymbol(library, "smbc_getFunctionClosedir", f.getFunctionClosedir)
        && resolveSymbol(library, "smbc_getFunctionOpen", f.getFunctionOpen)
        && resolveSymbol(library, "smbc_getFunctionClose", f.getFunctionClose)
        && resolveSymbol(library, "smbc_getFunctionRead", f.getFunctionRead)
        && resolveSymbol(library, "smbc_getFunctionFstat", f.getFunctionFstat);
    if (!loaded.ok)
        loaded.why = ::dlerror();
    return loaded;
}

} // namespace

const SmbClientLibrary* smbClientLibrary(const char** why)
{
    static const Loaded loaded = load();
    if (why)
        *why = loaded.why;
    return loaded.ok ? &loaded.functions : nullptr;
}

} // namespace platform
