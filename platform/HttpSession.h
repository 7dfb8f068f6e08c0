#pragma once
// A small HTTP client session for the rates download (libcurl underneath).
// A session is "open" after Open and is reused for every request until Close;
// it keeps the access type, user agent and time-outs it was opened with.
// One thread uses a session at a time. Only http and https URLs are fetched;
// redirects are followed (at most 5, http and https only); an https server
// must show a certificate the system trusts for its name.
// A program may run every request in a helper process instead (UseFetchHelper),
// with the same results, so that it never loads libcurl itself.
#include <atomic>
#include <chrono>
#include <ctime>
#include <string>

class CHttpSession {
public:
    enum AccessType {
        kAccessProxy = 0,        // through the proxy named for the URL's scheme (http_proxy / HTTP_PROXY,
                                 // https_proxy / HTTPS_PROXY); Open fails when none is named
        kAccessPreconfigured = 1 // the environment's proxy settings when present (http_proxy or HTTP_PROXY
                                 // for http), a direct connection otherwise
    };
    enum : long { kDefaultTimeoutMs = 10000 };

    CHttpSession();
    ~CHttpSession();
    CHttpSession(const CHttpSession&) = delete;
    CHttpSession& operator=(const CHttpSession&) = delete;

    // timeoutMs bounds connecting and every wait for data to move (sending the
    // request, the first byte of the answer, each later piece). Returns 0 when
    // the session can't be created (or, for kAccessProxy, no proxy is named).
    int Open(AccessType access, const char* userAgent, long timeoutMs = kDefaultTimeoutMs);
    void Close();
    bool IsOpen() const;

    // Sends the request and waits for the answer's headers, then drops the
    // connection. 1 when the server answered at all.
    int Probe(const char* url);

    // Fetches the body into `out`. `reload` asks caches on the way for a fresh
    // copy. Returns the number of bytes received (0 for an empty body), or -1
    // when the transfer failed, the status was not 2xx (unless anyStatus: then
    // any answer's body counts), or the body was longer than maxBytes (with
    // truncateToCap, the first maxBytes bytes are kept and count as success
    // instead).
    long Fetch(const char* url, std::string& out, size_t maxBytes, bool reload, bool truncateToCap = false,
               bool anyStatus = false);

    // Bounds every later Probe and Fetch, whatever the time-outs allow: a
    // server that sends a byte now and then must not hold a request for ever.
    // A request that would start after `deadline` fails at once. Persists over
    // Open and Close; ClearDeadline lifts it.
    void SetDeadline(std::chrono::steady_clock::time_point deadline) { m_deadline = deadline; }
    void ClearDeadline() { m_deadline = std::chrono::steady_clock::time_point::max(); }

    // Makes every later Probe and Fetch conditional: the server may answer
    // "not modified" (304) when its copy has not changed since `since`.
    // 0 makes them unconditional again. Persists over Open and Close.
    void SetIfModifiedSince(std::time_t since) { m_ifModifiedSince = since; }

    // Makes a running Probe or Fetch (on another thread) give up soon.
    void Abort() { m_abort = true; }
    // HTTP status of the last request; 0 when none arrived.
    long LastStatus() const { return m_lastStatus; }
    // Whether the last request gave up waiting (time-out), and whether its
    // answer was longer than the caller's maxBytes.
    bool LastTimedOut() const { return m_lastTimedOut; }
    bool LastTooLarge() const { return m_lastTooLarge; }
    // Whether the last request was conditional and the server's copy had not
    // changed since (a 304 answer, or a Last-Modified no later than asked).
    // Fetch then returns -1 with nothing received.
    bool LastNotModified() const { return m_lastNotModified; }

    // The proxy named for the scheme of `url`: http_proxy or HTTP_PROXY for
    // http, https_proxy or HTTPS_PROXY for https; empty when none.
    static std::string EnvironmentProxy(const char* url);

    // Sessions opened from now on run each Probe and Fetch in the helper
    // program at `path` (tallix-fetch), which reads the proxy settings from
    // the environment it inherits; empty: in this process. Abort ends the
    // helper, and so does the deadline (a moment after it has passed). A
    // helper that is missing, fails or says more than asked for is a failed
    // request with no status.
    static void UseFetchHelper(const std::string& path);

private:
    // Resets the Last* values; false when the request can't start. leftMs:
    // the time left before the deadline, 0 for none.
    bool BeginRequest(const char* url, long& leftMs);
    // `transfer` is the implementation's record of one request.
    int Perform(const char* url, void* transfer, bool reload);
    // Probe (out null) or Fetch through the helper.
    long PerformInHelper(const char* url, std::string* out, size_t maxBytes, bool reload, bool truncateToCap,
                         bool anyStatus);

    void* m_curl = nullptr;
    std::string m_helper; // non-empty while open with a helper
    std::string m_userAgent;
    AccessType m_access = kAccessPreconfigured;
    long m_timeoutMs = kDefaultTimeoutMs;
    long m_lastStatus = 0;
    bool m_lastTimedOut = false;
    bool m_lastTooLarge = false;
    bool m_lastNotModified = false;
    std::time_t m_ifModifiedSince = 0;
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    std::atomic<bool> m_abort{false};
};
