#include "calculator/NumberReading.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace {

// Spaces that locales put between digit groups, besides ASCII blanks:
// no-break space, figure space, thin space, narrow no-break space.
const char* const kWideBlanks[] = {"\xC2\xA0", "\xE2\x80\x87", "\xE2\x80\x89", "\xE2\x80\xAF"};

bool StartsWithAt(const std::string& text, size_t at, const std::string& part)
{
    return !part.empty() && text.compare(at, part.size(), part) == 0;
}

// The text without blanks and without a group separator that is neither "."
// nor "," (those two are sorted out by position later); "" when a character
// is left that no number holds.
bool Compact(const std::string& text, const std::string& group, std::string& out)
{
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (group != "." && group != "," && StartsWithAt(text, i, group)) {
            i += group.size();
            continue;
        }
        size_t skipped = 0;
        for (const char* blank : kWideBlanks)
            if (StartsWithAt(text, i, blank)) skipped = std::string(blank).size();
        if (skipped) {
            i += skipped;
            continue;
        }
        if (c >= 0x80 || !std::isprint(c)) return false;
        out.push_back(static_cast<char>(c));
        ++i;
    }
    return true;
}

size_t Digits(const std::string& text, size_t at)
{
    size_t end = at;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    return end - at;
}

// Which of "." and "," is the point and which the group mark: the later of
// the two when both occur, a repeated one is a group mark, a single ","
// follows the user's convention, and a single "." is the engine's own point.
bool FindMarks(const std::string& text, bool commaIsDecimal, char& point, char& group)
{
    const size_t dot = text.rfind('.'), comma = text.rfind(',');
    point = group = 0;
    if (dot != std::string::npos && comma != std::string::npos) {
        point = dot > comma ? '.' : ',';
        group = dot > comma ? ',' : '.';
    } else if (dot != std::string::npos || comma != std::string::npos) {
        const char mark = dot != std::string::npos ? '.' : ',';
        if (text.find(mark) != text.rfind(mark)) group = mark;
        else if (mark == '.' || commaIsDecimal) point = mark;
        else group = mark;
    }
    // A group mark follows a digit and precedes a group of three, before the
    // point: "1,5" is no thousand-and-something.
    const size_t pointAt = point ? text.find(point) : text.size();
    for (size_t i = 0; group && i < text.size(); ++i) {
        if (text[i] != group) continue;
        if (i > pointAt || i == 0 || !std::isdigit(static_cast<unsigned char>(text[i - 1])) || Digits(text, i + 1) != 3)
            return false;
    }
    return true;
}

// sign? digits (. digits)? (e sign? digits)? with a digit in the mantissa.
bool IsDecimalForm(const std::string& text)
{
    size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    size_t mantissa = Digits(text, i);
    i += mantissa;
    if (i < text.size() && text[i] == '.') {
        const size_t fraction = Digits(text, i + 1);
        mantissa += fraction;
        i += 1 + fraction;
    }
    if (mantissa == 0) return false;
    if (i < text.size() && text[i] == 'e') {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const size_t exponent = Digits(text, i);
        if (exponent == 0) return false;
        i += exponent;
    }
    return i == text.size();
}

bool InDoubleRange(const std::string& text)
{
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && std::isfinite(value);
}

std::string ReadDecimal(std::string text, const SNumberMarks& marks)
{
    char point = 0, group = 0;
    if (!FindMarks(text, marks.commaIsDecimal, point, group)) return "";
    std::string out;
    for (char c : text) {
        if (c == group) continue;
        out.push_back(c == point ? '.' : c == 'E' ? 'e' : c);
    }
    if (!out.empty() && out[0] == '+') out.erase(0, 1);
    return IsDecimalForm(out) && InDoubleRange(out) ? out : "";
}

std::string ReadWhole(const std::string& text, int base)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        if (i == 0 && c == '-' && text.size() > 1) {
            out.push_back(c);
            continue;
        }
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (c >= 'A' && c <= 'Z') ? c - 'A' + 10 : 99;
        if (digit >= base) return "";
        out.push_back(c);
    }
    return out;
}

}  // namespace

std::string ReadNumberText(const std::string& text, int base, const SNumberMarks& marks)
{
    std::string compact;
    if (base < 2 || base > 36 || !Compact(text, marks.groupSeparator, compact) || compact.empty()) return "";
    return base == 10 ? ReadDecimal(compact, marks) : ReadWhole(compact, base);
}

bool IsPlainDecimal(const std::string& text)
{
    return IsDecimalForm(text) && InDoubleRange(text);
}
