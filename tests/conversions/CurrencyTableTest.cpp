#include "conversions/CurrencyTable.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

TEST(CurrencyTable, ShippedRatesMatchTheBuiltInList)
{
    CCurrencyTable shipped(ShippedRates());
    CCurrencyTable builtIn("/nonexistent/Currency.ini");
    ASSERT_EQ(shipped.Load(), 1);
    EXPECT_EQ(builtIn.Load(), 0);
    for (int i = 0; i < 81; ++i) EXPECT_DOUBLE_EQ(shipped.Rate(i), builtIn.Rate(i)) << i;
    EXPECT_EQ(Convert(builtIn, 0, 1, "100"), "60.875388080599"); // still converts
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
    {7, "BBD", "Barbados Dollar", "BD$", "0.505051"},
    {43, "JPY", "Japanese Yen", "\xA5", "0.012325"},
    {59, "PEN", "Peruvian New Sol", "S/. ", "0.382300"},
    {69, "ZAR", "South African Rand", "R ", "0.191900"},
    {80, "VEB", "Venezuelan Bolivar", "bs", "0.000829"},
};

TEST(CurrencyTable, EntriesKeepTheirTextsExactly)
{
    CCurrencyTable table(ShippedRates());
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
    const int recognised = CCurrencyTable::IsRatesText("[Conversions]\nEUR=.5\n");
    std::setlocale(LC_NUMERIC, restore.c_str());
    EXPECT_DOUBLE_EQ(eur, 1.2);
    EXPECT_EQ(rate, "1.200000");
    EXPECT_EQ(result, "83.3333333333333");
    EXPECT_EQ(recognised, 1);
}

TEST(CurrencyTable, RecognisesRatesFiles)
{
    struct { const char* body; int expected; } rows[] = {
        {"[Conversions]\nEUR=1.2\n", 1},
        {"[conversions]\r\n  eur = 1.2\r\n", 1},
        {"[Other]\nEUR=1.2\n", 0},
        {"[Conversions]\nXYZ=1.2\n", 0},
        {"[Conversions]\nEUR=abc\n", 0},
        {"<html><body>Not Found</body></html>", 0},
        {"", 0},
    };
    for (auto& row : rows) EXPECT_EQ(CCurrencyTable::IsRatesText(row.body), row.expected) << row.body;
}

} // namespace
