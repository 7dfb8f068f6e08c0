#include "platform/CurlLibrary.h"

#include "platform/LibrarySymbol.h"

#include <atomic>
#include <mutex>

namespace {
CurlApi g_api;
std::atomic<bool> g_loaded{false};

bool Load()
{
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    CURLcode (*globalInit)(long) = nullptr;
    const bool found = FindLibrarySymbol(library, "curl_global_init", globalInit) &&
                       FindLibrarySymbol(library, "curl_easy_init", g_api.easy_init) &&
                       FindLibrarySymbol(library, "curl_easy_setopt", g_api.easy_setopt) &&
                       FindLibrarySymbol(library, "curl_easy_perform", g_api.easy_perform) &&
                       FindLibrarySymbol(library, "curl_easy_getinfo", g_api.easy_getinfo) &&
                       FindLibrarySymbol(library, "curl_easy_cleanup", g_api.easy_cleanup) &&
                       FindLibrarySymbol(library, "curl_slist_append", g_api.slist_append) &&
                       FindLibrarySymbol(library, "curl_slist_free_all", g_api.slist_free_all);
    if (!found || globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        dlclose(library);
        return false;
    }
    // Stays loaded for the rest of the process.
    return true;
}
}  // namespace

const CurlApi* Curl()
{
    static std::once_flag once;
    std::call_once(once, [] { g_loaded = Load(); });
    return g_loaded ? &g_api : nullptr;
}

bool CurlLoaded() { return g_loaded; }
