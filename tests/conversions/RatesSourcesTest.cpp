#include "TestHttpServer.h"
#include "conversions/CurrencyTable.h"
#include "datafiles/CurrencyDownloader.h"
#include "datafiles/RatesSource.h"
#include "platform/WindowMessage.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/time.h>

namespace {

// Euro reference rates of one day: USD and GBP per euro.
std::string EuroRates(const char* date, const char* usd = "1.1", const char* gbp = "0.8")
{
    return std::string("<gesmes:Envelope><Cube><Cube time='") + date + "'><Cube currency='USD' rate='" + usd +
           "'/><Cube currency='GBP' rate='" + gbp + "'/></Cube></Cube></gesmes:Envelope>";
}

// The UN's operational rates as their file has them: one row per country, values ending in a tab.
std::string UnRates(const std::string& rows)
{
    return "<?xml version=\"1.0\"?>\r\n<UN_OPERATIONAL_RATES_DATASET>\r\n" + rows + "</UN_OPERATIONAL_RATES_DATASET>";
}
std::string UnRow(const char* code, const char* rate, const char* date = "1 Dec 2026")
{
    return std::string("\t<UN_OPERATIONAL_RATES>\r\n\t\t<country_label>Somewhere\t</country_label>\r\n\t\t<f_curr_code>") +
           code + "\t</f_curr_code>\r\n\t\t<rate>" + rate + "\t</rate>\r\n\t\t<eff_date>" + date +
           "\t</eff_date>\r\n\t</UN_OPERATIONAL_RATES>\r\n";
}
// Ten rows of codes the list holds, all 2 per dollar, then `extra`.
std::string UnTable(const std::string& extra = "", const char* date = "1 Dec 2026")
{
    std::string rows;
    for (const char* code : {"CLP", "COP", "FJD", "HNL", "JMD", "MAD", "PKR", "PEN", "LKR", "TWD"})
        rows += UnRow(code, "2", date);
    return UnRates(rows + extra);
}

std::string ReadFile(const std::string& path)
{
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct Merged {
    CCurrencyTable table;
    explicit Merged(const std::string& text, const std::string& path) : table(path)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        table.Load();
    }
    double Rate(const char* code) const { return table.Rate(table.FindCode(code)); }
    std::string Date(const char* code) const { return table.RateDate(table.FindCode(code)); }
    bool BuiltIn(const char* code) const { return table.IsBuiltIn(table.FindCode(code)); }
};

class RatesSources : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "no_proxy", "NO_PROXY"})
            unsetenv(name);
        std::string folder = (std::filesystem::temp_directory_path() / "tallix-sources-XXXXXX").string();
        folder_ = mkdtemp(folder.data());
        path_ = folder_ + "/Currency.ini";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // Merges each answer in turn into the rates, from none; the last refusal in `reason`.
    std::string MergeAll(std::initializer_list<std::string> answers, std::string& reason)
    {
        std::string rates;
        for (const std::string& answer : answers) {
            std::string next;
            if (RatesTextFromDownload(answer, rates, "http://127.0.0.1/x", next, reason)) rates = next;
        }
        return rates;
    }

    std::string folder_, path_;
};

TEST_F(RatesSources, EachSourceGivesItsCurrenciesWithTheirOwnDates)
{
    std::string reason;
    const std::string rates = MergeAll({EuroRates("2026-12-04"), UnTable(UnRow("ARS", "1000", "15 Nov 2026") +
                                                                          UnRow("GBP", "0.5") + UnRow("ARS", "7"))},
                                       reason);
    Merged m(rates, path_);
    const struct { const char* code; double rate; const char* date; bool builtIn; } rows[] = {
        {"EUR", 1.1, "2026-12-04", false},       {"GBP", 1.1 / 0.8, "2026-12-04", false}, // the daily rate stays
        {"DEM", 1.1 / 1.95583, "2026-12-04", false}, {"CLP", 0.5, "2026-12-01", false},
        {"ARS", 0.001, "2026-11-15", false},     // its first row counts
        {"BSD", 1, "2026-12-04", false},         {"RUB", 0.04528, "", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_NEAR(m.Rate(row.code), row.rate, 1e-12 * row.rate);
        EXPECT_EQ(m.Date(row.code), row.date);
        EXPECT_EQ(m.BuiltIn(row.code), row.builtIn);
    }
    EXPECT_EQ(m.table.ReferenceDate(), "2026-12-04");
}

TEST_F(RatesSources, AnswersThatMakeNoSenseAreRefused)
{
    const struct { const char* what; std::string body; const char* why; } rows[] = {
        {"bad rate", UnTable(UnRow("ARS", "1e3")), "is no positive number"},
        {"zero rate", UnTable(UnRow("ARS", "0")), "is no positive number"},
        {"bad date", UnTable(UnRow("ARS", "3", "32 Dec 2026")), "is no date"},
        {"month name", UnTable(UnRow("ARS", "3", "1 Foo 2026")), "is no date"},
        {"too few", UnRates(UnRow("ARS", "3")), "only 1 currencies"},
        {"doctype", "<!DOCTYPE x [<!ENTITY a 'b'>]>" + UnTable(), "document type"},
        {"cut off", UnTable().substr(0, 400), "not well-formed"},
        {"older day", EuroRates("2026-12-03"), "older than the rates of 2026-12-04"},
        {"older month", UnTable("", "1 Nov 2026"), "older than the rates of 2026-12-01"},
        {"older file", "[Info]\nDate=2026-01-01\n[Conversions]\nUSD=1\n", "older than the rates of 2026-12-04"},
    };
    std::string reason;
    const std::string held = MergeAll({EuroRates("2026-12-04"), UnTable()}, reason);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::string text;
        EXPECT_EQ(RatesTextFromDownload(row.body, held, "http://127.0.0.1/x", text, reason), 0);
        EXPECT_NE(reason.find(row.why), std::string::npos) << reason;
    }
    std::string same;
    ASSERT_EQ(RatesTextFromDownload(EuroRates("2026-12-04"), held, "http://127.0.0.1/x", same, reason), 1);
    EXPECT_EQ(same, held); // the same day again changes nothing
}

// The day of the rates held, never a time the clock has not reached.
TEST(RatesAskedSince, IsTheStartOfTheRatesDayAndNeverLaterThanNow)
{
    const std::string rates = "[Info]\nDate=2026-12-04\nSource=http://a/\nUnDate=2026-12-01\nUnSource=http://b/\n";
    const std::time_t now = 1800000000; // 2027-01-15
    EXPECT_EQ(RatesAskedSince(rates, "http://a/", now), 1796342400); // 2026-12-04 00:00 UTC
    EXPECT_EQ(RatesAskedSince(rates, "http://b/", now), 1796083200);
    EXPECT_EQ(RatesAskedSince(rates, "http://c/", now), 0);
    EXPECT_EQ(RatesAskedSince(rates, "http://a/", 1700000000), 1700000000);
}

TEST(StaleRatesAge, SaysHowOldInDaysMonthsOrYears)
{
    const struct { const char* date; const char* today; const char* text; } rows[] = {
        {"2026-12-01", "2026-12-31", ""},          {"2026-11-01", "2026-12-08", "37 days old"},
        {"2025-03-12", "2025-12-08", "8 months old"}, {"2025-03-12", "2025-12-12", "9 months old"},
        {"2024-06-13", "2026-12-08", "2 years old"}, {"no date", "2026-12-08", ""},
    };
    for (const auto& row : rows) {
        SRatesAge age;
        EXPECT_EQ(StaleRatesAge(row.date, row.today, age) ? RatesAgeText(age) : "", row.text) << row.date;
    }
}

// The download writes the file in the case it has; the table reads that one.
TEST_F(RatesSources, TheTableReadsTheFileTheDownloadWrote)
{
    std::filesystem::create_directories(folder_ + "/currency");
    std::ofstream(folder_ + "/currency/currency.ini") << "[Conversions]\nUSD=1\nEUR=2\n";
    CCurrencyTable table(folder_ + "/Currency/Currency.ini", "/nonexistent/Currency.ini");
    EXPECT_EQ(table.Load(), 1);
    EXPECT_EQ(table.Rate(1), 2);
}

class CRecorder : public IMessageTarget {
public:
    void PostMessage(unsigned msg, intptr_t, intptr_t lParam) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (msg == kMsgDownload && lParam) outcome_ = lParam;
        done_.notify_all();
    }
    intptr_t SendMessage(unsigned, intptr_t, intptr_t) override { return 0; }
    long Outcome()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [this] { return outcome_ != 0; });
        return outcome_;
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    long outcome_ = 0;
};

long Download(CCurrencyDownloader& downloader, const std::string& urls, const std::string& path, int proxyMode = 1)
{
    CRecorder recorder;
    downloader.SetTimeout(2000);
    EXPECT_EQ(downloader.Prepare(urls.c_str(), &recorder, path.c_str()), 1);
    EXPECT_EQ(downloader.Start(1, 1, proxyMode), 1);
    const long outcome = recorder.Outcome();
    downloader.Wait();
    return outcome;
}

// Both sources in one download; one that fails or lies keeps the other's rates.
TEST_F(RatesSources, ADownloadAsksBothSourcesAndKeepsWhatEachGave)
{
    const struct { const char* what; CTestHttpServer::Mode mode; std::string body; const char* ars; } rows[] = {
        {"both answer", CTestHttpServer::kOk, UnTable(UnRow("ARS", "1000")), "2026-12-01"},
        {"UN fails", CTestHttpServer::kNotFound, "gone", ""},
        {"UN lies", CTestHttpServer::kOk, "<html><body>maintenance</body></html>", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(path_);
        CTestHttpServer ecb(CTestHttpServer::kOk, EuroRates("2026-12-04"));
        CTestHttpServer un(row.mode, row.body);
        CCurrencyDownloader downloader;
        EXPECT_EQ(Download(downloader, ecb.Url("/e.xml") + " " + un.Url("/u.xml"), path_), 1);
        ASSERT_EQ(downloader.Outcomes().size(), 2u);
        EXPECT_EQ(downloader.Outcomes()[1].status == 1, *row.ars != 0);
        Merged m(ReadFile(path_), path_);
        EXPECT_EQ(m.Date("EUR"), "2026-12-04");
        EXPECT_EQ(m.Date("ARS"), row.ars);
        EXPECT_EQ(m.BuiltIn("ARS"), *row.ars == 0);
    }
}

// A file written while the clock ran ahead makes no later download ask only
// for rates newer than a time that has not come.
TEST_F(RatesSources, NeverAsksForRatesNewerThanNow)
{
    CTestHttpServer server(CTestHttpServer::kNotModified, EuroRates("2026-12-04"));
    std::ofstream(path_) << "[Info]\nDate=2026-12-03\nSource=" << server.Url("/e.xml")
                         << "\n[Conversions]\nUSD=1\nEUR=1\n";
    const timeval ahead[2] = {{std::time(nullptr) + 400 * 86400, 0}, {std::time(nullptr) + 400 * 86400, 0}};
    ASSERT_EQ(utimes(path_.c_str(), ahead), 0);
    CCurrencyDownloader downloader;
    Download(downloader, server.Url("/e.xml"), path_);
    for (const std::string& request : server.Requests()) {
        const size_t at = request.find("If-Modified-Since: ");
        ASSERT_NE(at, std::string::npos);
        std::tm asked{};
        ASSERT_NE(strptime(request.c_str() + at + 19, "%a, %d %b %Y %H:%M:%S GMT", &asked), nullptr);
        EXPECT_LE(timegm(&asked), std::time(nullptr)) << request;
    }
}

// HTTPS goes through the proxy named for HTTPS, as curl's own tools do.
TEST_F(RatesSources, TheProxyIsChosenByScheme)
{
    CTestHttpServer httpProxy(CTestHttpServer::kOk, "");
    CTestHttpServer httpsProxy(CTestHttpServer::kOk, "");
    setenv("http_proxy", httpProxy.Url("").c_str(), 1);
    setenv("https_proxy", httpsProxy.Url("").c_str(), 1);
    CCurrencyDownloader downloader;
    Download(downloader, "https://rates.tallix.invalid/e.xml", path_, CCurrencyDownloader::kProxyNamed);
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    EXPECT_TRUE(httpProxy.Requests().empty());
    ASSERT_FALSE(httpsProxy.Requests().empty());
    EXPECT_EQ(httpsProxy.Requests()[0].rfind("CONNECT rates.tallix.invalid:443", 0), 0u);
}

} // namespace
