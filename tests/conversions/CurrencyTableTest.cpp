#include "conversions/CurrencyTable.h"
#include "datafiles/RatesCheck.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

class TempRatesFile {
public:
    explicit TempRatesFile(const std::string& content)
    {
        std::string name = (std::filesystem::temp_directory_path() / "tallix-rates-XXXXXX").string();
        int fd = mkstemp(name.data());
        close(fd);
        path_ = name;
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TempRatesFile() { std::remove(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string ShippedRates()
{
    const char* dir = std::getenv("TALLIX_SOURCE_DIR");
    return std::string(dir ? dir : ".") + "/resources/Currency/Currency.ini";
}

// A rates file naming the first `count` codes of the list: USD 1, the others 0.5.
std::string RatesBody(int count = kRateCodeCount)
{
    std::string body = "[Conversions]\r\n";
    for (int i = 0; i < count; ++i) body += std::string(kRateCodes[i]) + (i == 0 ? "=1\r\n" : "=0.5\r\n");
    return body;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string Convert(CCurrencyTable& table, int from, int to, const char* amount)
{
    table.SetFrom(from);
    table.SetTo(to);
    table.SetAmount(amount);
    std::string out;
    table.GetResult(out, 0);
    return out;
}

TEST(CurrencyTable, RatesFileOverridesOnlyTheCodesItNames)
{
    TempRatesFile file("[Conversions]\r\nEUR=1.2\r\n");
    CCurrencyTable table(file.Path());
    ASSERT_EQ(table.Load(), 1);
    EXPECT_EQ(table.Count(), 81);
    EXPECT_DOUBLE_EQ(table.Rate(1), 1.2);
    EXPECT_DOUBLE_EQ(table.Rate(32), 2.3371); // GBP keeps its built-in rate
    EXPECT_DOUBLE_EQ(table.Rate(0), 1);
    EXPECT_EQ(Convert(table, 0, 1, "100"), "83.3333333333333");
    EXPECT_EQ(Convert(table, 32, 32, "12.5"), "12.5");
    EXPECT_EQ(Convert(table, 0, 32, "2.3371"), "1");
}

// The shipped rates are the euro reference rates of one day; what the bank
// does not list keeps the built-in figure and says it is one.
TEST(CurrencyTable, ShippedRatesAreMarketRatesOfTheirDay)
{
    CCurrencyTable shipped(ShippedRates());
    CCurrencyTable builtIn("/nonexistent/Currency.ini");
    ASSERT_EQ(shipped.Load(), 1);
    EXPECT_EQ(builtIn.Load(), 0);
    EXPECT_EQ(Convert(builtIn, 0, 1, "100"), "60.875388080599"); // still converts
    EXPECT_EQ(Convert(shipped, 1, 0, "100"), "107.84");         // 1 EUR = 1.0784 USD on 13 June 2024
    for (int i = 0; i < 81; ++i) {
        EXPECT_TRUE(builtIn.IsBuiltIn(i) && builtIn.RateDate(i).empty()) << i;
        if (shipped.IsBuiltIn(i)) EXPECT_DOUBLE_EQ(shipped.Rate(i), builtIn.Rate(i)) << i;
        else EXPECT_EQ(shipped.RateDate(i), "2024-06-13") << i;
    }
    EXPECT_TRUE(shipped.IsBuiltIn(shipped.FindCode("ARS")));
    EXPECT_FALSE(shipped.IsBuiltIn(shipped.FindCode("GBP")));
}

struct EntryRow {
    int index;
    const char* code;
    const char* name;
    const char* symbol;
    const char* rateText;
};

const EntryRow kEntries[] = {
    {0, "USD", "United States Dollar", "$", "1.000000"},
    {1, "EUR", "European Monetary Union", "\x80", "1.642700"},
    {7, "BBD", "Barbados Dollar", "BD$", "0.500000"},
    {43, "JPY", "Japanese Yen", "\xA5", "0.012325"},
    {59, "PEN", "Peruvian New Sol", "S/. ", "0.382300"},
    {69, "ZAR", "South African Rand", "R ", "0.191900"},
    {80, "VEB", "Venezuelan Bolivar", "bs", "0.000829"},
};

TEST(CurrencyTable, EntriesKeepTheirTextsExactly)
{
    CCurrencyTable table("/nonexistent/Currency.ini"); // the built-in figures
    table.Load();
    for (const EntryRow& row : kEntries) {
        std::string code, name, symbol, rate;
        ASSERT_EQ(table.GetEntry(row.index, code, name, symbol), 1);
        EXPECT_EQ(code, row.code);
        EXPECT_EQ(name, row.name);
        EXPECT_EQ(symbol, row.symbol);
        EXPECT_EQ(table.GetRateText(row.index, rate), 1);
        EXPECT_EQ(rate, row.rateText);
    }
    std::string code, name, symbol, rate;
    for (int bad : {-1, 81, 84}) {
        EXPECT_EQ(table.GetEntry(bad, code, name, symbol), 0) << bad;
        EXPECT_EQ(table.GetRateText(bad, rate), 0) << bad;
        EXPECT_EQ(table.SetFrom(bad), 0) << bad;
        EXPECT_EQ(table.SetTo(bad), 0) << bad;
    }
    EXPECT_EQ(table.FindCode("gbp"), 32);
    EXPECT_EQ(table.FindCode("XYZ"), -1);
}

TEST(CurrencyTable, ZeroRatesLeaveThePreviousResult)
{
    TempRatesFile file("[Conversions]\nUSD=1\nEUR=0\nGBP=abc\nJPY = 2\n[Other]\nCAD=5\n");
    CCurrencyTable table(file.Path());
    ASSERT_EQ(table.Load(), 1);
    EXPECT_EQ(table.Rate(32), 0);          // text that is no number reads as 0
    EXPECT_DOUBLE_EQ(table.Rate(12), 0.74); // other sections are ignored
    EXPECT_EQ(Convert(table, 0, 43, "10"), "5");
    EXPECT_EQ(Convert(table, 0, 1, "100"), "5");  // to rate 0: unchanged
    EXPECT_EQ(Convert(table, 32, 0, "100"), "5"); // from rate 0: unchanged
    std::string mantissa;
    table.GetResult(mantissa, 1);
    EXPECT_EQ(mantissa, "5");
}

TEST(CurrencyTable, ReloadKeepsTheSelection)
{
    TempRatesFile file("[Conversions]\nEUR=2\n");
    CCurrencyTable table(file.Path());
    table.Load();
    EXPECT_EQ(Convert(table, 0, 1, "10"), "5");
    std::ofstream(file.Path(), std::ios::trunc) << "[Conversions]\nEUR=4\n";
    table.Load();
    EXPECT_EQ(table.From(), 0);
    EXPECT_EQ(table.To(), 1);
    std::string out;
    table.GetResult(out, 0);
    EXPECT_EQ(out, "5"); // recomputed only by the next amount
    table.SetAmount("10");
    table.GetResult(out, 0);
    EXPECT_EQ(out, "2.5");
}

// The window program runs under the user's LC_NUMERIC; rates files and rate
// texts keep the "." all the same.
TEST(CurrencyTable, ACommaLocaleChangesNoNumber)
{
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    std::string restore = saved ? saved : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    TempRatesFile file("[Conversions]\r\nEUR=1.2\r\n");
    CCurrencyTable table(file.Path());
    table.Load();
    std::string rate;
    table.GetRateText(1, rate);
    const double eur = table.Rate(1);
    const std::string result = Convert(table, 0, 1, "100");
    std::string reason;
    const int recognised = CheckRatesText(Replaced(RatesBody(), "EUR=0.5", "EUR=.5"), reason);
    std::setlocale(LC_NUMERIC, restore.c_str());
    EXPECT_DOUBLE_EQ(eur, 1.2);
    EXPECT_EQ(rate, "1.200000");
    EXPECT_EQ(result, "83.3333333333333");
    EXPECT_EQ(recognised, 1);
}

// The date the rates are valid for, as a downloaded file names it; rates
// without a date (the shipped ones) name none.
TEST(CurrencyTable, NamesTheDateOfItsRates)
{
    const struct {
        const char* info;
        const char* date;
    } rows[] = {
        {"[Info]\r\nDate=2026-12-04\r\n", "2026-12-04"},
        {"[info]\r\ndate = 2024-02-29\r\n", "2024-02-29"},
        {"", ""},
        {"[Info]\r\nDate=2025-02-29\r\n", ""},
        {"[Info]\r\nDate=2026-13-01\r\n", ""},
        {"[Info]\r\nDate=4.12.2026\r\n", ""},
        {"[Info]\r\nDate=2026-12-04 16:00\r\n", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.info);
        TempRatesFile file(std::string(row.info) + "[Conversions]\r\nEUR=1.2\r\n");
        CCurrencyTable table(file.Path());
        ASSERT_EQ(table.Load(), 1);
        EXPECT_EQ(table.ReferenceDate(), row.date);
        EXPECT_DOUBLE_EQ(table.Rate(1), 1.2);
    }
    CCurrencyTable shipped(ShippedRates());
    shipped.Load();
    EXPECT_EQ(shipped.ReferenceDate(), "2024-06-13");
}

// One table of one date: what follows from another rate is that rate by its
// fixed conversion rate or peg (1 EUR is 1.95583 DEM; 1 BSD is 1 USD).
TEST(CurrencyTable, ShippedRatesAreConsistent)
{
    CCurrencyTable table(ShippedRates());
    ASSERT_EQ(table.Load(), 1);
    for (int f = 0; f < kFixedRateCount; ++f) {
        const SFixedRate& fixed = kFixedRates[f];
        if (std::string(fixed.code) == "HKD") continue; // the bank lists it: its market rate counts
        const double expected = table.Rate(table.FindCode(fixed.anchor)) / fixed.perAnchor;
        EXPECT_NEAR(table.Rate(table.FindCode(fixed.code)), expected, 1e-15 * expected) << fixed.code;
        EXPECT_EQ(table.RateDate(table.FindCode(fixed.code)), "2024-06-13");
    }
    const struct { const char* amount; const char* from; const char* to; const char* result; } rows[] = {
        {"1", "EUR", "DEM", "1.95583"}, {"1", "EUR", "FRF", "6.55957"}, {"100", "BSD", "USD", "100"},
        {"100", "PAB", "USD", "100"},   {"2", "BBD", "USD", "1"},       {"1", "EUR", "XOF", "655.957"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Convert(table, table.FindCode(row.from), table.FindCode(row.to), row.amount), row.result)
            << row.from << " " << row.to;
}

// A rate keeps the date it is of: its own, the file's, or the built-in one.
TEST(CurrencyTable, EachRateNamesItsDate)
{
    TempRatesFile file("[Info]\nDate=2026-12-04\n[Conversions]\nEUR=1.2\nARS=0.001\nCLP=0.001\n"
                       "[Dates]\nARS=2019-03-01\nCLP=no date\n");
    CCurrencyTable table(file.Path());
    ASSERT_EQ(table.Load(), 1);
    const struct { const char* code; const char* date; } rows[] = {
        {"EUR", "2026-12-04"}, {"ARS", "2019-03-01"}, {"CLP", "2026-12-04"}, {"GBP", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(table.RateDate(table.FindCode(row.code)), row.date) << row.code;
    EXPECT_EQ(table.RateDate(81), "");
}

// A rate no currency has is not taken from the file: the built-in one stays.
TEST(CurrencyTable, ImplausibleRatesAreNotTaken)
{
    const struct { const char* eur; double rate; } rows[] = {
        {"1e308", 1.6427}, {"4e-320", 1.6427}, {"-2", 1.6427}, {"inf", 1.6427}, {"2e6", 1.6427},
        {"1.1", 1.1},      {"0", 0},          {"abc", 0},
    };
    for (const auto& row : rows) {
        TempRatesFile file(std::string("[Conversions]\nEUR=") + row.eur + "\n");
        CCurrencyTable table(file.Path());
        table.Load();
        EXPECT_DOUBLE_EQ(table.Rate(1), row.rate) << row.eur;
    }
    // Nor is an infinite amount shown as one.
    CCurrencyTable table(ShippedRates());
    table.Load();
    EXPECT_EQ(Convert(table, 1, 0, "1.7e308"), "");
}

// Only a body the table will read as good rates may replace the rates file.
TEST(CurrencyTable, RecognisesRatesFiles)
{
    const std::string good = RatesBody();
    std::ifstream shipped(ShippedRates(), std::ios::binary);
    const std::string shippedText((std::istreambuf_iterator<char>(shipped)), std::istreambuf_iterator<char>());
    struct { const char* what; std::string body; int expected; } rows[] = {
        {"every code", good, 1},
        {"the shipped file", shippedText, 1},
        {"names in any case, blanks around", Replaced(Replaced(good, "[Conversions]", "[conversions]"), "EUR=0.5", "  eur = 0.5 "), 1},
        {"three quarters of the list", RatesBody(kMinimumRates), 1},
        {"fewer", RatesBody(kMinimumRates - 1), 0},
        {"cut off halfway", RatesBody(44), 0},
        {"cut inside a value", RatesBody(44).substr(0, RatesBody(44).size() - 4), 0},
        {"a spaced header", Replaced(good, "[Conversions]", "[ Conversions ]"), 0},
        {"text after the header", Replaced(good, "[Conversions]", "[Conversions] rates"), 0},
        {"two blank lines first", "; rates\r\n\r\n\r\n" + good, 0},
        {"an empty section first", "[Conversions]\r\n" + good, 0},
        {"other section", Replaced(good, "[Conversions]", "[Other]"), 0},
        {"no USD", Replaced(good, "USD=1\r\n", ""), 0},
        {"USD not 1", Replaced(good, "USD=1\r\n", "USD=2\r\n"), 0},
        {"letters", Replaced(good, "EUR=0.5", "EUR=abc"), 0},
        {"number and letters", Replaced(good, "EUR=0.5", "EUR=0.5x"), 0},
        {"empty value", Replaced(good, "GBP=0.5", "GBP="), 0},
        {"negative", Replaced(good, "EUR=0.5", "EUR=-5"), 0},
        {"zero", Replaced(good, "GBP=0.5", "GBP=0"), 0},
        {"not a number", Replaced(good, "EUR=0.5", "EUR=nan"), 0},
        {"infinite", Replaced(good, "USD=1", "USD=inf"), 0},
        {"too large", Replaced(good, "JPY=0.5", "JPY=1e400"), 0},
        {"no currency is worth that", Replaced(good, "JPY=0.5", "JPY=1e308"), 0},
        {"nor that little", Replaced(good, "JPY=0.5", "JPY=4e-320"), 0},
        {"unknown codes only", "[Conversions]\nXYZ=2\n", 0},
        {"an error page", "<html><body>Not Found</body></html>", 0},
        {"empty", "", 0},
    };
    for (auto& row : rows) {
        std::string reason;
        EXPECT_EQ(CheckRatesText(row.body, reason), row.expected) << row.what;
        EXPECT_EQ(reason.empty(), row.expected == 1) << row.what << ": " << reason;
    }
}

} // namespace
