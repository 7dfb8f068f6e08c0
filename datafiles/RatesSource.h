#pragma once
// What a rates download may bring, and the rates file made of it. Two forms
// are taken, told apart by their content:
// - a rates file as the currency table reads it (section [Conversions], one
//   CODE=rate per line in U.S. dollars per unit), written as it came;
// - euro reference rates as a central bank publishes them every working day:
//   XML in which an element Cube with a time attribute (the reference date,
//   "2026-12-04") holds elements Cube with the attributes currency and rate,
//   in units per euro. They become a rates file: EUR = the USD rate, a listed
//   currency X = USD rate / X rate, the currencies the euro replaced follow
//   from EUR by their fixed conversion rates, pegged currencies the source
//   does not list follow their peg (kFixedRates), and any other currency the
//   source does not list keeps its current rate (the built-in one when the
//   current rates name none) with that rate's date in [Dates]. The reference
//   date and the URL are kept in the file as [Info] Date and Source, which
//   the table does not read as rates.
// Either way the text to be written must pass CheckRatesText and
// CheckRatesAgainst the current rates (datafiles/RatesCheck.h); an answer
// that does not leaves the old rates.
#include <string>
#include <string_view>

class CIniStore;

// Where a rates file keeps the date its rates are valid for and the URL
// they came from.
extern const char kRatesInfoSection[]; // "Info"
extern const char kRatesDateKey[];     // "Date"
extern const char kRatesSourceKey[];   // "Source"
// Section of the dates of rates older than the reference date (CODE=date):
// those the source did not give, kept from the rates before.
extern const char kRatesDatesSection[]; // "Dates"

// 1 when `body`, downloaded from `url`, may replace the rates file whose text
// is `currentRates` (empty when there is none); `ratesText` is then what to
// write. Otherwise 0, with `reason` saying in English what is wrong.
int RatesTextFromDownload(std::string_view body, std::string_view currentRates, const std::string& url,
                          std::string& ratesText, std::string& reason);

// Whether rates are dated and came from `url`: only then does the time their
// file was written say whether that source has newer ones.
bool RatesCameFrom(std::string_view ratesText, const std::string& url);

// The reference date rates give in [Info] Date, as "YYYY-MM-DD"; empty when
// they give none that is a date.
std::string RatesReferenceDate(std::string_view ratesText);
std::string RatesReferenceDate(CIniStore& rates);

// The date of the rate of `code`: its own in [Dates], else the reference date
// (empty when the rates give none).
std::string RateDate(CIniStore& rates, const char* code);
