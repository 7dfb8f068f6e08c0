#pragma once
// Fetches a fresh rates file over HTTP on a worker thread and puts it in place
// of the old one. Progress and the outcome go to the starter's window as
// kMsgDownload (1324), posted (PostMessage) in this order from the worker:
//   wParam 5, 25, 50, 75, 95, lParam 0   progress of an automatic proxy choice
//                                        (made when no connection is open yet)
//   wParam 0, lParam 1                    the rates file was written
//   wParam 0, lParam 3                    no connection, nothing usable received
//   wParam 0, lParam 4                    the file could not be written
// The worker never waits for the window: a window that answers on the
// interface thread can detach, and the program end, while messages wait to be
// handled. Status, length, refusal and proxy mode are set before the outcome
// is posted.
// The old file is only ever replaced whole, by a rename, and only by an answer
// with a 2xx status whose body gives a rates file (RatesTextFromDownload,
// datafiles/RatesSource.h: a rates file as it came, or euro reference rates
// converted and merged with the old file); anything else (an error page, an
// empty, oversize, cut or damaged answer) leaves it untouched and reports 3.
// When the old file holds dated rates from the same URL, the requests ask
// for the rates only if they are newer than those (If-Modified-Since, see
// RatesAskedSince); a server's "not modified", or rates that change nothing,
// are a success (1) that leaves the file as it is.
#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/HttpSession.h"

class IMessageTarget;

class CCurrencyDownloader {
public:
    enum Status { kStatusIdle = 0, kStatusDone = 1, kStatusNoConnection = 3, kStatusWriteFailed = 4 };
    // Why the last download left the old file in place, for messages that
    // tell the user what to do about it.
    enum Failure {
        kFailNone = 0,
        kFailNoConnection, // no connection, or it broke off
        kFailTimeout,      // the server stopped answering
        kFailHttpStatus,   // an answer with a status other than 2xx (HttpStatus)
        kFailTooLarge,     // an answer longer than kMaxRatesBytes
        kFailNotRates,     // an answer that does not read as a rates file
        kFailWrite,        // the file could not be written
    };
    enum ProxyMode { kProxyNamed = 0, kProxyPreconfigured = 1, kProxyAutomatic = 2 };
    static constexpr size_t kMaxText = 255;        // URL and path capacity
    static constexpr size_t kMaxRatesBytes = 30000; // larger answers are refused (the INI reader's limit)
    static constexpr size_t kTestBytes = 10000;     // read by the test downloads of the proxy choice
    static constexpr long kDefaultTimeoutMs = 10000;
    static constexpr long kDefaultDeadlineMs = 60000;
    static const char kUserAgent[];  // names the program and its version
    static constexpr size_t kMaxXmlRatesBytes = 1 << 19; // XML rates (the UN's list every country)
    static constexpr size_t kMaxSources = 2;
    static const char kDefaultUrl[]; // the euro reference rates of the day
    static const char kUnUrl[];      // the UN's operational rates of the month
    static const char kUrlVariable[]; // environment variable naming other rates servers

    // What one source of a download came to; read after the completion message.
    struct SSourceOutcome {
        std::string url;
        int status = kStatusIdle;
        int failure = kFailNone;
        long httpStatus = 0;
        long received = 0;
        std::string refusal;
        bool unchanged = false;
    };

    // The URLs the program downloads from, separated by a space: $TALLIX_RATES_URL
    // when set, else kDefaultUrl and kUnUrl.
    static std::string DownloadUrl();

    // The process-wide downloader, created on first call; Release destroys it
    // (after stopping a running worker).
    static CCurrencyDownloader* Instance();
    static void Release();

    CCurrencyDownloader();
    // Stops a running transfer and waits for the worker (which never waits
    // for a window).
    ~CCurrencyDownloader();
    CCurrencyDownloader(const CCurrencyDownloader&) = delete;
    CCurrencyDownloader& operator=(const CCurrencyDownloader&) = delete;

    // Stores the URL, the window told of progress and outcome, and the file to
    // write (normally CCurrencyTable's RatesPath(); a folder or file that exists
    // in another case is written under its existing name); empties the receive buffer. 0 (nothing stored) when the URL or the
    // path is empty or longer than 255 characters, no window is given, or a
    // worker is running. `basePath` (the shipped rates) stands in for the
    // file while it does not exist: its rates are the ones a currency the
    // source does not list keeps, and it asks the source for all rates.
    // `url` may name up to kMaxSources URLs separated by blanks: they are
    // asked in turn, each answer merged into what the one before left, so
    // that a source that fails keeps the rates the others gave.
    int Prepare(const char* url, IMessageTarget* notify, const char* filePath, const char* basePath = nullptr);
    // Starts the worker at a lower priority. 0 when nothing is prepared, when a
    // worker is still running, or when the thread can't be created.
    // connectionCheck and conMgr have no effect on this platform; they are kept
    // and handed back. proxyMode: 0 the proxy named by http_proxy/HTTP_PROXY,
    // 1 the environment's settings or direct, 2 choose by test downloads.
    int Start(int connectionCheck, int conMgr, int proxyMode);
    // The kept connection-manager flag and the proxy mode (2 resolved to the
    // mode that worked, once one did).
    void GetConnectionSettings(int& conMgr, int& proxyMode) const;

    // Stops telling `target` (a window going away while a download runs). On
    // return no message to it is being posted and none will be; messages
    // posted before stay in its queue. Waits for nothing but a post under
    // way; may be called from the window's own message handler.
    void Detach(IMessageTarget* target);

    // Read these after the completion message. Of several sources: done
    // when one was, and the failure of the first that failed.
    int Status() const { return m_status; }
    const std::vector<SSourceOutcome>& Outcomes() const { return m_outcomes; }
    long ReceivedLength() const { return m_received; }
    int LastFailure() const { return m_failure; }
    // HTTP status of the last answer; 0 when none arrived.
    long HttpStatus() const { return m_httpStatus; }
    // Why the last answer was not taken as a rates file (see CheckRatesText);
    // empty when it was taken or no answer came.
    const std::string& RefusalReason() const { return m_refusal; }
    // Whether the last success was the server's "not modified": the file
    // was left as it was.
    bool RatesUnchanged() const { return m_unchanged; }
    bool IsRunning() const { return m_running; }
    // Waits until the worker has finished.
    void Wait();

    // Time-out of connecting and of every wait for data (default 10 s).
    void SetTimeout(long ms) { m_timeoutMs = ms > 0 ? ms : kDefaultTimeoutMs; }
    // Longest time one download (from Start to the outcome, a proxy choice
    // included) may take; then it fails with status 3 (default 60 s).
    void SetDeadline(long ms) { m_deadlineMs = ms > 0 ? ms : kDefaultDeadlineMs; }

    // Opens the session by proxy mode (kept as the current mode), running the
    // test downloads of the prepared URL for mode 2 and telling `progress`
    // (when given) how far it got. 1 when a session is open. Called by the
    // worker; call it directly only while no worker runs.
    int ChooseConnection(int proxyMode, IMessageTarget* progress);

private:
    void Work();
    int TestOpen(CHttpSession::AccessType access);
    std::string ReadRatesFile() const;
    int WriteRatesFile(const std::string& text);
    void Download(const std::string& url, const std::string& current, SSourceOutcome& out);
    void Summarise();
    int FetchFailure(long received, bool xml) const;
    void PostToWindow(long progress, long status);
    void Progress(IMessageTarget* given, long percent);

    CHttpSession m_session;
    std::string m_url; // the source being asked (the first outside a download)
    std::vector<std::string> m_urls;
    std::vector<SSourceOutcome> m_outcomes;
    std::string m_path;
    std::string m_basePath;
    IMessageTarget* m_notify = nullptr; // guarded by m_notifyLock while a worker runs
    // Recursive: a window that handles a post at once may detach from there.
    std::recursive_mutex m_notifyLock;
    std::string m_body;
    std::atomic<int> m_status{kStatusIdle};
    std::atomic<long> m_received{0};
    std::atomic<int> m_failure{kFailNone};
    std::atomic<bool> m_unchanged{false};
    std::atomic<long> m_httpStatus{0};
    std::atomic<int> m_proxyMode{kProxyAutomatic};
    std::atomic<int> m_conMgr{1};
    int m_connectionCheck = 1;
    long m_timeoutMs = kDefaultTimeoutMs;
    long m_deadlineMs = kDefaultDeadlineMs;
    std::string m_refusal;
    // Set by the worker while it chooses the connection: progress then goes to
    // the window attached at each message.
    bool m_progressFollowsNotify = false;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
    std::mutex m_fileLock;
};
