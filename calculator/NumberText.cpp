#include "calculator/NumberText.h"

#include "platform/TextCodec.h"
#include "strings/Language.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

CNumberText* g_numberText = nullptr;

const int kStrDisplayTooLarge = 379;
const int kStrSyntaxError = 380;
const int kStrImaginary = 381;
const int kStrInfinity = 382;

// The translated text of a string-table entry; the English copy, then the
// fallback, when the current language lacks it.
std::string ResText(int id, const char* fallback)
{
    std::string text;
    if (LoadResString(LocalizedId(id), text) || LoadResString(id, text)) return text;
    return fallback;
}

int ErrorWordId(const std::string& text)
{
    if (text == "syntax error") return kStrSyntaxError;
    if (text == "infinity") return kStrInfinity;
    if (text == "imaginary") return kStrImaginary;
    return 0;
}

// Locale-independent: the window program runs under the user's LC_NUMERIC.
double ValueOf(const std::string& text)
{
    double v = 0.0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+') ++begin;
    std::from_chars(begin, text.data() + text.size(), v);
    return v;
}

// Byte offset of the character at index chars of a UTF-8 text.
size_t ByteOffset(const std::string& text, size_t chars)
{
    size_t i = 0;
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars-- == 0) break;
    }
    return i;
}

std::string CutChars(const std::string& text, long chars)
{
    if (chars < 0) chars = 0;
    return text.substr(0, ByteOffset(text, static_cast<size_t>(chars)));
}

// Where an exponent part ("e+002", "e-015") begins; npos when there is none.
size_t ExponentPos(const std::string& text)
{
    size_t e = text.rfind('e');
    if (e == std::string::npos || e + 2 >= text.size()) return std::string::npos;
    if (text[e + 1] != '+' && text[e + 1] != '-') return std::string::npos;
    // Doubles need three digits; four leave room for Engineering's shift.
    if (text.size() - e - 2 > 4) return std::string::npos;
    for (size_t i = e + 2; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return std::string::npos;
    return e;
}

std::string ExponentSuffix(bool negative, int magnitude)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "e%c%03d", negative ? '-' : '+', magnitude);
    return buf;
}

struct Signed {
    std::string sign;
    std::string body;
};

Signed SplitSign(const std::string& text)
{
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) return {text.substr(0, 1), text.substr(1)};
    return {"", text};
}

std::string Scientific(const std::string& text)
{
    if (ExponentPos(text) != std::string::npos) return text;
    Signed s = SplitSign(text);
    size_t point = s.body.find('.');
    if (point == std::string::npos) point = s.body.size();
    std::string digits = s.body;
    if (point < digits.size()) digits.erase(point, 1);
    if (digits.size() <= 1) return s.sign + digits;
    int exponent;
    bool negative;
    if (std::fabs(ValueOf(text)) >= 1.0) {
        exponent = static_cast<int>(point) - 1;
        negative = false;
    } else {
        size_t zeros = digits.find_first_not_of('0');
        // Zero has no exponent to show: the text stays as typed ("0.0", "0.00"),
        // as in Normal notation.
        if (zeros == std::string::npos) return text;
        digits.erase(0, zeros);
        exponent = static_cast<int>(zeros);
        negative = true;
    }
    digits.insert(1, ".");
    return s.sign + digits + ExponentSuffix(negative, exponent);
}

std::string Engineering(const std::string& text)
{
    std::string sci = Scientific(text);
    size_t e = ExponentPos(sci);
    if (e == std::string::npos) return sci;
    Signed s = SplitSign(sci.substr(0, e));
    bool negative = sci[e + 1] == '-';
    int magnitude = std::atoi(sci.c_str() + e + 2);
    int rest = magnitude % 3;
    if (rest == 0) return sci;
    int shift = negative ? 3 - rest : rest;
    std::string digits = s.body;
    size_t point = digits.find('.');
    if (point == std::string::npos) point = digits.size();
    else digits.erase(point, 1);
    size_t newPoint = point + shift;
    if (digits.size() < newPoint) digits.append(newPoint - digits.size(), '0');
    digits.insert(newPoint, ".");
    magnitude += negative ? shift : -shift;
    return s.sign + digits + ExponentSuffix(negative, magnitude);
}

size_t FractionDigits(const std::string& text)
{
    size_t point = text.find('.');
    return point == std::string::npos ? 0 : text.size() - point - 1;
}

// The one way a notation hands a text to the locale's number format; the
// result replaces the text only when it fits the display.
bool Localize(std::string& text, const RegionalData& data)
{
    std::string out;
    if (ExponentPos(text) != std::string::npos) return false;
    if (!FormatNumberText(text, static_cast<int>(FractionDigits(text)), data, out)) return false;
    if (Utf8Length(out) > 20) return false;
    text = out;
    return true;
}

std::string Normal(const std::string& text, int digits)
{
    if (ValueOf(text) > std::pow(10.0, digits)) return Scientific(text);
    return text;
}

std::string Fixed(const std::string& text, int digits)
{
    double v = std::fabs(ValueOf(text));
    if (!(v > std::pow(10.0, 4 - digits) && v < std::pow(10.0, digits - 1))) return Normal(text, digits);
    Signed s = SplitSign(text);
    std::string body = s.body;
    size_t e = ExponentPos(body);
    if (e != std::string::npos) {
        size_t magnitude = static_cast<size_t>(std::atoi(body.c_str() + e + 2));
        std::string mantissa = body.substr(0, e);
        size_t point = mantissa.find('.');
        if (point == std::string::npos) point = mantissa.size();
        else mantissa.erase(point, 1);
        if (body[e + 1] == '-') {
            mantissa.insert(0, magnitude, '0');
        } else {
            // A wide currency field takes large values in range too: 1.e+015.
            point += magnitude;
            if (mantissa.size() < point) mantissa.append(point - mantissa.size(), '0');
        }
        mantissa.insert(point, ".");
        body = mantissa;
    }
    return s.sign + body.substr(0, static_cast<size_t>(digits));
}

// Tidied text without its exponent part, and the exponent part ("e+002"),
// empty when there is none or it is zero.
void Tidy(const std::string& text, std::string& body, std::string& exponentPart)
{
    size_t e = ExponentPos(text);
    exponentPart.clear();
    body = text;
    if (e != std::string::npos) {
        body = text.substr(0, e);
        exponentPart = text.substr(e);
        if (body.find('.') != std::string::npos)
            while (!body.empty() && body.back() == '0') body.pop_back();
    }
    if (!body.empty() && body.back() == '.') body.pop_back();
    if (exponentPart.find_first_not_of("e+-0") == std::string::npos) exponentPart.clear();
}

std::string ExponentText(const std::string& exponentPart)
{
    if (exponentPart.empty()) return "";
    std::string text = exponentPart.substr(1);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    return text;
}

std::string FullText(const std::string& mantissa, const std::string& exponent)
{
    if (exponent.empty()) return mantissa;
    return mantissa + "e" + (exponent[0] == '-' ? "" : "+") + exponent;
}

// Decimal separator, then thousands separators when the display has room for
// them. A leading "-" is not a digit position, so no separator follows it.
std::string Regionalize(const std::string& text, bool hasExponent, const RegionalData& data, int width)
{
    std::string out = text;
    size_t dot = out.find('.');
    if (dot != std::string::npos) out.replace(dot, 1, data.decimalSeparator);
    if (hasExponent || data.grouping <= 0) return out;
    size_t n = Utf8Length(out);
    size_t p = dot == std::string::npos ? n : Utf8Length(out.substr(0, dot));
    if (static_cast<size_t>(width) < n + p / 3) return out;
    size_t first = (!out.empty() && out[0] == '-') ? 2 : 1;
    for (long pos = static_cast<long>(p) - data.grouping; pos >= static_cast<long>(first); pos -= data.grouping)
        out.insert(ByteOffset(out, static_cast<size_t>(pos)), data.thousandSeparator);
    return out;
}

}  // namespace

CNumberText::CNumberText()
{
    LoadRegionalData("", locale_);
}

CNumberText* CNumberText::GetInstance()
{
    if (!g_numberText) g_numberText = new CNumberText();
    return g_numberText;
}

void CNumberText::ReleaseInstance()
{
    delete g_numberText;
    g_numberText = nullptr;
}

int CNumberText::SetNotation(int notation)
{
    if (notation < kNotationNormal || notation > kNotationEngineering) return 0;
    notation_ = notation;
    return 1;
}

void CNumberText::FormatDisplay(const std::string& valueText, std::string& fullText, std::string& mantissaText,
                                std::string& exponentText, int regional, int width)
{
    if (int id = ErrorWordId(valueText)) {
        fullText = mantissaText = ResText(id, valueText.c_str());
        exponentText.clear();
        return;
    }
    std::string text = Cp1252ToUtf8(valueText);
    if (text.find('.') == std::string::npos) text += '.';
    bool localized = false;
    switch (notation_) {
    case kNotationFixed:
        text = Fixed(text, notationDigits_);
        if (regionalNumberFormat_) localized = Localize(text, locale_);
        break;
    case kNotationScientific: text = Scientific(text); break;
    case kNotationEngineering: text = Engineering(text); break;
    default:
        text = Normal(text, notationDigits_);
        if (regionalNumberFormat_) localized = Localize(text, locale_);
        break;
    }
    std::string body, exponentPart;
    if (localized) body = text;
    else Tidy(text, body, exponentPart);
    std::string exponent = ExponentText(exponentPart);
    std::string mantissa = CutChars(body, exponent.empty() ? width : width - 2);
    if (regional && !localized) mantissa = Regionalize(mantissa, !exponent.empty(), locale_, width);
    mantissaText = mantissa;
    exponentText = exponent;
    fullText = FullText(mantissa, exponent);
}

void CNumberText::FormatPlain(const std::string& valueText, std::string& fullText, std::string& mantissaText,
                              std::string& exponentText)
{
    std::string body, exponentPart;
    Tidy(Cp1252ToUtf8(valueText), body, exponentPart);
    mantissaText = body;
    exponentText = ExponentText(exponentPart);
    fullText = body + exponentPart;
}

void CNumberText::CheckWidth(const std::string& valueText, std::string& fullText, std::string& mantissaText,
                             std::string& exponentText, int width)
{
    // An error word reads the same in every base and is never shown untranslated.
    if (int id = ErrorWordId(valueText))
        fullText = ResText(id, valueText.c_str());
    else if (valueText.size() > static_cast<size_t>(width < 0 ? 0 : width))
        fullText = ResText(kStrDisplayTooLarge, "Display too large");
    else
        fullText = Cp1252ToUtf8(valueText);
    mantissaText = fullText;
    exponentText.clear();
}

void CNumberText::FormatCurrency(const std::string& valueText, const std::string& currencySymbol,
                                 std::string& fullText, std::string& mantissaText, std::string& exponentText,
                                 int regional, int width)
{
    if (int id = ErrorWordId(valueText)) {
        fullText = mantissaText = ResText(id, valueText.c_str());
        exponentText.clear();
        return;
    }
    std::string symbol = Cp1252ToUtf8(currencySymbol);
    std::string text = Cp1252ToUtf8(valueText);
    if (text.find('.') == std::string::npos) text += '.';
    long room = static_cast<long>(width) - static_cast<long>(currencySymbol.size());
    if (regional) {
        std::string formatted;
        if (FormatCurrencyText(text, symbol, locale_, formatted) &&
            (width == 0 || Utf8Length(formatted) <= static_cast<size_t>(width) + 2)) {
            fullText = mantissaText = formatted;
            exponentText.clear();
            return;
        }
        text = Scientific(text);
    } else {
        text = Fixed(text, width == 0 ? notationDigits_ : static_cast<int>(room));
    }
    std::string body, exponentPart;
    Tidy(text, body, exponentPart);
    std::string exponent = ExponentText(exponentPart);
    if (width != 0) body = CutChars(body, exponent.empty() ? room : room - 2);
    mantissaText = symbol + body;
    exponentText = exponent;
    fullText = FullText(mantissaText, exponent);
}
