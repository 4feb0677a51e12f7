#include "platform/SmbClientLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace platform {

namespace {

template <typename Function>
bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

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
    loaded.ok = resolve(library, "smbc_new_context", f.newContext) && resolve(library, "smbc_free_context", f.freeContext)
        && resolve(library, "smbc_init_context", f.initContext)
        && resolve(library, "smbc_setOptionUserData", f.setOptionUserData)
        && resolve(library, "smbc_getOptionUserData", f.getOptionUserData)
        && resolve(library, "smbc_setFunctionAuthDataWithContext", f.setFunctionAuthDataWithContext)
        && resolve(library, "smbc_setOptionNoAutoAnonymousLogin", f.setOptionNoAutoAnonymousLogin)
        && resolve(library, "smbc_setTimeout", f.setTimeout)
        && resolve(library, "smbc_getFunctionOpendir", f.getFunctionOpendir)
        && resolve(library, "smbc_getFunctionClosedir", f.getFunctionClosedir)
        && resolve(library, "smbc_getFunctionOpen", f.getFunctionOpen)
        && resolve(library, "smbc_getFunctionClose", f.getFunctionClose)
        && resolve(library, "smbc_getFunctionRead", f.getFunctionRead)
        && resolve(library, "smbc_getFunctionFstat", f.getFunctionFstat);
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
