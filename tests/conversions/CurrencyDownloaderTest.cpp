#include "TestHttpServer.h"
#include "conversions/CurrencyTable.h"
#include "datafiles/CurrencyDownloader.h"
#include "datafiles/RatesCheck.h"
#include "platform/WindowMessage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <utility>
#include <vector>

namespace {

// A rates file the download takes: every code of the list, USD 1 and EUR 1.25.
std::string RatesText(int codes = kRateCodeCount)
{
    std::string text = "[Conversions]\r\nUSD=1\r\nEUR=1.25\r\n";
    for (int i = 2; i < codes; ++i) text += std::string(kRateCodes[i]) + "=0.5\r\n";
    return text;
}
const std::string kRates = RatesText();
const char kOldRates[] = "[Conversions]\r\nEUR=1.5\r\n";
constexpr long kShortTimeoutMs = 1000; // short, yet long enough for a busy machine

// The window that started the download: records what it is told.
class CRecorder : public IMessageTarget {
public:
    void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (msg == kMsgDownload) (lParam ? outcomes_ : progress_).push_back(lParam ? lParam : wParam);
        done_.notify_all();
    }
    intptr_t SendMessage(unsigned, intptr_t, intptr_t) override
    {
        ADD_FAILURE() << "the download must not wait for its window";
        return 0;
    }
    // The completion status (waits for it).
    long Outcome()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return !outcomes_.empty(); });
        return outcomes_.front();
    }
    bool HasOutcome()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return !outcomes_.empty();
    }
    std::vector<long> Progress()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return progress_;
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<long> progress_;
    std::vector<long> outcomes_;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class CurrencyDownloader : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            unsetenv(name);
        std::string folder = (std::filesystem::temp_directory_path() / "tallix-download-XXXXXX").string();
        folder_ = mkdtemp(folder.data());
        path_ = folder_ + "/currency.ini";
        std::ofstream(path_, std::ios::binary) << kOldRates;
        downloader_.SetTimeout(kShortTimeoutMs);
    }
    void TearDown() override
    {
        downloader_.Wait();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    // Runs one download to its end; returns the completion status.
    long Download(const std::string& url, int proxyMode)
    {
        CRecorder recorder;
        EXPECT_EQ(downloader_.Prepare(url.c_str(), &recorder, path_.c_str()), 1);
        EXPECT_EQ(downloader_.Start(1, 1, proxyMode), 1);
        long outcome = recorder.Outcome();
        downloader_.Wait();
        return outcome;
    }

    std::string folder_;
    std::string path_;
    CRecorder recorder_;
    CCurrencyDownloader downloader_;
};

struct ServerRow {
    const char* what;
    CTestHttpServer::Mode mode;
    std::string body;
    long status;
};

TEST_F(CurrencyDownloader, OnlyAGoodAnswerReplacesTheRatesFile)
{
    const ServerRow rows[] = {
        {"rates file", CTestHttpServer::kOk, kRates, 1},
        {"not found", CTestHttpServer::kNotFound, kRates, 3},
        {"empty body", CTestHttpServer::kOk, "", 3},
        {"one byte", CTestHttpServer::kOk, "x", 3},
        {"an error page", CTestHttpServer::kOk, "<html><body>Service unavailable</body></html>", 3},
        {"oversize", CTestHttpServer::kOk, kRates + std::string(40000, ';'), 3},
        {"cut off halfway", CTestHttpServer::kOk, RatesText(44), 3},
        {"a rate that is no number", CTestHttpServer::kOk, kRates + "[Conversions]\r\nGBP=abc\r\n", 1},
        {"a first rate that is no number", CTestHttpServer::kOk, "[Conversions]\r\nGBP=abc\r\n" + kRates, 3},
        {"no answer", CTestHttpServer::kSilent, "", 3},
    };
    for (const ServerRow& row : rows) {
        SCOPED_TRACE(row.what);
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << kOldRates;
        CTestHttpServer server(row.mode, row.body);
        CRecorder recorder;
        CCurrencyDownloader downloader;
        downloader.SetTimeout(kShortTimeoutMs);
        ASSERT_EQ(downloader.Prepare(server.Url().c_str(), &recorder, path_.c_str()), 1);
        ASSERT_EQ(downloader.Start(1, 1, CCurrencyDownloader::kProxyPreconfigured), 1);
        EXPECT_EQ(recorder.Outcome(), row.status);
        downloader.Wait();
        EXPECT_EQ(downloader.Status(), row.status);
        EXPECT_EQ(ReadFile(path_), row.status == 1 ? row.body : std::string(kOldRates));
        EXPECT_TRUE(recorder.Progress().empty());
    }
}

TEST_F(CurrencyDownloader, TellsWhyTheOldFileStays)
{
    using D = CCurrencyDownloader;
    const struct {
        const char* what;
        CTestHttpServer::Mode mode;
        std::string body;
        int failure;
        long httpStatus;
    } rows[] = {
        {"rates file", CTestHttpServer::kOk, kRates, D::kFailNone, 200},
        {"not found", CTestHttpServer::kNotFound, kRates, D::kFailHttpStatus, 404},
        {"an error page", CTestHttpServer::kOk, "<html><body>Service unavailable</body></html>", D::kFailNotRates, 200},
        {"empty body", CTestHttpServer::kOk, "", D::kFailNotRates, 200},
        {"oversize", CTestHttpServer::kOk, std::string(kRates) + std::string(40000, ';'), D::kFailTooLarge, 200},
        {"no answer", CTestHttpServer::kSilent, "", D::kFailTimeout, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CTestHttpServer server(row.mode, row.body);
        Download(server.Url(), D::kProxyPreconfigured);
        EXPECT_EQ(downloader_.LastFailure(), row.failure);
        EXPECT_EQ(downloader_.HttpStatus(), row.httpStatus);
    }
    Download("http://127.0.0.1:" + std::to_string(CTestHttpServer::ClosedPort()) + "/r.ini", D::kProxyPreconfigured);
    EXPECT_EQ(downloader_.LastFailure(), D::kFailNoConnection);
    CTestHttpServer server(CTestHttpServer::kOk, kRates);
    const std::string blocked = path_ + "/currency.ini"; // its folder is a file
    CRecorder recorder;
    ASSERT_EQ(downloader_.Prepare(server.Url().c_str(), &recorder, blocked.c_str()), 1);
    ASSERT_EQ(downloader_.Start(1, 1, D::kProxyPreconfigured), 1);
    EXPECT_EQ(recorder.Outcome(), D::kStatusWriteFailed);
    downloader_.Wait();
    EXPECT_EQ(downloader_.LastFailure(), D::kFailWrite);
}

// A server that keeps sending a byte now and then never trips the time-out
// of a wait; the deadline of the whole download ends it.
TEST_F(CurrencyDownloader, ATricklingServerMeetsTheDeadline)
{
    CTestHttpServer trickle(CTestHttpServer::kTrickle, kRates); // about ten seconds of bytes
    downloader_.SetDeadline(kShortTimeoutMs);
    EXPECT_EQ(Download(trickle.Url(), CCurrencyDownloader::kProxyPreconfigured), 3);
    EXPECT_EQ(ReadFile(path_), kOldRates);
}

TEST_F(CurrencyDownloader, SendsTheUserAgentAndReportsTheLength)
{
    CTestHttpServer server(CTestHttpServer::kOk, kRates);
    EXPECT_EQ(Download(server.Url(), CCurrencyDownloader::kProxyPreconfigured), 1);
    EXPECT_EQ(downloader_.ReceivedLength(), static_cast<long>(kRates.size()));
    std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u); // the probe, then the download
    // The program by name and version, so that the source knows who asks.
    const std::string agent = CCurrencyDownloader::kUserAgent;
    EXPECT_EQ(agent.rfind("Tallix/", 0), 0u);
    EXPECT_TRUE(agent.size() > 7 && std::isdigit(static_cast<unsigned char>(agent[7]))) << agent;
    for (const std::string& head : requests) {
        EXPECT_EQ(head.rfind("GET /currency.ini ", 0), 0u) << head;
        EXPECT_NE(head.find("User-Agent: " + agent + "\r\n"), std::string::npos);
        EXPECT_EQ(head.find("If-Modified-Since"), std::string::npos); // the old rates name no date
    }
    CCurrencyTable table(path_);
    ASSERT_EQ(table.Load(), 1);
    EXPECT_DOUBLE_EQ(table.Rate(1), 1.25);
}

TEST_F(CurrencyDownloader, ConnectionRefusedKeepsTheOldFile)
{
    std::string url = "http://127.0.0.1:" + std::to_string(CTestHttpServer::ClosedPort()) + "/currency.ini";
    EXPECT_EQ(Download(url, CCurrencyDownloader::kProxyPreconfigured), 3);
    EXPECT_EQ(ReadFile(path_), kOldRates);
}

TEST_F(CurrencyDownloader, AnAnswerThatIsNoRatesFileSaysWhy)
{
    CTestHttpServer server(CTestHttpServer::kOk, "[Conversions]\nXYZ=2\n");
    EXPECT_EQ(Download(server.Url(), CCurrencyDownloader::kProxyPreconfigured), 3);
    EXPECT_EQ(ReadFile(path_), kOldRates);
    EXPECT_EQ(downloader_.RefusalReason(), "no rate for USD");
    CTestHttpServer good(CTestHttpServer::kOk, kRates);
    EXPECT_EQ(Download(good.Url(), CCurrencyDownloader::kProxyPreconfigured), 1);
    EXPECT_EQ(downloader_.RefusalReason(), "");
}

TEST_F(CurrencyDownloader, AnUnwritableTargetReportsStatus4)
{
    CTestHttpServer server(CTestHttpServer::kOk, kRates);
    std::string blocked = path_ + "/currency.ini"; // its folder is a file
    ASSERT_EQ(downloader_.Prepare(server.Url().c_str(), &recorder_, blocked.c_str()), 1);
    ASSERT_EQ(downloader_.Start(1, 1, CCurrencyDownloader::kProxyPreconfigured), 1);
    EXPECT_EQ(recorder_.Outcome(), 4);
    EXPECT_EQ(ReadFile(path_), kOldRates);
}

TEST_F(CurrencyDownloader, ReplacesTheExistingFileWhateverTheCaseOfItsName)
{
    CTestHttpServer server(CTestHttpServer::kOk, kRates);
    std::string shouted = folder_ + "/CURRENCY.INI";
    CRecorder recorder;
    ASSERT_EQ(downloader_.Prepare(server.Url().c_str(), &recorder, shouted.c_str()), 1);
    ASSERT_EQ(downloader_.Start(1, 1, CCurrencyDownloader::kProxyPreconfigured), 1);
    EXPECT_EQ(recorder.Outcome(), 1);
    downloader_.Wait();
    EXPECT_EQ(ReadFile(path_), kRates);
    EXPECT_NE(access(shouted.c_str(), F_OK), 0);
}

// The rates file is replaced as every file of the program is: a link stays a
// link, a new file gets the permissions the umask of the start allows (it is
// read once then: asking for it later would change it for every thread).
TEST_F(CurrencyDownloader, TheRatesFileIsWrittenAtomicallyKeepingLinksAndTheUmask)
{
    CTestHttpServer server(CTestHttpServer::kOk, kRates);
    const std::string target = folder_ + "/shared-rates.ini";
    std::ofstream(target, std::ios::binary) << kOldRates;
    std::remove(path_.c_str());
    ASSERT_EQ(symlink(target.c_str(), path_.c_str()), 0);
    EXPECT_EQ(Download(server.Url(), CCurrencyDownloader::kProxyPreconfigured), 1);
    struct stat link {};
    EXPECT_TRUE(lstat(path_.c_str(), &link) == 0 && S_ISLNK(link.st_mode));
    EXPECT_EQ(ReadFile(target), kRates);
    std::remove(target.c_str());

    std::remove(path_.c_str());
    const mode_t atStart = umask(077);
    const long outcome = Download(server.Url(), CCurrencyDownloader::kProxyPreconfigured);
    umask(atStart);
    struct stat made {};
    EXPECT_EQ(outcome, 1);
    ASSERT_EQ(stat(path_.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0644u & ~atStart);
}

struct ProxyChoiceRow {
    const char* what;
    CTestHttpServer::Mode mode;
    bool serverUp;
    bool proxyNamed;
    std::vector<long> progress;
    int opened;
    int modeAfter;
    long outcome;
};

TEST_F(CurrencyDownloader, AutomaticProxyChoiceTriesBothKindsTwice)
{
    const ProxyChoiceRow rows[] = {
        {"only a direct connection", CTestHttpServer::kOk, true, false, {5, 25, 50, 95}, 1, 1, 1},
        {"a named proxy works", CTestHttpServer::kOk, true, true, {5, 25, 95}, 1, 0, 1},
        {"no network", CTestHttpServer::kOk, false, false, {5, 25, 50, 75, 95}, 0, 2, 3},
        // An error page still shows that the connection works; it is no rates file.
        {"the server answers 404", CTestHttpServer::kNotFound, true, false, {5, 25, 50, 95}, 1, 1, 3},
    };
    for (const ProxyChoiceRow& row : rows) {
        SCOPED_TRACE(row.what);
        CTestHttpServer server(row.mode, kRates);
        std::string url = row.serverUp ? server.Url()
                                       : "http://127.0.0.1:" + std::to_string(CTestHttpServer::ClosedPort()) + "/currency.ini";
        if (row.proxyNamed) setenv("http_proxy", server.Url("").c_str(), 1);

        // The choice itself, with a progress window.
        CRecorder progress;
        CCurrencyDownloader chooser;
        chooser.SetTimeout(kShortTimeoutMs);
        ASSERT_EQ(chooser.Prepare(url.c_str(), &progress, path_.c_str()), 1);
        EXPECT_EQ(chooser.ChooseConnection(CCurrencyDownloader::kProxyAutomatic, &progress), row.opened);
        EXPECT_EQ(progress.Progress(), row.progress);
        int conMgr = 0, mode = 0;
        chooser.GetConnectionSettings(conMgr, mode);
        EXPECT_EQ(mode, row.modeAfter);

        // A whole download tells its window the same and hands back the mode.
        CRecorder recorder;
        CCurrencyDownloader downloader;
        downloader.SetTimeout(kShortTimeoutMs);
        ASSERT_EQ(downloader.Prepare(url.c_str(), &recorder, path_.c_str()), 1);
        ASSERT_EQ(downloader.Start(0, 7, CCurrencyDownloader::kProxyAutomatic), 1);
        EXPECT_EQ(recorder.Outcome(), row.outcome);
        downloader.Wait();
        EXPECT_EQ(recorder.Progress(), row.progress);
        downloader.GetConnectionSettings(conMgr, mode);
        EXPECT_EQ(conMgr, 7);
        EXPECT_EQ(mode, row.modeAfter);

        // An open connection is reused: no second choice, no progress.
        CRecorder again;
        ASSERT_EQ(downloader.Prepare(url.c_str(), &again, path_.c_str()), 1);
        ASSERT_EQ(downloader.Start(0, 7, CCurrencyDownloader::kProxyAutomatic), 1);
        EXPECT_EQ(again.Outcome(), row.outcome);
        downloader.Wait();
        EXPECT_EQ(again.Progress().empty(), row.opened == 1);
        unsetenv("http_proxy");
    }
}

TEST_F(CurrencyDownloader, NamedProxyModeNeedsAProxy)
{
    CTestHttpServer proxy(CTestHttpServer::kOk, kRates);
    // Reachable only through the proxy: the host name can never resolve.
    const std::string url = "http://rates.tallix.invalid/currency.ini";
    EXPECT_EQ(Download(url, CCurrencyDownloader::kProxyNamed), 3);
    CRecorder recorder;
    CCurrencyDownloader downloader;
    setenv("HTTP_PROXY", proxy.Url("").c_str(), 1);
    ASSERT_EQ(downloader.Prepare(url.c_str(), &recorder, path_.c_str()), 1);
    ASSERT_EQ(downloader.Start(1, 1, CCurrencyDownloader::kProxyNamed), 1);
    EXPECT_EQ(recorder.Outcome(), 1);
    downloader.Wait();
    unsetenv("HTTP_PROXY");
    ASSERT_FALSE(proxy.Requests().empty());
    EXPECT_EQ(proxy.Requests()[0].rfind("GET http://rates.tallix.invalid/currency.ini ", 0), 0u);
    EXPECT_EQ(ReadFile(path_), kRates);
}

// Either spelling of the variable names the proxy, in mode 1 as in mode 0.
TEST_F(CurrencyDownloader, PreconfiguredModeTakesEitherProxyVariable)
{
    const char* const variables[] = {"http_proxy", "HTTP_PROXY"};
    for (const char* variable : variables) {
        SCOPED_TRACE(variable);
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << kOldRates;
        CTestHttpServer proxy(CTestHttpServer::kOk, kRates);
        setenv(variable, proxy.Url("").c_str(), 1);
        CCurrencyDownloader downloader;
        CRecorder recorder;
        ASSERT_EQ(downloader.Prepare("http://rates.tallix.invalid/currency.ini", &recorder, path_.c_str()), 1);
        ASSERT_EQ(downloader.Start(1, 1, CCurrencyDownloader::kProxyPreconfigured), 1);
        EXPECT_EQ(recorder.Outcome(), 1);
        downloader.Wait();
        unsetenv(variable);
        EXPECT_FALSE(proxy.Requests().empty());
        EXPECT_EQ(ReadFile(path_), kRates);
    }
}

TEST_F(CurrencyDownloader, StartAndPrepareRefuseWhatCannotRun)
{
    EXPECT_EQ(downloader_.Start(1, 1, 1), 0); // nothing prepared
    const std::string longText(256, 'a');
    EXPECT_EQ(downloader_.Prepare("", &recorder_, path_.c_str()), 0);
    EXPECT_EQ(downloader_.Prepare(nullptr, &recorder_, path_.c_str()), 0);
    EXPECT_EQ(downloader_.Prepare("http://127.0.0.1/currency.ini", nullptr, path_.c_str()), 0);
    EXPECT_EQ(downloader_.Prepare("http://127.0.0.1/currency.ini", &recorder_, ""), 0);
    EXPECT_EQ(downloader_.Prepare(("http://" + longText).c_str(), &recorder_, path_.c_str()), 0);
    EXPECT_EQ(downloader_.Start(1, 1, 1), 0);

    CTestHttpServer silent(CTestHttpServer::kSilent, "");
    ASSERT_EQ(downloader_.Prepare(silent.Url().c_str(), &recorder_, path_.c_str()), 1);
    ASSERT_EQ(downloader_.Start(1, 1, 1), 1);
    EXPECT_EQ(downloader_.Start(1, 1, 1), 0);                                        // still running
    EXPECT_EQ(downloader_.Prepare(silent.Url().c_str(), &recorder_, path_.c_str()), 0); // same
    EXPECT_EQ(recorder_.Outcome(), 3);
    downloader_.Wait();
    EXPECT_EQ(downloader_.Start(1, 1, 1), 1); // finished: may run again
    downloader_.Wait();
}

TEST_F(CurrencyDownloader, ADetachedWindowHearsNothingMore)
{
    CTestHttpServer silent(CTestHttpServer::kSilent, "");
    ASSERT_EQ(downloader_.Prepare(silent.Url().c_str(), &recorder_, path_.c_str()), 1);
    ASSERT_EQ(downloader_.Start(1, 1, CCurrencyDownloader::kProxyPreconfigured), 1);
    downloader_.Detach(&recorder_);
    downloader_.Wait();
    EXPECT_EQ(downloader_.Status(), 3);
    EXPECT_FALSE(recorder_.HasOutcome());
    EXPECT_EQ(ReadFile(path_), kOldRates);
}

// A window that goes away while the automatic choice is still running.
class CLeavingWindow : public IMessageTarget {
public:
    explicit CLeavingWindow(CCurrencyDownloader& downloader) : downloader_(downloader) {}
    void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override
    {
        if (msg == kMsgDownload) heard.push_back(lParam ? -lParam : wParam);
        downloader_.Detach(this);
    }
    intptr_t SendMessage(unsigned, intptr_t, intptr_t) override { return 0; }
    std::vector<long> heard;

private:
    CCurrencyDownloader& downloader_;
};

TEST_F(CurrencyDownloader, DetachingDuringTheProxyChoiceStopsItsProgress)
{
    CTestHttpServer server(CTestHttpServer::kOk, kRates);
    CLeavingWindow window(downloader_);
    ASSERT_EQ(downloader_.Prepare(server.Url().c_str(), &window, path_.c_str()), 1);
    ASSERT_EQ(downloader_.Start(1, 1, CCurrencyDownloader::kProxyAutomatic), 1);
    downloader_.Wait();
    EXPECT_EQ(window.heard, std::vector<long>{5});
    EXPECT_EQ(downloader_.Status(), 1);
    EXPECT_EQ(ReadFile(path_), kRates);
}

// A window whose messages wait in the queue of an interface thread of its
// own until that thread handles them, as a toolkit's queued calls do: a
// SendMessage blocks its caller until then.
class CInterfaceWindow : public IMessageTarget {
public:
    void PostMessage(unsigned msg, intptr_t, intptr_t) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (msg == kMsgDownload) ++(detached_ ? afterDetach_ : queued_);
        changed_.notify_all();
    }
    intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++senders_;
        lock.unlock();
        PostMessage(msg, wParam, lParam);
        lock.lock();
        changed_.wait(lock, [this] { return handling_; });
        --senders_;
        return 0;
    }
    // The interface thread's side.
    void WaitForAMessage()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return queued_ > 0; });
    }
    void Detached()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        detached_ = true;
    }
    int Senders()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return senders_;
    }
    int ArrivedAfterDetach()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return afterDetach_;
    }
    void HandleAll()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        handling_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int queued_ = 0, afterDetach_ = 0, senders_ = 0;
    bool detached_ = false, handling_ = false;
};

// The window closes, and the program ends, while a progress message still
// waits in its queue: neither may wait for the worker, and nothing may reach
// the window once it has detached.
TEST_F(CurrencyDownloader, TheInterfaceThreadDetachesAndEndsWithoutWaitingForTheWorker)
{
    CTestHttpServer server(CTestHttpServer::kOk, kRates);
    CInterfaceWindow window;
    auto downloader = std::make_unique<CCurrencyDownloader>();
    downloader->SetTimeout(kShortTimeoutMs);
    ASSERT_EQ(downloader->Prepare(server.Url().c_str(), &window, path_.c_str()), 1);
    ASSERT_EQ(downloader->Start(1, 1, CCurrencyDownloader::kProxyAutomatic), 1);
    window.WaitForAMessage();
    downloader->Detach(&window);
    window.Detached();
    const int blockedWorkers = window.Senders();
    if (blockedWorkers > 0) window.HandleAll(); // else the end below would never come
    downloader.reset();
    window.HandleAll();
    EXPECT_EQ(blockedWorkers, 0);
    EXPECT_EQ(window.ArrivedAfterDetach(), 0);
}

TEST(CurrencyDownloadUrl, TheEnvironmentNamesAnotherServer)
{
    unsetenv(CCurrencyDownloader::kUrlVariable);
    EXPECT_EQ(CCurrencyDownloader::DownloadUrl(),
              std::string(CCurrencyDownloader::kDefaultUrl) + " " + CCurrencyDownloader::kUnUrl);
    EXPECT_TRUE(CCurrencyDownloader::DownloadUrl().starts_with("https://"));
    EXPECT_TRUE(std::string(CCurrencyDownloader::kDefaultUrl).ends_with("/eurofxref-daily.xml"));
    setenv(CCurrencyDownloader::kUrlVariable, "http://127.0.0.1:1/rates/currency.ini", 1);
    EXPECT_EQ(CCurrencyDownloader::DownloadUrl(), "http://127.0.0.1:1/rates/currency.ini");
    unsetenv(CCurrencyDownloader::kUrlVariable);
}

// Euro reference rates in the form the central bank publishes them: units
// per euro, dated by the Cube that holds them.
struct Listed {
    std::string code;
    std::string rate;
};
const std::vector<Listed> kListed = {
    {"USD", "1.0550"}, {"JPY", "162.37"}, {"BGN", "1.9558"}, {"CZK", "25.010"}, {"DKK", "7.4590"},
    {"GBP", "0.83215"}, {"HUF", "410.25"}, {"PLN", "4.2180"}, {"RON", "4.9750"}, {"SEK", "11.1230"},
    {"CHF", "0.93750"}, {"ISK", "146.10"}, {"NOK", "11.7400"}, {"TRY", "36.512"}, {"AUD", "1.6245"},
    {"BRL", "6.3210"}, {"CAD", "1.4780"}, {"CNY", "7.6540"}, {"HKD", "8.2010"}, {"IDR", "16820.00"},
    {"ILS", "3.8890"}, {"INR", "89.245"}, {"KRW", "1498.50"}, {"MXN", "21.355"}, {"MYR", "4.7120"},
    {"NZD", "1.7960"}, {"PHP", "61.230"}, {"SGD", "1.4150"}, {"THB", "36.010"}, {"ZAR", "19.120"},
};

std::string ReferenceXml(const std::vector<Listed>& listed = kListed, const std::string& dated = "time='2026-12-04'")
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org/xml/2002-08-01\" "
                      "xmlns=\"http://www.ecb.int/vocabulary/2002-08-01/eurofxref\">\n"
                      "\t<gesmes:subject>Reference rates</gesmes:subject>\n"
                      "\t<gesmes:Sender>\n\t\t<gesmes:name>European Central Bank</gesmes:name>\n\t</gesmes:Sender>\n"
                      "\t<Cube>\n\t\t<Cube " + dated + ">\n";
    for (const Listed& entry : listed) xml += "\t\t\t<Cube currency='" + entry.code + "' rate='" + entry.rate + "'/>\n";
    return xml + "\t\t</Cube>\n\t</Cube>\n</gesmes:Envelope>\n";
}

std::vector<Listed> Changed(const std::string& code, const std::string& rate)
{
    std::vector<Listed> listed;
    for (const Listed& entry : kListed)
        if (entry.code != code) listed.push_back(entry);
        else if (!rate.empty()) listed.push_back({code, rate});
    return listed;
}

const char kRatesBefore[] = "[Conversions]\r\nUSD=1\r\nEUR=1.5\r\nARS=0.00123\r\nDEM=0.5\r\nJPY=0.5\r\n";

TEST_F(CurrencyDownloader, ReferenceRatesBecomeDollarRates)
{
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << kRatesBefore;
    CTestHttpServer server(CTestHttpServer::kOk, ReferenceXml());
    ASSERT_EQ(Download(server.Url("/eurofxref-daily.xml"), CCurrencyDownloader::kProxyPreconfigured), 1);
    CCurrencyTable table(path_);
    ASSERT_EQ(table.Load(), 1);
    EXPECT_EQ(table.ReferenceDate(), "2026-12-04");
    auto rate = [&](const char* code) { return table.Rate(table.FindCode(code)); };
    const double usdPerEuro = 1.0550;
    EXPECT_DOUBLE_EQ(rate("USD"), 1);
    EXPECT_DOUBLE_EQ(rate("EUR"), usdPerEuro);
    for (const Listed& entry : kListed) {
        if (table.FindCode(entry.code.c_str()) < 0 || entry.code == "USD" || entry.code == "BGN") continue;
        SCOPED_TRACE(entry.code);
        EXPECT_DOUBLE_EQ(rate(entry.code.c_str()), usdPerEuro / std::stod(entry.rate));
    }
    // The currencies the euro replaced, by their fixed rates (units per euro),
    // also the lev that the source still lists rounded.
    const struct {
        const char* code;
        double perEuro;
    } fixed[] = {{"DEM", 1.95583}, {"FRF", 6.55957}, {"ITL", 1936.27}, {"ESP", 166.386}, {"NLG", 2.20371},
                 {"IEP", 0.787564}, {"GRD", 340.750}, {"SIT", 239.640}, {"MTL", 0.429300}, {"EEK", 15.6466},
                 {"LTL", 3.45280}, {"HRK", 7.53450}, {"BGN", 1.95583}};
    for (const auto& legacy : fixed) {
        SCOPED_TRACE(legacy.code);
        EXPECT_DOUBLE_EQ(rate(legacy.code), usdPerEuro / legacy.perEuro);
    }
    // Not listed: the rate the old file gave, else the built-in one.
    EXPECT_DOUBLE_EQ(rate("ARS"), 0.00123);
    EXPECT_DOUBLE_EQ(rate("CLP"), kBuiltInRates[table.FindCode("CLP")]);
    // Pegs hold where the source lists no rate; the pegged HKD it lists keeps its listed rate.
    EXPECT_DOUBLE_EQ(rate("BSD"), 1);
    EXPECT_DOUBLE_EQ(rate("XOF"), usdPerEuro / 655.957);
    EXPECT_DOUBLE_EQ(rate("HKD"), usdPerEuro / 8.2010);
    // Each rate says of when it is: what the source did not give is older.
    const struct { const char* code; const char* date; } dates[] = {
        {"JPY", "2026-12-04"}, {"DEM", "2026-12-04"}, {"BSD", "2026-12-04"},
        {"ARS", ""}, {"CLP", ""}, // built-in figures, of no day
    };
    for (const auto& row : dates) EXPECT_EQ(table.RateDate(table.FindCode(row.code)), row.date) << row.code;
    table.SetFrom(table.FindCode("EUR"));
    table.SetTo(table.FindCode("USD"));
    table.SetAmount("100");
    EXPECT_DOUBLE_EQ(table.Result(), 105.5);
}

TEST_F(CurrencyDownloader, ReferenceRatesThatMakeNoSenseAreRefused)
{
    const std::string xml = ReferenceXml();
    const char* const doctype = "<?xml version=\"1.0\"?>\n<!DOCTYPE gesmes:Envelope [\n";
    std::vector<Listed> twice = kListed;
    twice.push_back({"GBP", "0.9"});
    std::vector<Listed> odd = kListed;
    odd.push_back({"G8P", "0.84"});
    const struct {
        const char* what;
        std::string body;
        const char* reason;
    } rows[] = {
        {"cut off", xml.substr(0, xml.size() / 2), "not well-formed"},
        {"no USD", ReferenceXml(Changed("USD", "")), "no USD rate"},
        {"a negative rate", ReferenceXml(Changed("JPY", "-162.37")), "the rate of JPY, \"-162.37\", is no positive"},
        {"a zero rate", ReferenceXml(Changed("USD", "0")), "the rate of USD, \"0\", is no positive"},
        {"a rate that is no number", ReferenceXml(Changed("GBP", "0.83 GBP")), "the rate of GBP"},
        {"an infinite rate", ReferenceXml(Changed("GBP", "1e999")), "the rate of GBP"},
        {"a rate in hexadecimal", ReferenceXml(Changed("GBP", "0x1p0")), "the rate of GBP"},
        {"a code that is none", ReferenceXml(odd), "\"G8P\" at line"},
        {"a rate no currency has", ReferenceXml(Changed("USD", "1" + std::string(307, '0'))),
         "EUR=1e+307 is no plausible rate"},
        {"a rate far from the one before", ReferenceXml(Changed("JPY", "1000000")),
         "JPY=1.055e-06, against 0.5 before, is no plausible rate"},
        {"a rate listed twice", ReferenceXml(twice), "GBP is listed twice"},
        {"no date", ReferenceXml(kListed, "rates='today'"), "without a Cube element that has a reference date"},
        {"no such date", ReferenceXml(kListed, "time='2026-02-29'"), "the reference date \"2026-02-29\" is no date"},
        {"an HTML error page", "<!DOCTYPE html>\n<html><head><title>Service unavailable</title></head>"
                               "<body><p>Try again later.</p></body></html>\n", "an HTML page"},
        {"an HTML page that reads as XML", "<html><body>Not found</body></html>", "an HTML page"},
        {"an entity from a file", std::string(doctype) + "<!ENTITY r SYSTEM \"file:///etc/hostname\">]>\n" +
                                      xml.substr(xml.find("<gesmes:Envelope")), "document type declaration"},
        {"entities that multiply", std::string(doctype) + "<!ENTITY a \"1.0550\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">"
                                       "<!ENTITY c \"&b;&b;&b;&b;&b;&b;\">]>\n" + xml.substr(xml.find("<gesmes:Envelope")),
         "document type declaration"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << kRatesBefore;
        CTestHttpServer server(CTestHttpServer::kOk, row.body);
        EXPECT_EQ(Download(server.Url(), CCurrencyDownloader::kProxyPreconfigured), 3);
        EXPECT_EQ(downloader_.LastFailure(), CCurrencyDownloader::kFailNotRates);
        EXPECT_NE(downloader_.RefusalReason().find(row.reason), std::string::npos) << downloader_.RefusalReason();
        EXPECT_EQ(ReadFile(path_), kRatesBefore);
    }
}

// Once the rates name their date, the source is asked only for newer ones;
// its "not modified" is a success that leaves the file alone.
TEST_F(CurrencyDownloader, AsksOnlyForRatesNewerThanTheFile)
{
    CTestHttpServer server(CTestHttpServer::kNotModified, ReferenceXml());
    ASSERT_EQ(Download(server.Url(), CCurrencyDownloader::kProxyPreconfigured), 1);
    EXPECT_FALSE(downloader_.RatesUnchanged());
    const std::string converted = ReadFile(path_);
    ASSERT_NE(converted, kOldRates);
    utimbuf written{1796119200, 1796119200}; // Tue, 01 Dec 2026 10:00:00 GMT
    ASSERT_EQ(utime(path_.c_str(), &written), 0);
    EXPECT_EQ(Download(server.Url(), CCurrencyDownloader::kProxyPreconfigured), 1);
    EXPECT_TRUE(downloader_.RatesUnchanged());
    EXPECT_EQ(downloader_.ReceivedLength(), 0);
    EXPECT_EQ(ReadFile(path_), converted);
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u); // probe and download, then a probe that sufficed
    EXPECT_EQ(requests[0].find("If-Modified-Since"), std::string::npos);
    // Asked by the day of the rates held, not by the file's time.
    EXPECT_NE(requests[2].find("\r\nIf-Modified-Since: Fri, 04 Dec 2026 00:00:00 GMT\r\n"), std::string::npos)
        << requests[2];
    // A first download of a run, which tries the connections first.
    CRecorder recorder;
    CCurrencyDownloader fresh;
    ASSERT_EQ(fresh.Prepare(server.Url().c_str(), &recorder, path_.c_str()), 1);
    ASSERT_EQ(fresh.Start(1, 1, CCurrencyDownloader::kProxyAutomatic), 1);
    EXPECT_EQ(recorder.Outcome(), 1);
    fresh.Wait();
    EXPECT_TRUE(fresh.RatesUnchanged());
    int conMgr = 0, mode = 0;
    fresh.GetConnectionSettings(conMgr, mode);
    EXPECT_EQ(mode, CCurrencyDownloader::kProxyPreconfigured);
    ASSERT_EQ(server.Requests().size(), 5u); // a test download and the probe
    for (size_t i = 3; i < 5; ++i) EXPECT_NE(server.Requests()[i].find("If-Modified-Since"), std::string::npos);
    // Another source knows nothing of this file's time.
    EXPECT_EQ(Download(server.Url("/elsewhere.xml"), CCurrencyDownloader::kProxyPreconfigured), 1);
    EXPECT_FALSE(downloader_.RatesUnchanged());
    ASSERT_EQ(server.Requests().size(), 7u);
    EXPECT_EQ(server.Requests()[5].find("If-Modified-Since"), std::string::npos);
}

} // namespace
