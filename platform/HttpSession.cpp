#include "platform/HttpSession.h"

#include <chrono>
#include <cstdlib>
#include <mutex>

#include "platform/CurlLibrary.h"
#include "platform/FetchHelper.h"

// Every call goes through the library loaded at the first Open.
#define curl_easy_init Curl()->easy_init
#undef curl_easy_setopt
#define curl_easy_setopt Curl()->easy_setopt
#define curl_easy_perform Curl()->easy_perform
#undef curl_easy_getinfo
#define curl_easy_getinfo Curl()->easy_getinfo
#define curl_easy_cleanup Curl()->easy_cleanup
#define curl_slist_append Curl()->slist_append
#define curl_slist_free_all Curl()->slist_free_all

namespace {

using Clock = std::chrono::steady_clock;

struct Transfer {
    const std::atomic<bool>* abort = nullptr;
    long timeoutMs = 0;
    std::string* body = nullptr; // null: a probe, which stops at the first byte
    size_t maxBytes = 0;
    bool truncateToCap = false;
    bool oversize = false;
    bool capped = false;
    bool timedOut = false;
    curl_off_t lastMoved = -1;
    Clock::time_point lastChange = Clock::now();
};

size_t OnData(char* data, size_t size, size_t count, void* userData)
{
    Transfer& transfer = *static_cast<Transfer*>(userData);
    size_t bytes = size * count;
    if (!transfer.body) return 0; // a probe has seen enough
    size_t room = transfer.maxBytes - transfer.body->size();
    if (bytes > room) {
        // Never hold more than the cap; the rest of the answer is not read.
        transfer.body->append(data, room);
        (transfer.truncateToCap ? transfer.capped : transfer.oversize) = true;
        return 0;
    }
    transfer.body->append(data, bytes);
    return bytes;
}

// The time-outs are on inactivity, as for a socket: each wait for the
// request to go out or for data to come in may last timeoutMs.
int OnProgress(void* userData, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent)
{
    Transfer& transfer = *static_cast<Transfer*>(userData);
    if (*transfer.abort) return 1;
    Clock::time_point now = Clock::now();
    if (received + sent != transfer.lastMoved) {
        transfer.lastMoved = received + sent;
        transfer.lastChange = now;
        return 0;
    }
    auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - transfer.lastChange);
    transfer.timedOut = idle.count() > transfer.timeoutMs;
    return transfer.timedOut ? 1 : 0;
}

bool IsHttpUrl(const char* url)
{
    const char scheme[] = "http:";
    for (size_t i = 0; i + 1 < sizeof scheme; ++i)
        if (!url[i] || (url[i] | 0x20) != scheme[i]) return false;
    return true;
}

// The proxy a preconfigured session takes for `url`; null lets libcurl read the
// environment itself. libcurl reads only http_proxy for http (the upper-case
// name can be set by a CGI request's Proxy header), but for a desktop program
// HTTP_PROXY is the user's own setting, as for every other scheme.
const char* PreconfiguredProxy(const char* url)
{
    if (!IsHttpUrl(url)) return nullptr;
    const char* lower = std::getenv("http_proxy");
    const char* upper = std::getenv("HTTP_PROXY");
    return (!lower || !*lower) && upper && *upper ? upper : nullptr;
}

// How long after the deadline a helper still running is ended: it keeps the
// deadline itself and then reports a time-out, which says more.
constexpr auto kHelperGrace = std::chrono::milliseconds(500);

std::mutex g_helperLock;
std::string& HelperPath()
{
    static std::string path;
    return path;
}

} // namespace

CHttpSession::CHttpSession() = default;

CHttpSession::~CHttpSession() { Close(); }

std::string CHttpSession::EnvironmentProxy(const char* url)
{
    // As curl itself: https_proxy for https, http_proxy for http.
    const bool http = url && IsHttpUrl(url);
    for (const char* name : {http ? "http_proxy" : "https_proxy", http ? "HTTP_PROXY" : "HTTPS_PROXY"})
        if (const char* value = std::getenv(name); value && *value) return value;
    return std::string();
}

void CHttpSession::UseFetchHelper(const std::string& path)
{
    std::lock_guard<std::mutex> lock(g_helperLock);
    HelperPath() = path;
}

int CHttpSession::Open(AccessType access, const char* userAgent, long timeoutMs)
{
    Close();
    m_lastTimedOut = m_lastTooLarge = false;
    if (access == kAccessProxy) {
        if (EnvironmentProxy("http:").empty() && EnvironmentProxy("https:").empty()) return 0;
    } else if (access != kAccessPreconfigured) {
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(g_helperLock);
        m_helper = HelperPath();
    }
    if (!m_helper.empty()) {
        m_access = access;
        m_timeoutMs = timeoutMs > 0 ? timeoutMs : kDefaultTimeoutMs;
        m_userAgent = userAgent ? userAgent : "";
        return 1;
    }
    if (!Curl()) return 0;
    CURL* curl = curl_easy_init();
    if (!curl) return 0;
    m_access = access;
    m_timeoutMs = timeoutMs > 0 ? timeoutMs : kDefaultTimeoutMs;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, userAgent ? userAgent : "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, m_timeoutMs);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    // Rates from a server that can't prove its name could be anyone's.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnData);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    m_curl = curl;
    return 1;
}

void CHttpSession::Close()
{
    if (m_curl) curl_easy_cleanup(static_cast<CURL*>(m_curl));
    m_curl = nullptr;
    m_helper.clear();
}

bool CHttpSession::IsOpen() const { return m_curl != nullptr || !m_helper.empty(); }

bool CHttpSession::BeginRequest(const char* url, long& leftMs)
{
    m_lastStatus = 0;
    m_lastTimedOut = m_lastTooLarge = m_lastNotModified = false;
    leftMs = 0;
    if (!IsOpen() || !url || !*url) return false;
    if (m_deadline != Clock::time_point::max()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
        if (left <= 0) return false;
        leftMs = static_cast<long>(left);
    }
    return true;
}

int CHttpSession::Perform(const char* url, void* record, bool reload)
{
    long leftMs = 0; // no limit
    if (!BeginRequest(url, leftMs)) return CURLE_FAILED_INIT;
    CURL* curl = static_cast<CURL*>(m_curl);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, leftMs);
    // The proxy named for the URL's scheme; a URL of a scheme none is named
    // for is not fetched directly in this mode.
    const std::string named = m_access == kAccessProxy ? EnvironmentProxy(url) : std::string();
    if (m_access == kAccessProxy && named.empty()) return CURLE_FAILED_INIT;
    curl_easy_setopt(curl, CURLOPT_PROXY, m_access == kAccessProxy ? named.c_str() : PreconfiguredProxy(url));
    Transfer& transfer = *static_cast<Transfer*>(record);
    transfer.abort = &m_abort;
    transfer.timeoutMs = m_timeoutMs;
    curl_slist* headers = nullptr;
    if (reload) {
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_TIMECONDITION,
                     m_ifModifiedSince > 0 ? static_cast<long>(CURL_TIMECOND_IFMODSINCE) : static_cast<long>(CURL_TIMECOND_NONE));
    curl_easy_setopt(curl, CURLOPT_TIMEVALUE_LARGE, static_cast<curl_off_t>(m_ifModifiedSince > 0 ? m_ifModifiedSince : 0));
    curl_easy_setopt(curl, CURLOPT_URL, url);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    CURLcode result = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &m_lastStatus);
    m_lastTimedOut = transfer.timedOut || result == CURLE_OPERATION_TIMEDOUT;
    m_lastTooLarge = transfer.oversize;
    long unmet = 0;
    curl_easy_getinfo(curl, CURLINFO_CONDITION_UNMET, &unmet);
    m_lastNotModified = m_ifModifiedSince > 0 && (unmet != 0 || m_lastStatus == 304);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    return result;
}

long CHttpSession::PerformInHelper(const char* url, std::string* out, size_t maxBytes, bool reload,
                                   bool truncateToCap, bool anyStatus)
{
    const long failed = out ? -1 : 0;
    FetchRequest request;
    if (!BeginRequest(url, request.deadlineLeftMs) || m_abort) return failed;
    request.probe = out == nullptr;
    request.url = url;
    request.access = m_access;
    request.userAgent = m_userAgent;
    request.timeoutMs = m_timeoutMs;
    request.ifModifiedSince = m_ifModifiedSince > 0 ? static_cast<long long>(m_ifModifiedSince) : 0;
    request.reload = reload;
    request.maxBytes = out ? maxBytes : 0;
    request.truncateToCap = truncateToCap;
    request.anyStatus = anyStatus;
    const Clock::time_point killAt = request.deadlineLeftMs ? m_deadline + kHelperGrace : Clock::time_point::max();
    FetchResult result;
    bool pastDeadline = false;
    if (!RunFetchHelper(m_helper, request, m_abort, killAt, result, pastDeadline)) {
        m_lastTimedOut = pastDeadline;
        return failed;
    }
    m_lastStatus = result.status;
    m_lastTimedOut = result.timedOut;
    m_lastTooLarge = result.tooLarge;
    m_lastNotModified = result.notModified;
    if (out) *out = std::move(result.body);
    return result.value;
}

int CHttpSession::Probe(const char* url)
{
    if (!m_helper.empty()) return static_cast<int>(PerformInHelper(url, nullptr, 0, true, false, false));
    Transfer transfer;
    int result = Perform(url, &transfer, true);
    bool answered = m_lastStatus > 0 && (result == CURLE_OK || result == CURLE_WRITE_ERROR);
    return answered ? 1 : 0;
}

long CHttpSession::Fetch(const char* url, std::string& out, size_t maxBytes, bool reload, bool truncateToCap,
                         bool anyStatus)
{
    out.clear();
    if (!m_helper.empty()) return PerformInHelper(url, &out, maxBytes, reload, truncateToCap, anyStatus);
    Transfer transfer;
    transfer.body = &out;
    transfer.maxBytes = maxBytes;
    transfer.truncateToCap = truncateToCap;
    int result = Perform(url, &transfer, reload);
    bool complete = result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.capped);
    bool statusOk = anyStatus ? m_lastStatus > 0 : m_lastStatus >= 200 && m_lastStatus <= 299;
    bool success = complete && !transfer.oversize && statusOk;
    if (!success) {
        out.clear();
        return -1;
    }
    return static_cast<long>(out.size());
}
