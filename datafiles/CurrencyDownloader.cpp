#include "datafiles/CurrencyDownloader.h"

#include "datafiles/RatesSource.h"
#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileText.h"
#include "platform/UserFolders.h"
#include "platform/WindowMessage.h"

#include <cerrno>
#include <dirent.h>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

const char CCurrencyDownloader::kUserAgent[] =
    "Tallix/" TALLIX_VERSION " (desktop calculator; exchange rates for its currency converter)";
const char CCurrencyDownloader::kDefaultUrl[] = "https://www.ecb.europa.eu/stats/eurofxref/eurofxref-daily.xml";
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

// The entry of `folder` named `name` in any case, the name itself when none is.
std::string FindEntry(const std::string& folder, const std::string& name)
{
    DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
    std::string found = name;
    if (!dir) return found;
    while (dirent* entry = readdir(dir))
        if (SameAsciiNoCase(entry->d_name, name)) {
            found = entry->d_name;
            if (found == name) break;
        }
    closedir(dir);
    return found;
}

// Starters name the file "currency/currency.ini" or "Currency/Currency.ini";
// either way the existing file (the one the table reads) is replaced.
std::string ExistingSpelling(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return path;
    std::string folder = path.substr(0, slash);
    size_t parentSlash = folder.rfind('/');
    if (parentSlash != std::string::npos) {
        std::string parent = folder.substr(0, parentSlash);
        folder = parent + "/" + FindEntry(parent, folder.substr(parentSlash + 1));
    }
    return folder + "/" + FindEntry(folder, path.substr(slash + 1));
}

} // namespace

std::string CCurrencyDownloader::DownloadUrl()
{
    const char* url = std::getenv(kUrlVariable);
    return url && *url ? url : kDefaultUrl;
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
    if (m_running || !url || !*url || !filePath || !*filePath || !notify) return 0;
    if (std::strlen(url) > kMaxText || std::strlen(filePath) > kMaxText) return 0;
    m_url = url;
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

std::string CCurrencyDownloader::ReadRatesFile(std::time_t& modified) const
{
    const std::string path = ExistingSpelling(m_path);
    std::string text;
    int error = 0;
    struct stat info {};
    modified = ReadFileText(path, text, error) && stat(path.c_str(), &info) == 0 ? info.st_mtime : 0;
    if (error == ENOENT && !m_basePath.empty()) {
        // The date of the shipped file is when it was installed, not when
        // its rates were current: ask for everything.
        modified = 0;
        ReadFileText(m_basePath, text, error);
    }
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

int CCurrencyDownloader::FetchFailure(long received) const
{
    const long code = m_session.LastStatus();
    if (code != 0 && (code < 200 || code > 299)) return kFailHttpStatus;
    if (m_session.LastTooLarge()) return kFailTooLarge;
    if (m_session.LastTimedOut()) return kFailTimeout;
    return received < 0 ? kFailNoConnection : kFailNotRates;
}

// One download on the open session: the probe, the rates, the file that
// held `current`.
int CCurrencyDownloader::Download(const std::string& current, int& failure)
{
    failure = kFailNoConnection;
    m_refusal.clear();
    if (!m_session.IsOpen() || !m_session.Probe(m_url.c_str())) {
        if (m_session.LastTimedOut()) failure = kFailTimeout;
        return kStatusNoConnection;
    }
    // "Not modified" to the probe needs no second request.
    const long received = m_session.LastNotModified() ? 0 : m_session.Fetch(m_url.c_str(), m_body, kMaxRatesBytes, false);
    m_received = received > 0 ? received : 0;
    if (m_session.LastNotModified()) {
        m_unchanged = true;
        failure = kFailNone;
        return kStatusDone;
    }
    std::string text;
    if (received <= 0 || !RatesTextFromDownload(m_body, current, m_url, text, m_refusal)) {
        failure = FetchFailure(received);
        return kStatusNoConnection;
    }
    if (!WriteRatesFile(text)) {
        failure = kFailWrite;
        return kStatusWriteFailed;
    }
    failure = kFailNone;
    return kStatusDone;
}

void CCurrencyDownloader::Work()
{
    LowerThreadPriority();
    m_session.SetDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(m_deadlineMs));
    std::time_t modified = 0;
    const std::string current = ReadRatesFile(modified);
    // Every request, the test downloads too, asks only for newer rates when
    // the file's time means anything to the source: its own dated rates.
    m_session.SetIfModifiedSince(RatesCameFrom(current, m_url) ? modified : 0);
    // A connection is always taken to be available here (connection check).
    // The window hears how an automatic choice goes: it may take four time-outs.
    if (!m_session.IsOpen()) {
        m_progressFollowsNotify = true;
        ChooseConnection(m_proxyMode, nullptr);
        m_progressFollowsNotify = false;
    }
    int failure = kFailNone;
    const int status = Download(current, failure);
    m_failure = failure;
    m_httpStatus = m_session.LastStatus();
    m_session.ClearDeadline();
    m_session.SetIfModifiedSince(0);
    // A session that got no answer is chosen afresh next time.
    if (status == kStatusNoConnection && m_session.LastStatus() == 0) m_session.Close();
    m_status = status;
    // The window may handle the outcome while this thread is still ending;
    // a Start it makes then waits only for that end.
    std::lock_guard<std::recursive_mutex> lock(m_notifyLock);
    m_running = false;
    PostToWindow(0, status);
}
