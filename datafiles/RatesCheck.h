#pragma once
// What a rates file must be before it may replace the one the currency table
// reads. A server's answer can be an error page, cut short, or hold rates that
// are no numbers; written over the old file, it would leave the user with
// wrong or built-in rates. The check reads the text with CIniStore exactly as
// the currency table will.
#include <string>
#include <string_view>

class CIniStore;

// The currency codes of the currency list, in its order: the keys of section
// "Conversions" of a rates file.
constexpr int kRateCodeCount = 81;
extern const char* const kRateCodes[kRateCodeCount];
// The rate of each code when no rates file names it: U.S. dollars per unit.
extern const double kBuiltInRates[kRateCodeCount];

// The date of the built-in rates and of the shipped rates file, which holds
// the same figures.
extern const char kBuiltInRatesDate[]; // "2004-06-01"

// Currencies whose rate follows from another's: those the euro replaced, by
// their irrevocable conversion rates, and those pegged to the euro or the
// U.S. dollar, at their pegs.
struct SFixedRate {
    const char* code;
    const char* anchor; // "EUR" or "USD"
    double perAnchor;   // units of `code` in one unit of the anchor
};
extern const SFixedRate kFixedRates[];
extern const int kFixedRateCount;

// The plausible range of a rate in U.S. dollars per unit, and the most a
// rate may move against the rates it replaces (either way): far beyond any
// market, yet refusing answers like 1e308 or 4e-320.
constexpr double kMinPlausibleRate = 1e-15;
constexpr double kMaxPlausibleRate = 1e6;
constexpr double kMaxRateChange = 1e5;

// At least this many codes of the list must have a rate: three quarters of
// it. A server may drop a few retired currencies; an answer cut off halfway
// (44 of 81) is refused.
constexpr int kMinimumRates = 61;

// 1 when `body` may replace the rates file: section "Conversions" (the first
// one of that name, as the table reads it) gives USD the rate 1, every code of
// the list that it names has a value that is wholly a number in the plausible
// range, and at least kMinimumRates codes are named. Otherwise 0, with `reason`
// saying, in English, what is wrong.
int CheckRatesText(std::string_view body, std::string& reason);

// 1 when no rate of the rates file `body` moved more than kMaxRateChange-fold
// from the rate of the same code in `previous` (the rates file replaced; the
// built-in rate where it names none that is plausible). Otherwise 0, with
// `reason` saying in English which rate.
int CheckRatesAgainst(std::string_view body, std::string_view previous, std::string& reason);

// The rate of `code` in section "Conversions" of `rates` when it is a
// plausible one; else false.
bool PlausibleRate(CIniStore& rates, const char* code, double& rate);

// A rate as the currency table reads it ("." whatever LC_NUMERIC says): true
// when the whole of `text` is that number.
bool ReadRateNumber(const std::string& text, double& value);
