// The Currency options page's logic: status line, button, progress and the
// two timers, over real downloads from a server on 127.0.0.1. Time is stepped.
#include "conversions/CurrencyTable.h"
#include "datafiles/CurrencyDownloader.h"
#include "platform/RegionalFormat.h"
#include "platform/WindowMessage.h"
#include "settings/CurrencyUpdate.h"
#include "settings/SettingsStore.h"
#include "tests/conversions/TestHttpServer.h"
#include "tests/datafiles/TempFolder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <ctime>
#include <mutex>
#include <vector>

namespace {

// The page's window: keeps the download's messages until the test hands them
// to the model on its own thread, as the page's event loop would.
class CMailbox : public IMessageTarget {
public:
    void PostMessage(unsigned msg, intptr_t w, intptr_t l) override { Record(msg, w, l); }
    intptr_t SendMessage(unsigned msg, intptr_t w, intptr_t l) override
    {
        Record(msg, w, l);
        return 0;
    }
    // Waits for the outcome, then delivers everything received in order.
    void DeliverUntilOutcome(CCurrencyUpdate& update)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_arrived.wait(lock, [this] { return m_ended; });
        for (auto [w, l] : m_messages) update.OnDownloadMessage(w, l);
        m_messages.clear();
        m_ended = false;
    }

private:
    void Record(unsigned msg, intptr_t w, intptr_t l)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (msg != kMsgDownload) return;
        m_messages.emplace_back(w, l);
        if (l > 0) m_ended = true;
        m_arrived.notify_all();
    }
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<std::pair<intptr_t, intptr_t>> m_messages;
    bool m_ended = false;
};

std::string ShippedRates()
{
    const char* source = std::getenv("TALLIX_SOURCE_DIR");
    return TempFolder::Read(std::string(source ? source : ".") + "/resources/Currency/Currency.ini");
}

// What the status line adds for the shipped rates (and rates made from them).
const char kShippedRatesOf[] = " \xE2\x80\x93 Rates of 06/13/2024";

std::string Today(const char* locale)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string text;
    FormatShortDate(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900, locale, text);
    return "Last Update: " + text;
}

class CurrencyUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
        CSettingsStore& settings = CSettingsStore::Instance();
        settings.ApplyDefaults(CSettingsStore::kDownloadDate);
        settings.SetUseProxy(CCurrencyDownloader::kProxyPreconfigured);
        settings.SetDownloadSucceeded(0);
        table->SetRatesPath(folder.Write("Currency.ini", ShippedRates()));
        table->Load();
    }
    void TearDown() override
    {
        CCurrencyDownloader::Instance()->Wait();
        unsetenv(CCurrencyDownloader::kUrlVariable);
    }
    // Points the download at url and presses Update Now.
    int Start(const std::string& url)
    {
        setenv(CCurrencyDownloader::kUrlVariable, url.c_str(), 1);
        return update.UpdateNow();
    }

    TempFolder folder;
    CCurrencyTable* table = CCurrencyTable::Instance();
    CMailbox window;
    CCurrencyUpdate update{&window};
};

TEST_F(CurrencyUpdateTest, StatusLineShowsTheStoredDateInTheShortDateFormat)
{
    // Rates that name the date they are valid for show it too.
    const char* const dated = "[Info]\nDate=2026-12-04\n";
    const struct {
        const char* locale;
        const char* info;
        const char* shown;
    } rows[] = {
        {"en_US.UTF-8", "", "Last Update: 06/01/2004 \xE2\x80\x93 Rates of 06/13/2024"}, // the shipped rates' date
        {"de_DE.UTF-8", "", "Last Update: 01.06.2004 \xE2\x80\x93 Rates of 13.06.2024"},
        {"en_US.UTF-8", dated, "Last Update: 06/01/2004 \xE2\x80\x93 Rates of 12/04/2026"},
        {"de_DE.UTF-8", dated, "Last Update: 01.06.2004 \xE2\x80\x93 Rates of 04.12.2026"},
    };
    for (const auto& row : rows) {
        std::string probe;
        if (!FormatShortDate(1, 1, 2000, row.locale, probe)) continue;  // locale not generated here
        table->SetRatesPath(folder.Write("Currency.ini", row.info + ShippedRates()));
        table->Load();
        update.SetDateLocale(row.locale);
        update.Init();
        EXPECT_EQ(update.StatusText(), row.shown);
        EXPECT_EQ(update.Progress(), 0);
    }
}

TEST_F(CurrencyUpdateTest, OutcomeShowsForTwoAndAHalfSecondsThenTheDate)
{
    std::string rates = ShippedRates();
    rates.replace(rates.find("EUR=1.0784"), 10, "EUR=2.5");
    CTestHttpServer server(CTestHttpServer::kOk, rates);
    CTestHttpServer html(CTestHttpServer::kOk, "<!DOCTYPE html><html><body>Sign in</body></html>");
    CTestHttpServer missing(CTestHttpServer::kNotFound, "no such page");
    CTestHttpServer silent(CTestHttpServer::kSilent, "");
    const std::string blocked = folder.Write("not-a-folder", "");
    const struct {
        const char* what;
        std::string url;
        const char* during;   // status line after the outcome
        int progress;
        double eurRate;
        bool today;
        std::string ratesPath; // empty: the usual one
    } rows[] = {
        {"success", server.Url(), "Downloading Currency...", 100, 2.5, true, ""},
        {"no connection", "http://127.0.0.1:" + std::to_string(CTestHttpServer::ClosedPort()) + "/currency.ini",
         "Unable to connect to the Internet", 0, 1.0784, false, ""},
        {"an HTML page", html.Url(), "The download was not a usable rates file", 0, 1.0784, false, ""},
        {"an error answer", missing.Url(), "The rates server answered with an error", 0, 1.0784, false, ""},
        {"no answer", silent.Url(), "The rates server did not answer in time", 0, 1.0784, false, ""},
        {"a file that can't be written", server.Url(), "The rates could not be saved", 0, 1.0784, false,
         blocked + "/Currency.ini"},
    };
    CCurrencyDownloader::Instance()->SetTimeout(300);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        if (!row.ratesPath.empty()) table->SetRatesPath(row.ratesPath);
        update.SetDateLocale("en_US.UTF-8");
        update.Init();
        const int version = update.RatesVersion();
        ASSERT_EQ(Start(row.url), 1);
        EXPECT_EQ(update.StatusText(), "Downloading Currency...");
        EXPECT_FALSE(update.ButtonEnabled());
        window.DeliverUntilOutcome(update);
        EXPECT_EQ(update.StatusText(), row.during);
        EXPECT_EQ(update.Progress(), row.progress);
        EXPECT_EQ(update.RatesVersion() != version, row.today);
        EXPECT_EQ(CSettingsStore::Instance().DownloadSucceeded(), row.today ? 1 : 0);
        EXPECT_DOUBLE_EQ(table->Rate(table->FindCode("EUR")), row.eurRate);
        update.Advance(CCurrencyUpdate::kResultMs - 1);
        EXPECT_FALSE(update.ButtonEnabled());
        update.Advance(1);
        EXPECT_TRUE(update.ButtonEnabled());
        EXPECT_EQ(update.Progress(), 0);
        EXPECT_EQ(update.StatusText(), (row.today ? Today("en_US.UTF-8") : "Last Update: 06/01/2004") + kShippedRatesOf);
        CCurrencyDownloader::Instance()->Wait();
    }
    CCurrencyDownloader::Instance()->SetTimeout(0);
}

TEST_F(CurrencyUpdateTest, OneLongStepRunsTheWatchdogAndThenTheResultTimer)
{
    update.SetDateLocale("en_US.UTF-8");
    ASSERT_EQ(Start("http://127.0.0.1:" + std::to_string(CTestHttpServer::ClosedPort()) + "/currency.ini"), 1);
    EXPECT_EQ(update.NextDueMs(), CCurrencyUpdate::kWatchdogMs);
    update.Advance(CCurrencyUpdate::kWatchdogMs);
    EXPECT_EQ(update.StatusText(), "The rates server did not answer in time");
    update.Advance(CCurrencyUpdate::kResultMs);
    EXPECT_EQ(update.StatusText(), std::string("Last Update: 06/01/2004") + kShippedRatesOf);
    EXPECT_EQ(update.NextDueMs(), -1);
    window.DeliverUntilOutcome(update);
    EXPECT_EQ(update.StatusText(), "Unable to connect to the Internet");
    EXPECT_EQ(update.NextDueMs(), CCurrencyUpdate::kResultMs);
}

}  // namespace
