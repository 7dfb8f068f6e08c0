#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include "platform/RegionalFormat.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <ctime>

namespace {

// A decimal value as its digits on either side of the point.
struct DecimalDigits {
    bool negative = false;
    std::string intPart;    // no leading zeros ("" for zero)
    std::string fracPart;
};

// Parses [+-]digits[.digits][(e|E)[+-]digits] exactly, without going through a
// double, so that formatting never changes a digit the engine wrote.
int ParseDecimal(const std::string& text, DecimalDigits& out)
{
    size_t i = 0;
    DecimalDigits d;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) d.negative = text[i++] == '-';
    std::string digits;
    long pointPos = -1;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
        else if (c == '.' && pointPos < 0) pointPos = static_cast<long>(digits.size());
        else break;
    }
    if (digits.empty()) return 0;
    if (pointPos < 0) pointPos = static_cast<long>(digits.size());
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) expNegative = text[i++] == '-';
        size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 6)
            exponent = exponent * 10 + (text[i++] - '0');
        if (i == start) return 0;
        if (expNegative) exponent = -exponent;
    }
    if (i != text.size()) return 0;
    pointPos += exponent;
    // Beyond the double range the text is no number the calculator can show.
    if (pointPos > 400 || pointPos < -400) return 0;
    if (pointPos < 0) {
        digits.insert(0, static_cast<size_t>(-pointPos), '0');
        pointPos = 0;
    }
    if (static_cast<size_t>(pointPos) > digits.size()) digits.append(pointPos - digits.size(), '0');
    d.intPart = digits.substr(0, pointPos);
    d.fracPart = digits.substr(pointPos);
    size_t nz = d.intPart.find_first_not_of('0');
    d.intPart = nz == std::string::npos ? "" : d.intPart.substr(nz);
    out = d;
    return 1;
}

// Rounds half away from zero to `decimals` fraction digits (pads with zeros).
void RoundDigits(DecimalDigits& d, int decimals)
{
    std::string frac = d.fracPart;
    bool roundUp = frac.size() > static_cast<size_t>(decimals) && frac[decimals] >= '5';
    frac.resize(decimals, '0');
    if (roundUp) {
        std::string all = d.intPart + frac;
        int k = static_cast<int>(all.size()) - 1;
        while (k >= 0 && all[k] == '9') all[k--] = '0';
        if (k >= 0) ++all[k];
        else all.insert(0, 1, '1');
        d.intPart = all.substr(0, all.size() - decimals);
        frac = all.substr(all.size() - decimals);
    }
    d.fracPart = frac;
    if (d.intPart.find_first_not_of('0') == std::string::npos &&
        d.fracPart.find_first_not_of('0') == std::string::npos)
        d.negative = false;   // no "-0.00"
}

std::string GroupDigits(const std::string& intPart, const RegionalData& data)
{
    if (data.grouping <= 0 || intPart.size() <= static_cast<size_t>(data.grouping)) return intPart;
    std::string out;
    size_t first = intPart.size() % data.grouping;
    if (first == 0) first = data.grouping;
    out = intPart.substr(0, first);
    for (size_t i = first; i < intPart.size(); i += data.grouping)
        out += data.thousandSeparator + intPart.substr(i, data.grouping);
    return out;
}

// The unsigned number part: grouped integer digits, separator, decimals.
std::string Magnitude(const DecimalDigits& d, int decimals, const RegionalData& data)
{
    std::string text = d.intPart.empty() ? (data.leadingZero ? "0" : "") : GroupDigits(d.intPart, data);
    if (decimals > 0) text += data.decimalSeparator + d.fracPart;
    return text;
}

// '$' stands for the symbol, 'n' for the number.
const char* const kPositiveOrders[4] = {"$n", "n$", "$ n", "n $"};
const char* const kNegativeOrders[16] = {
    "($n)", "-$n", "$-n", "$n-", "(n$)", "-n$", "n-$", "n$-",
    "-n $", "-$ n", "n $-", "$ n-", "$ -n", "n- $", "($ n)", "(n $)",
};

int PositiveOrder(int csPrecedes, int sepBySpace)
{
    return (csPrecedes ? 0 : 1) + (sepBySpace ? 2 : 0);
}

// glibc describes the negative amount by three numbers; each combination
// corresponds to one of the Windows orders (the nearest one where glibc can
// say something Windows cannot).
int NegativeOrder(int csPrecedes, int sepBySpace, int signPosn)
{
    bool p = csPrecedes != 0, s = sepBySpace != 0;
    switch (signPosn) {
    case 0: return p ? (s ? 14 : 0) : (s ? 15 : 4);
    case 2: return p ? (s ? 11 : 3) : (s ? 10 : 7);
    case 3: return p ? (s ? 9 : 1) : (s ? 13 : 6);
    case 4: return p ? (s ? 12 : 2) : (s ? 10 : 7);
    default: return p ? (s ? 9 : 1) : (s ? 8 : 5);
    }
}

int LangInt(nl_item item, locale_t loc)
{
    int v = static_cast<signed char>(*nl_langinfo_l(item, loc));
    return v < 0 ? 0 : v;   // CHAR_MAX ("not given") counts as 0
}

}  // namespace

int LoadRegionalData(const char* localeName, RegionalData& out)
{
    int found = 1;
    locale_t loc = newlocale(LC_ALL_MASK, localeName ? localeName : "", static_cast<locale_t>(nullptr));
    if (!loc) loc = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK, localeName ? localeName : "",
                              static_cast<locale_t>(nullptr));
    if (!loc) {
        found = 0;
        loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        if (!loc) return 0;
    }
    RegionalData d;
    d.decimalSeparator = nl_langinfo_l(RADIXCHAR, loc);
    if (d.decimalSeparator.empty()) d.decimalSeparator = ".";
    d.thousandSeparator = nl_langinfo_l(THOUSEP, loc);
    const char* grouping = nl_langinfo_l(GROUPING, loc);
    d.grouping = (grouping[0] > 0 && grouping[0] < 127) ? grouping[0] : 0;
    if (d.thousandSeparator.empty()) d.grouping = 0;
    d.leadingZero = 1;   // glibc has no such setting; every locale writes "0.5"
    d.currencySymbol = nl_langinfo_l(__CURRENCY_SYMBOL, loc);
    d.positiveCurrencyOrder = PositiveOrder(LangInt(P_CS_PRECEDES, loc), LangInt(P_SEP_BY_SPACE, loc));
    d.negativeCurrencyOrder = NegativeOrder(LangInt(N_CS_PRECEDES, loc), LangInt(N_SEP_BY_SPACE, loc),
                                            static_cast<signed char>(*nl_langinfo_l(N_SIGN_POSN, loc)));
    if (*nl_langinfo_l(P_CS_PRECEDES, loc) == static_cast<char>(-1)) {
        // The C locale has no currency conventions: symbol first, minus in front.
        d.positiveCurrencyOrder = 0;
        d.negativeCurrencyOrder = 1;
    }
    d.currencyDecimals = 2;
    freelocale(loc);
    out = d;
    return found;
}

int FormatNumberText(const std::string& valueText, int decimals, const RegionalData& data,
                     std::string& out)
{
    DecimalDigits d;
    if (decimals < 0 || decimals > 20 || !ParseDecimal(valueText, d)) return 0;
    RoundDigits(d, decimals);
    out = (d.negative ? "-" : "") + Magnitude(d, decimals, data);
    return 1;
}

int FormatCurrencyText(const std::string& valueText, const std::string& symbol,
                       const RegionalData& data, std::string& out)
{
    DecimalDigits d;
    int decimals = data.currencyDecimals;
    if (decimals < 0 || decimals > 9 || !ParseDecimal(valueText, d)) return 0;
    if (data.positiveCurrencyOrder < 0 || data.positiveCurrencyOrder > 3) return 0;
    if (data.negativeCurrencyOrder < 0 || data.negativeCurrencyOrder > 15) return 0;
    RoundDigits(d, decimals);
    std::string number = Magnitude(d, decimals, data);
    const char* pattern = d.negative ? kNegativeOrders[data.negativeCurrencyOrder]
                                     : kPositiveOrders[data.positiveCurrencyOrder];
    std::string text;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$') text += symbol;
        else if (*p == 'n') text += number;
        else text += *p;
    }
    out = text;
    return 1;
}

size_t Utf8Length(const std::string& text)
{
    size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

int FormatShortDate(int day, int month, int year, const char* localeName, std::string& out)
{
    int found = 1;
    locale_t loc = newlocale(LC_TIME_MASK, localeName ? localeName : "", static_cast<locale_t>(nullptr));
    if (!loc) {
        found = 0;
        loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
        if (!loc) return 0;
    }
    std::tm date{};
    date.tm_mday = day;
    date.tm_mon = month - 1;
    date.tm_year = year - 1900;
    char text[64] = "";
    strftime_l(text, sizeof text, "%x", &date, loc);
    freelocale(loc);
    std::string result = text;
    if (result.size() > 19) {
        size_t cut = 19;
        while (cut > 0 && (static_cast<unsigned char>(result[cut]) & 0xC0) == 0x80) --cut;
        result.resize(cut);
    }
    out = result;
    return found;
}
