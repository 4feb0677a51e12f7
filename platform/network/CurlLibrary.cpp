// libcurl, opened the first time a request needs it rather than when the program starts:
// linked in, it and the libraries it brings (TLS, Kerberos, LDAP, SSH ...) cost every start
// several milliseconds before the first window, most of them for protocols never used.
//
// The functions of libcurl's interface that this layer calls are defined here and forward to
// the library once it is open. When it cannot be opened, they fail the way libcurl reports a
// failure to start, so a request says why instead of the program not starting at all.

#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include "platform/system/LibrarySymbols.h"

#include <dlfcn.h>

#include <cstdarg>

namespace {

using platform::resolveSymbol;

struct Functions {
    decltype(&::curl_global_init) globalInit = nullptr;
    decltype(&::curl_easy_init) easyInit = nullptr;
    decltype(&::curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&::curl_easy_reset) easyReset = nullptr;
    decltype(&::curl_easy_setopt) easySetopt = nullptr;
    decltype(&::curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&::curl_easy_pause) easyPause = nullptr;
    decltype(&::curl_easy_strerror) easyStrerror = nullptr;
    decltype(&::curl_multi_init) multiInit = nullptr;
    decltype(&::curl_multi_cleanup) multiCleanup = nullptr;
    decltype(&::curl_multi_add_handle) multiAddHandle = nullptr;
    decltype(&::curl_multi_remove_handle) multiRemoveHandle = nullptr;
    decltype(&::curl_multi_perform) multiPerform = nullptr;
    decltype(&::curl_multi_poll) multiPoll = nullptr;
    decltype(&::curl_multi_info_read) multiInfoRead = nullptr;
    decltype(&::curl_multi_strerror) multiStrerror = nullptr;
    decltype(&::curl_share_init) shareInit = nullptr;
    decltype(&::curl_share_cleanup) shareCleanup = nullptr;
    decltype(&::curl_share_setopt) shareSetopt = nullptr;
    decltype(&::curl_slist_append) slistAppend = nullptr;
    decltype(&::curl_slist_free_all) slistFreeAll = nullptr;
    decltype(&::curl_url) url = nullptr;
    decltype(&::curl_url_cleanup) urlCleanup = nullptr;
    decltype(&::curl_url_get) urlGet = nullptr;
    decltype(&::curl_url_set) urlSet = nullptr;
    decltype(&::curl_free) free = nullptr;
    decltype(&::curl_getdate) getdate = nullptr;
};

Functions load()
{
    // Kept open for the life of the process.
    void* library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    Functions f;
    if (!library)
        return f;
    const bool complete = resolveSymbol(library, "curl_global_init", f.globalInit)
        && resolveSymbol(library, "curl_easy_init", f.easyInit) && resolveSymbol(library, "curl_easy_cleanup", f.easyCleanup)
        && resolveSymbol(library, "curl_easy_reset", f.easyReset)
        && resolveSymbol(library, "curl_easy_setopt", f.easySetopt) && resolveSymbol(library, "curl_easy_getinfo", f.easyGetinfo)
        && resolveSymbol(library, "curl_easy_pause", f.easyPause) && resolveSymbol(library, "curl_easy_strerror", f.easyStrerror)
        && resolveSymbol(library, "curl_multi_init", f.multiInit) && resolveSymbol(library, "curl_multi_cleanup", f.multiCleanup)
        && resolveSymbol(library, "curl_multi_add_handle", f.multiAddHandle)
        && resolveSymbol(library, "curl_multi_remove_handle", f.multiRemoveHandle)
        && resolveSymbol(library, "curl_multi_perform", f.multiPerform) && resolveSymbol(library, "curl_multi_poll", f.multiPoll)
        && resolveSymbol(library, "curl_multi_info_read", f.multiInfoRead)
        && resolveSymbol(library, "curl_multi_strerror", f.multiStrerror) && resolveSymbol(library, "curl_share_init", f.shareInit)
        && resolveSymbol(library, "curl_share_cleanup", f.shareCleanup) && resolveSymbol(library, "curl_share_setopt", f.shareSetopt)
        && resolveSymbol(library, "curl_slist_append", f.slistAppend)
        && resolveSymbol(library, "curl_slist_free_all", f.slistFreeAll) && resolveSymbol(library, "curl_url", f.url)
        && resolveSymbol(library, "curl_url_cleanup", f.urlCleanup) && resolveSymbol(library, "curl_url_get", f.urlGet)
        && resolveSymbol(library, "curl_url_set", f.urlSet) && resolveSymbol(library, "curl_free", f.free)
        && resolveSymbol(library, "curl_getdate", f.getdate);
    return complete ? f : Functions{};
}

// Null members when libcurl could not be opened.
const Functions& curl()
{
    static const Functions functions = load();
    return functions;
}

constexpr const char* NotLoaded = "libcurl could not be loaded";

} // namespace

extern "C" {

CURLcode curl_global_init(long flags)
{
    return curl().globalInit ? curl().globalInit(flags) : CURLE_FAILED_INIT;
}

CURL* curl_easy_init(void)
{
    return curl().easyInit ? curl().easyInit() : nullptr;
}

void curl_easy_cleanup(CURL* handle)
{
    if (curl().easyCleanup)
        curl().easyCleanup(handle);
}

void curl_easy_reset(CURL* handle)
{
    if (curl().easyReset)
        curl().easyReset(handle);
}

CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...)
{
    if (!curl().easySetopt)
        return CURLE_FAILED_INIT;
    // The argument's type follows from the option's number range.
    va_list arguments;
    va_start(arguments, option);
    CURLcode result = CURLE_OK;
    if (option < CURLOPTTYPE_OBJECTPOINT) {
        const long value = va_arg(arguments, long);
        result = curl().easySetopt(handle, option, value);
    } else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB) {
        const curl_off_t value = va_arg(arguments, curl_off_t);
        result = curl().easySetopt(handle, option, value);
    } else {
        void* value = va_arg(arguments, void*);
        result = curl().easySetopt(handle, option, value);
    }
    va_end(arguments);
    return result;
}

CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...)
{
    if (!curl().easyGetinfo)
        return CURLE_FAILED_INIT;
    va_list arguments;
    va_start(arguments, info);
    void* where = va_arg(arguments, void*);
    va_end(arguments);
    return curl().easyGetinfo(handle, info, where);
}

CURLcode curl_easy_pause(CURL* handle, int bitmask)
{
    return curl().easyPause ? curl().easyPause(handle, bitmask) : CURLE_FAILED_INIT;
}

const char* curl_easy_strerror(CURLcode code)
{
    return curl().easyStrerror ? curl().easyStrerror(code) : NotLoaded;
}

CURLM* curl_multi_init(void)
{
    return curl().multiInit ? curl().multiInit() : nullptr;
}

CURLMcode curl_multi_cleanup(CURLM* handle)
{
    return curl().multiCleanup ? curl().multiCleanup(handle) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* easy)
{
    return curl().multiAddHandle ? curl().multiAddHandle(multi, easy) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* easy)
{
    return curl().multiRemoveHandle ? curl().multiRemoveHandle(multi, easy) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_perform(CURLM* multi, int* running)
{
    return curl().multiPerform ? curl().multiPerform(multi, running) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_poll(CURLM* multi, struct curl_waitfd extra[], unsigned int count, int timeoutMs, int* ready)
{
    return curl().multiPoll ? curl().multiPoll(multi, extra, count, timeoutMs, ready) : CURLM_BAD_HANDLE;
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* left)
{
    return curl().multiInfoRead ? curl().multiInfoRead(multi, left) : nullptr;
}

const char* curl_multi_strerror(CURLMcode code)
{
    return curl().multiStrerror ? curl().multiStrerror(code) : NotLoaded;
}

CURLSH* curl_share_init(void)
{
    return curl().shareInit ? curl().shareInit() : nullptr;
}

CURLSHcode curl_share_cleanup(CURLSH* share)
{
    return curl().shareCleanup ? curl().shareCleanup(share) : CURLSHE_INVALID;
}

CURLSHcode curl_share_setopt(CURLSH* share, CURLSHoption option, ...)
{
    if (!curl().shareSetopt)
        return CURLSHE_INVALID;
    va_list arguments;
    va_start(arguments, option);
    CURLSHcode result = CURLSHE_OK;
    if (option == CURLSHOPT_SHARE || option == CURLSHOPT_UNSHARE) {
        const int what = va_arg(arguments, int);
        result = curl().shareSetopt(share, option, what);
    } else {
        void* value = va_arg(arguments, void*);
        result = curl().shareSetopt(share, option, value);
    }
    va_end(arguments);
    return result;
}

struct curl_slist* curl_slist_append(struct curl_slist* list, const char* line)
{
    return curl().slistAppend ? curl().slistAppend(list, line) : nullptr;
}

void curl_slist_free_all(struct curl_slist* list)
{
    if (curl().slistFreeAll)
        curl().slistFreeAll(list);
}

CURLU* curl_url(void)
{
    return curl().url ? curl().url() : nullptr;
}

void curl_url_cleanup(CURLU* handle)
{
    if (curl().urlCleanup)
        curl().urlCleanup(handle);
}

CURLUcode curl_url_get(CURLU* handle, CURLUPart what, char** part, unsigned int flags)
{
    return curl().urlGet ? curl().urlGet(handle, what, part, flags) : CURLUE_OUT_OF_MEMORY;
}

CURLUcode curl_url_set(CURLU* handle, CURLUPart what, const char* part, unsigned int flags)
{
    return curl().urlSet ? curl().urlSet(handle, what, part, flags) : CURLUE_OUT_OF_MEMORY;
}

void curl_free(void* pointer)
{
    if (curl().free)
        curl().free(pointer);
}

time_t curl_getdate(const char* text, const time_t* unused)
{
    return curl().getdate ? curl().getdate(text, unused) : -1;
}

} // extern "C"
