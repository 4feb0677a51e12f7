#pragma once

// Move-only owners of libcurl handles: the destructor is the only place a handle is freed.
// Internal to the platform layer.

#include <curl/curl.h>

#include <utility>

namespace platform {

template <typename Handle, void (*Cleanup)(Handle*)>
class CurlHolder {
public:
    CurlHolder() = default;
    explicit CurlHolder(Handle* handle) : m_handle(handle) {}
    CurlHolder(const CurlHolder&) = delete;
    CurlHolder& operator=(const CurlHolder&) = delete;
    CurlHolder(CurlHolder&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CurlHolder& operator=(CurlHolder&& other) noexcept
    {
        if (this != &other) {
            reset();
            m_handle = std::exchange(other.m_handle, nullptr);
        }
        return *this;
    }
    ~CurlHolder() { reset(); }

    Handle* get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void reset()
    {
        if (m_handle)
            Cleanup(std::exchange(m_handle, nullptr));
    }

private:
    Handle* m_handle = nullptr;
};

namespace curlcleanup {
inline void easy(CURL* handle) { curl_easy_cleanup(handle); }
inline void multi(CURLM* handle) { curl_multi_cleanup(handle); }
inline void share(CURLSH* handle) { curl_share_cleanup(handle); }
inline void slist(curl_slist* list) { curl_slist_free_all(list); }
inline void url(CURLU* handle) { curl_url_cleanup(handle); }
} // namespace curlcleanup

using CurlEasy = CurlHolder<CURL, curlcleanup::easy>;
using CurlMulti = CurlHolder<CURLM, curlcleanup::multi>;
using CurlShare = CurlHolder<CURLSH, curlcleanup::share>;
using CurlHeaderList = CurlHolder<curl_slist, curlcleanup::slist>;
using CurlUrl = CurlHolder<CURLU, curlcleanup::url>;

// Appends one line to a header list, keeping ownership in the holder.
inline bool appendHeader(CurlHeaderList& list, const char* line)
{
    curl_slist* grown = curl_slist_append(list.get(), line);
    if (!grown)
        return false;
    if (!list)
        list = CurlHeaderList(grown);
    return true;
}

} // namespace platform
