#pragma once
// Reading a number that comes from outside the keypad (the clipboard, the
// settings file) into the text an entry or a register holds.
#include <string>

// How the user writes numbers besides the engine's own form.
struct SNumberMarks {
    std::string groupSeparator;   // the locale's, UTF-8 ("," or "." or U+202F...)
    bool commaIsDecimal = false;  // "," is the decimal point (decimal-comma flag or locale)
};

// Reads text (UTF-8) as one number of base: an optional sign, then digits of
// the base; in base 10 also a point and an exponent ("-1,234.5e+003"). Blanks
// and group separators between digits are ignored. Returns the number as the
// engine reads it (ASCII, digits in upper case, "." as the point), or "" when
// the text is no such number or is beyond the range of doubles.
std::string ReadNumberText(const std::string& text, int base, const SNumberMarks& marks);

// 1 when text is a decimal number exactly as the engine writes it, nothing
// around it ("12", "-0.5", "1.5e+021").
bool IsPlainDecimal(const std::string& text);
