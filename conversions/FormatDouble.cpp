#include "conversions/FormatDouble.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace {

// Stored and shown numbers always use "." whatever LC_NUMERIC the process runs
// under (the window program takes the user's locale at start).
locale_t CLocale()
{
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return c;
}

// glibc writes at least two exponent digits; our texts always carry three.
std::string WidenExponent(const std::string& text)
{
    size_t e = text.find('e');
    if (e == std::string::npos || e + 2 > text.size()) return text;
    std::string digits = text.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return text.substr(0, e + 2) + digits;
}

// A small number in exponent form, written out as 0.000... when the plain
// form stays within digits + 1 characters.
std::string WriteOutSmall(const std::string& text, int digits)
{
    size_t e = text.find('e');
    int n = std::atoi(text.c_str() + text.size() - 3);
    int length = static_cast<int>(text.size());
    if (n + length - 1 >= digits + 2) return text;
    std::string mantissa;
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.') mantissa += text[i];
    return "0." + std::string(static_cast<size_t>(n - 1), '0') + mantissa;
}

} // namespace

std::string FormatDouble(double value, int digits)
{
    if (digits < 1) digits = 1;
    if (digits > 17) digits = 17;
    bool negative = std::signbit(value) && value != 0;
    double magnitude = std::fabs(value);
    char buffer[64];
    locale_t previous = CLocale() ? uselocale(CLocale()) : static_cast<locale_t>(0);
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, magnitude);
    if (previous) uselocale(previous);
    std::string text = WidenExponent(buffer);
    bool hasExponent = text.find('e') != std::string::npos;
    if (magnitude == 0 || magnitude >= 0.1 || !hasExponent) {
        if (!text.empty() && text.back() == '.') text.pop_back();
    } else {
        text = WriteOutSmall(text, digits);
    }
    return negative ? "-" + text : text;
}

double ReadNumber(const char* text)
{
    if (!text) return 0;
    // The user's regional settings must not change how stored numbers read.
    return CLocale() ? strtod_l(text, nullptr, CLocale()) : std::strtod(text, nullptr);
}

std::string ResultPart(const std::string& text, int part)
{
    size_t e = text.find('e');
    bool hasExponent = e != std::string::npos && e > 0;
    if (part == 1) {
        if (!hasExponent) return text;
        std::string mantissa = text.substr(0, e);
        if (text.size() > 11 && mantissa.size() > 11) mantissa.resize(11);
        if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
        return mantissa;
    }
    if (part == 2) {
        if (!hasExponent || text.size() < 4) return std::string();
        std::string last4 = text.substr(text.size() - 4);
        return last4[0] == '+' ? last4.substr(1) : last4;
    }
    return text;
}
