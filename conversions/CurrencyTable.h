#pragma once
// The currency converter's model: a fixed list of 81 currencies (name, code,
// symbol), a rate per currency from the rates file "Currency/Currency.ini" in
// the program folder (section "Conversions", key = code), a from and a to
// currency, an amount and the converted result.
//
// Texts are Windows-1252 (the euro sign is byte 0x80). A rate is the value of
// one unit of the currency in U.S. dollars; a code the rates file does not
// name, or names with a rate no currency has, keeps its built-in rate.
#include <string>

struct CurrencyEntry {
    std::string symbol;       // up to 4 characters
    std::string name;         // up to 39 characters
    std::string code;         // 3 letters, also the key in the rates file
    double rate = 0;
    std::string date;         // "2024-06-13": the day the rate is of; empty when unknown or built-in
    bool builtIn = true;      // a figure of the program's own, no market rate
};

// How old rates of `date` are on `today` (both "YYYY-MM-DD"), when they are
// older than kStaleDays: in days below 60, in whole months below two years,
// else in whole years. False (nothing worth saying) for fresher rates or no date.
struct SRatesAge {
    enum Unit { kDays, kMonths, kYears };
    int count = 0;
    Unit unit = kDays;
};
constexpr int kStaleDays = 30;
bool StaleRatesAge(const std::string& date, const std::string& today, SRatesAge& age);
// "9 months old" (English; the window words it in the user's language).
std::string RatesAgeText(const SRatesAge& age);

class CCurrencyTable {
public:
    static constexpr int kCurrencies = 81;

    // The user's rates file (datafiles/UserData.h), read when it exists;
    // until then the shipped one is read.
    CCurrencyTable();
    // One file to read and replace; with `shippedPath`, the file read while
    // `ratesPath` does not exist.
    explicit CCurrencyTable(const std::string& ratesPath, const std::string& shippedPath = std::string());

    // The process-wide table, created on first use; Release destroys it.
    static CCurrencyTable* Instance();
    static void Release();

    // Rebuilds the entries from the built-in list and reads the rates file.
    // Returns 0 when the file can't be read; the entries then carry the
    // built-in rates, so converting still works. Keeps from, to, amount, result.
    int Load();
    // The date the loaded rates are valid for ("2026-12-04"), as the rates
    // file names it; empty when it names none (the shipped rates, a file
    // without the date, no file).
    const std::string& ReferenceDate() const { return m_referenceDate; }
    // The same date as numbers; 0 when there is none.
    int GetReferenceDate(int& day, int& month, int& year) const;
    int GetEntry(int index, std::string& code, std::string& name, std::string& symbol) const;
    // The rate written with six decimals; 0 for a bad index.
    int GetRateText(int index, std::string& out) const;
    double Rate(int index) const;
    // The day the rate is of ("2024-06-13"): its own date in the rates file,
    // else the file's reference date; empty for a built-in rate, when the file
    // names none, and for a bad index.
    const std::string& RateDate(int index) const;
    // Whether the rate is a built-in figure (never a market rate of a known
    // day): a code no rates file names, or one the file marks so.
    bool IsBuiltIn(int index) const;
    // Where the rates of the reference date came from (a URL), as the file
    // names it; empty when it names none.
    const std::string& Source() const { return m_source; }
    // 0 (nothing changed) for an index outside the list. The result is not recomputed.
    int SetFrom(int index);
    int SetTo(int index);
    int From() const { return m_from; }
    int To() const { return m_to; }
    // amount = the leading number of the text; then the result is recomputed.
    // A rate of 0 for either currency leaves the previous result.
    void SetAmount(const char* text);
    // Whole result text (part 0), its mantissa (1) or exponent digits (2);
    // empty for a result beyond the range of doubles.
    int GetResult(std::string& out, int part) const;
    double Result() const { return m_result; }
    int Count() const { return m_count; }
    // Index of a code, compared without regard to case; -1 when unknown.
    int FindCode(const char* code) const;
    // The file a download replaces.
    const std::string& RatesPath() const { return m_ratesPath; }
    // The file read while that one does not exist yet.
    const std::string& ShippedPath() const { return m_shippedPath; }
    // The file the next Load reads.
    std::string ReadPath() const;
    // Reads and replaces another rates file from the next Load on (a program
    // folder other than the executable's).
    void SetRatesPath(const std::string& path) { m_ratesPath = m_shippedPath = path; }

private:
    void Recompute();

    std::string m_ratesPath;
    std::string m_shippedPath;
    std::string m_referenceDate;
    std::string m_source;
    CurrencyEntry m_entries[kCurrencies];
    int m_count = 0;
    int m_from = 0;
    int m_to = 1;
    double m_amount = 0;
    double m_result = 0;
    std::string m_resultText;
};
