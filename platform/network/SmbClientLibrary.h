#pragma once

// libsmbclient, opened the first time a share is used. Linked in, it would bring some
// hundred Samba libraries into every start of the program for a feature most runs never
// touch. Internal to the platform layer.

#include <libsmbclient.h>

namespace platform {

struct SmbClientLibrary {
    decltype(&smbc_new_context) newContext = nullptr;
    decltype(&smbc_free_context) freeContext = nullptr;
    decltype(&smbc_init_context) initContext = nullptr;
    decltype(&smbc_setOptionUserData) setOptionUserData = nullptr;
    decltype(&smbc_getOptionUserData) getOptionUserData = nullptr;
    decltype(&smbc_setFunctionAuthDataWithContext) setFunctionAuthDataWithContext = nullptr;
    decltype(&smbc_setOptionNoAutoAnonymousLogin) setOptionNoAutoAnonymousLogin = nullptr;
    decltype(&smbc_setTimeout) setTimeout = nullptr;
    decltype(&smbc_getFunctionOpendir) getFunctionOpendir = nullptr;
    decltype(&smbc_getFunctionClosedir) getFunctionClosedir = nullptr;
    decltype(&smbc_getFunctionOpen) getFunctionOpen = nullptr;
    decltype(&smbc_getFunctionClose) getFunctionClose = nullptr;
    decltype(&smbc_getFunctionRead) getFunctionRead = nullptr;
    decltype(&smbc_getFunctionFstat) getFunctionFstat = nullptr;
};

// The library's functions, loaded once for the process; null when the library or one of
// them cannot be loaded (then dlerror() text is in *why when given).
const SmbClientLibrary* smbClientLibrary(const char** why = nullptr);

} // namespace platform
