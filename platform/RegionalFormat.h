#pragma once
// The user's regional number and currency conventions, and the two formatting
// rules that apply them (grouping, leading zero, decimal places, and the 4
// positive and 16 negative currency orders of the Windows currency format).
//
// Separators and symbols are UTF-8: some locales use characters that have no
// Windows-1252 byte (U+202F NARROW NO-BREAK SPACE as the French group
// separator). Value texts are plain decimal numbers in ASCII.
#include <string>

struct RegionalData {
    std::string decimalSeparator = ".";
    std::string thousandSeparator = ",";
    int grouping = 3;          // digits per group; 0 means no grouping
    int leadingZero = 1;       // 1 writes "0.5", 0 writes ".5"
    std::string currencySymbol = "$";
    int positiveCurrencyOrder = 0;   // 0 "$1.1", 1 "1.1$", 2 "$ 1.1", 3 "1.1 $"
    int negativeCurrencyOrder = 0;   // 0 to 15, as the Windows currency format
    int currencyDecimals = 2;
};

// Reads the conventions of the named glibc locale ("" is the user's default
// from LC_ALL / LC_NUMERIC / LC_MONETARY / LANG). Returns 1; 0 when the locale
// is not installed, and then out holds the "C" locale's conventions.
int LoadRegionalData(const char* localeName, RegionalData& out);

// Writes a decimal value text ("-1234567.5", "0.25", "1e5") with the given
// number of decimals (rounded half away from zero), the grouping, separators and
// leading zero of data, and a leading "-" for negatives. Returns 1, or 0 (out
// untouched) when the text is not a finite decimal number or decimals is
// outside 0 to 20.
int FormatNumberText(const std::string& valueText, int decimals, const RegionalData& data,
                     std::string& out);

// Writes a value text as a currency amount: data.currencyDecimals decimals,
// grouping, separators, leading zero, and symbol (UTF-8) placed by the positive
// or negative currency order of data. Returns 1, or 0 (out untouched) for a
// text that is not a finite decimal number or an order out of range.
int FormatCurrencyText(const std::string& valueText, const std::string& symbol,
                       const RegionalData& data, std::string& out);

// Number of characters (code points) of a UTF-8 text.
size_t Utf8Length(const std::string& text);

// Writes a date as the locale's short date (its "%x" format: "06/01/2004" in
// en_US, "01.06.2004" in de_DE), at most 19 bytes, cut on a character
// boundary. localeName "" is the user's (LC_ALL, LC_TIME, LANG). Returns 1;
// 0 when the locale is not installed, and then out holds the C locale's form.
int FormatShortDate(int day, int month, int year, const char* localeName, std::string& out);
