#include "datafiles/CurrencyDownloader.h"

#include "datafiles/RatesSource.h"
#include "datafiles/UserData.h"
#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "platform/UserFolders.h"
#include "platform/WindowMessage.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

const char CCurrencyDownloader::kUserAgent[] =
    "Tallix/" TALLIX_VERSION " (desktop calculator; exchange rates for its currency converter)";
const char CCurrencyDownloader::kDefaultUrl[] = "https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml";
const char CCurrencyDownloader::kUnUrl[] = "https://treasury.un.org/operationalrates/xsql2XML.php";
const char CCurrencyDownloader::kUrlVariable[] = "TALLIX_RATES_URL";

namespace {

CCurrencyDownloader* g_instance = nullptr;

// The network wait must not compete with the interface for the processor.
void LowerThreadPriority()
{
    pid_t tid = static_cast<pid_t>(syscall(SYS_gettid));
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    if (errno == 0) setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice + 4 > 19 ? 19 : nice + 4);
}

// XML rates start with "<" after blanks and a byte-order mark; a rates file never does.
bool LooksLikeXml(const std::string& body)
{
    const size_t first = body.find_first_not_of(" \t\r\n", body.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0);
    return first != std::string::npos && body[first] == '<';
}

} // namespace

std::string CCurrencyDownloader::DownloadUrl()
{
    const char* url = std::getenv(kUrlVariable);
    return url && *url ? url : std::string(kDefaultUrl) + " " + kUnUrl;
}

CCurrencyDownloader* CCurrencyDownloader::Instance()
{
    if (!g_instance) g_instance = new CCurrencyDownloader();
    return g_instance;
}

void CCurrencyDownloader::Release()
{
    delete g_instance;
    g_instance = nullptr;
}

CCurrencyDownloader::CCurrencyDownloader() = default;

CCurrencyDownloader::~CCurrencyDownloader()
{
    m_session.Abort();
    Wait();
}

int CCurrencyDownloader::Prepare(const char* url, IMessageTarget* notify, const char* filePath, const char* basePath)
{
    if (m_running || !url || !filePath || !*filePath || !notify || std::strlen(filePath) > kMaxText) return 0;
    std::vector<std::string> urls;
    for (const char* at = url + std::strspn(url, " \t"); *at; at += std::strspn(at, " \t")) {
        const size_t length = std::strcspn(at, " \t");
        urls.emplace_back(at, length);
        at += length;
    }
    if (urls.empty() || urls.size() > kMaxSources) return 0;
    for (const std::string& each : urls)
        if (each.size() > kMaxText) return 0;
    m_urls = std::move(urls);
    m_url = m_urls.front();
    m_path = filePath;
    m_basePath = basePath ? basePath : "";
    std::lock_guard<std::recursive_mutex> lock(m_notifyLock);
    m_notify = notify;
    m_body.clear();
    return 1;
}

int CCurrencyDownloader::Start(int connectionCheck, int conMgr, int proxyMode)
{
    if (m_url.empty() || m_running) return 0;
    // A window that handles the outcome on the worker's own thread (a test
    // double, the terminal) cannot start the next worker from there.
    if (m_thread.get_id() == std::this_thread::get_id()) return 0;
    if (m_thread.joinable()) m_thread.join(); // the last worker has finished or is finishing
    m_connectionCheck = connectionCheck;
    m_conMgr = conMgr;
    m_proxyMode = proxyMode;
    m_status = kStatusIdle;
    m_failure = kFailNone;
    m_unchanged = false;
    m_httpStatus = 0;
    m_running = true;
    try {
        m_thread = std::thread(&CCurrencyDownloader::Work, this);
    } catch (...) {
        m_running = false;
        return 0;
    }
    return 1;
}

void CCurrencyDownloader::GetConnectionSettings(int& conMgr, int& proxyMode) const
{
    conMgr = m_conMgr;
    proxyMode = m_proxyMode;
}

void CCurrencyDownloader::Wait()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void CCurrencyDownloader::Detach(IMessageTarget* target)
{
    // Posting happens under this lock: once it is ours, no post is under way,
    // and none reaches the target after this returns.
    std::lock_guard<std::recursive_mutex> lock(m_notifyLock);
    if (m_notify == target) m_notify = nullptr;
}

void CCurrencyDownloader::PostToWindow(long progress, long status)
{
    std::lock_guard<std::recursive_mutex> lock(m_notifyLock);
    if (m_notify) m_notify->PostMessage(kMsgDownload, progress, status);
}

void CCurrencyDownloader::Progress(IMessageTarget* given, long percent)
{
    if (m_progressFollowsNotify) PostToWindow(percent, 0);
    else if (given) given->PostMessage(kMsgDownload, percent, 0);
}

int CCurrencyDownloader::TestOpen(CHttpSession::AccessType access)
{
    if (!m_session.Open(access, kUserAgent, m_timeoutMs)) return 0;
    std::string sample;
    // Any answer of the server shows the connection works, an error page and
    // "not modified" too; one byte is not taken as a sign of it.
    if (m_session.Fetch(m_url.c_str(), sample, kTestBytes, true, true, true) > 1 || m_session.LastNotModified())
        return 1;
    m_session.Close();
    return 0;
}

int CCurrencyDownloader::ChooseConnection(int proxyMode, IMessageTarget* progress)
{
    m_session.Close();
    m_proxyMode = proxyMode;
    int mode = proxyMode;
    if (mode == kProxyNamed) return m_session.Open(CHttpSession::kAccessProxy, kUserAgent, m_timeoutMs);
    if (mode == kProxyPreconfigured)
        return m_session.Open(CHttpSession::kAccessPreconfigured, kUserAgent, m_timeoutMs);
    if (mode != kProxyAutomatic) return 0;
    // Two rounds of both kinds, as a first attempt may meet a connection still coming up.
    Progress(progress, 5);
    int chosen = TestOpen(CHttpSession::kAccessProxy) ? kProxyNamed : -1;
    Progress(progress, 25);
    if (chosen < 0) {
        if (TestOpen(CHttpSession::kAccessPreconfigured)) chosen = kProxyPreconfigured;
        Progress(progress, 50);
    }
    if (chosen < 0) {
        if (TestOpen(CHttpSession::kAccessProxy)) chosen = kProxyNamed;
        Progress(progress, 75);
    }
    if (chosen < 0 && TestOpen(CHttpSession::kAccessPreconfigured)) chosen = kProxyPreconfigured;
    Progress(progress, 95);
    if (chosen < 0) {
        m_session.Close();
        return 0;
    }
    m_proxyMode = chosen;
    return 1;
}

std::string CCurrencyDownloader::ReadRatesFile() const
{
    std::string text;
    int error = 0;
    if (!ReadFileText(ExistingSpelling(m_path), text, error) && error == ENOENT && !m_basePath.empty())
        ReadFileText(m_basePath, text, error);
    return text;
}

int CCurrencyDownloader::WriteRatesFile(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_fileLock);
    const std::string path = ExistingSpelling(m_path);
    MakeParentFolders(path); // the first download, or a deleted rates folder
    // A failed write never leaves the user without rates; a linked rates file
    // stays a link and its target gets the new rates.
    return WriteFileAtomically(path.c_str(), text);
}

int CCurrencyDownloader::FetchFailure(long received, bool xml) const
{
    const long code = m_session.LastStatus();
    if (code != 0 && (code < 200 || code > 299)) return kFailHttpStatus;
    if (m_session.LastTooLarge() || (!xml && received > static_cast<long>(kMaxRatesBytes))) return kFailTooLarge;
    if (m_session.LastTimedOut()) return kFailTimeout;
    return received < 0 ? kFailNoConnection : kFailNotRates;
}

// One source on the open session: the probe, the rates, the file that held
// `current`.
void CCurrencyDownloader::Download(const std::string& url, const std::string& current, SSourceOutcome& out)
{
    out.url = url;
    out.failure = kFailNoConnection;
    out.status = kStatusNoConnection;
    if (!m_session.IsOpen() || !m_session.Probe(url.c_str())) {
        if (m_session.LastTimedOut()) out.failure = kFailTimeout;
        out.httpStatus = m_session.LastStatus();
        return;
    }
    // "Not modified" to the probe needs no second request. XML rates may be
    // larger than a rates file (the UN's list every country).
    const long received = m_session.LastNotModified() ? 0 : m_session.Fetch(url.c_str(), m_body, kMaxXmlRatesBytes, false);
    out.received = received > 0 ? received : 0;
    out.httpStatus = m_session.LastStatus();
    out.failure = kFailNone;
    out.status = kStatusDone;
    if (m_session.LastNotModified()) {
        out.unchanged = true;
        return;
    }
    const bool xml = LooksLikeXml(m_body);
    std::string text;
    if (received <= 0 || (!xml && received > static_cast<long>(kMaxRatesBytes)) ||
        !RatesTextFromDownload(m_body, current, url, text, out.refusal)) {
        out.failure = FetchFailure(received, xml);
        out.status = kStatusNoConnection;
        return;
    }
    if (text == current) out.unchanged = true;
    else if (!WriteRatesFile(text)) {
        out.failure = kFailWrite;
        out.status = kStatusWriteFailed;
    }
}

// The outcome of all sources: done when one was; else the first failure.
void CCurrencyDownloader::Summarise()
{
    const SSourceOutcome* shown = nullptr;
    long received = 0;
    bool unchanged = true;
    for (const SSourceOutcome& o : m_outcomes) {
        received += o.received;
        if (o.status == kStatusDone) unchanged = unchanged && o.unchanged;
        if (!shown || (shown->status == kStatusDone && o.status != kStatusDone)) shown = &o;
    }
    const bool anyDone = std::any_of(m_outcomes.begin(), m_outcomes.end(),
                                     [](const SSourceOutcome& o) { return o.status == kStatusDone; });
    m_received = received;
    m_unchanged = anyDone && unchanged;
    m_failure = shown ? shown->failure : static_cast<int>(kFailNoConnection);
    m_httpStatus = shown ? shown->httpStatus : 0;
    m_refusal = shown ? shown->refusal : std::string();
    m_status = anyDone ? static_cast<int>(kStatusDone) : shown ? shown->status : static_cast<int>(kStatusNoConnection);
}

void CCurrencyDownloader::Work()
{
    LowerThreadPriority();
    m_session.SetDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(m_deadlineMs));
    m_outcomes.assign(m_urls.size(), SSourceOutcome());
    for (size_t i = 0; i < m_urls.size(); ++i) {
        // Each source merges into what the one before left.
        const std::string current = ReadRatesFile();
        m_url = m_urls[i];
        // Every request, the test downloads too, asks only for rates newer
        // than those the file holds from this source.
        m_session.SetIfModifiedSince(RatesAskedSince(current, m_url, std::time(nullptr)));
        // A connection is always taken to be available here (connection check).
        // The window hears how an automatic choice goes: it may take four time-outs.
        if (!m_session.IsOpen()) {
            m_progressFollowsNotify = true;
            ChooseConnection(m_proxyMode, nullptr);
            m_progressFollowsNotify = false;
        }
        Download(m_url, current, m_outcomes[i]);
    }
    m_url = m_urls.front();
    m_session.ClearDeadline();
    m_session.SetIfModifiedSince(0);
    const int status = m_outcomes.empty() ? kStatusNoConnection : m_outcomes.back().status;
    // A session that got no answer is chosen afresh next time.
    if (status == kStatusNoConnection && m_session.LastStatus() == 0) m_session.Close();
    Summarise();
    // The window may handle the outcome while this thread is still ending;
    // a Start it makes then waits only for that end.
    std::lock_guard<std::recursive_mutex> lock(m_notifyLock);
    m_running = false;
    PostToWindow(0, m_status);
}
