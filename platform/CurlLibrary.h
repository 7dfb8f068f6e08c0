#pragma once
// libcurl, loaded at the first download rather than at start-up: the window
// then starts without it and the two dozen libraries it brings, and a
// machine without libcurl simply cannot download (Open fails).
#define CURL_DISABLE_TYPECHECK 1
#include <curl/curl.h>

struct CurlApi {
    CURL* (*easy_init)();
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    CURLcode (*easy_perform)(CURL*);
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
    void (*easy_cleanup)(CURL*);
    curl_slist* (*slist_append)(curl_slist*, const char*);
    void (*slist_free_all)(curl_slist*);
};

// The library, loaded and initialised once (thread-safe); null when it
// cannot be loaded.
const CurlApi* Curl();
// Whether it is loaded now (for tests of the lazy loading).
bool CurlLoaded();
