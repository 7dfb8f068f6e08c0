#pragma once
// What a rates download may bring, and the rates file made of it. Three forms
// are taken, told apart by their content:
// - a rates file as the currency table reads it (section [Conversions], one
//   CODE=rate per line in U.S. dollars per unit), written as it came;
// - euro reference rates or the UN's operational rates (XML, see
//   datafiles/RatesXml.h), merged into the current rates: a currency the
//   source lists takes its rate with the source's date (a UN rate only where
//   the current one is built-in or no newer), the currencies the euro
//   replaced and those pegged to the euro follow the euro, those pegged to
//   the dollar keep their peg unless a source lists them, and every other
//   currency keeps its current rate and date, or stays marked built-in.
// Each source keeps its date and URL in [Info]: Date and Source for euro
// reference rates (or a whole rates file), UnDate and UnSource for the UN's;
// rates of another day than the file's reference date name theirs in [Dates].
// Rates older than those the file holds from the same kind of source are
// refused: a download never moves a date backwards.
// Either way the text to be written must pass CheckRatesText and
// CheckRatesAgainst the current rates (datafiles/RatesCheck.h); an answer
// that does not leaves the old rates.
#include <ctime>
#include <string>
#include <string_view>

class CIniStore;

extern const char kRatesInfoSection[];  // "Info"
extern const char kRatesDateKey[];      // "Date"
extern const char kRatesSourceKey[];    // "Source"
extern const char kRatesUnDateKey[];    // "UnDate"
extern const char kRatesUnSourceKey[];  // "UnSource"
// Section of the dates of rates of another day than the reference date
// (CODE=date), or CODE=built-in for a rate no source ever gave.
extern const char kRatesDatesSection[]; // "Dates"
extern const char kBuiltInRateMark[];   // "built-in"

// 1 when `body`, downloaded from `url`, may replace the rates file whose text
// is `currentRates` (empty when there is none); `ratesText` is then what to
// write (equal to `currentRates` when nothing changed). Otherwise 0, with
// `reason` saying in English what is wrong.
int RatesTextFromDownload(std::string_view body, std::string_view currentRates, const std::string& url,
                          std::string& ratesText, std::string& reason);

// The time to ask `url` for rates newer than (If-Modified-Since): the start
// (UTC) of the day of the rates the file holds from it, never later than
// `now`; 0 (ask for everything) when it holds none from there. A server's
// copy of that day was made after its start, so the rates of the day come
// again, but none that are newer are ever missed, whatever the clock said
// when the file was written.
std::time_t RatesAskedSince(std::string_view ratesText, const std::string& url, std::time_t now);

// The reference date of the rates, "YYYY-MM-DD": [Info] Date, else UnDate;
// empty when they give none that is a date.
std::string RatesReferenceDate(std::string_view ratesText);
std::string RatesReferenceDate(CIniStore& rates);
// Where the reference date's rates came from: [Info] Source, else UnSource.
std::string RatesSourceName(CIniStore& rates);

// The date of the rate of `code`: its own in [Dates], else the reference
// date; empty for a built-in rate (and when the rates give no date).
std::string RateDate(CIniStore& rates, const char* code);
// Whether the rate of `code` is marked as a built-in figure, no market rate
// (older releases dated those "2004-06-01").
bool RateIsBuiltIn(CIniStore& rates, const char* code);
