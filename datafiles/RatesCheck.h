#pragma once
// What a rates file must be before it may replace the one the currency table
// reads. A server's answer can be an error page, cut short, or hold rates that
// are no numbers; written over the old file, it would leave the user with
// wrong or built-in rates. The check reads the text with CIniStore exactly as
// the currency table will.
#include <string>
#include <string_view>

// The currency codes of the currency list, in its order: the keys of section
// "Conversions" of a rates file.
constexpr int kRateCodeCount = 81;
extern const char* const kRateCodes[kRateCodeCount];
// The rate of each code when no rates file names it: U.S. dollars per unit.
extern const double kBuiltInRates[kRateCodeCount];

// At least this many codes of the list must have a rate: three quarters of
// it. A server may drop a few retired currencies; an answer cut off halfway
// (44 of 81) is refused.
constexpr int kMinimumRates = 61;

// 1 when `body` may replace the rates file: section "Conversions" (the first
// one of that name, as the table reads it) gives USD the rate 1, every code of
// the list that it names has a value that is wholly a finite number above 0,
// and at least kMinimumRates codes are named. Otherwise 0, with `reason`
// saying, in English, what is wrong.
int CheckRatesText(std::string_view body, std::string& reason);

// A rate as the currency table reads it ("." whatever LC_NUMERIC says): true
// when the whole of `text` is that number.
bool ReadRateNumber(const std::string& text, double& value);
