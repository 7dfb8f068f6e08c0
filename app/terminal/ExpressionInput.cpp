#include "app/terminal/ExpressionInput.h"

#include "platform/TextCodec.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsDecimal(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsLower(c) || IsUpper(c) || IsDecimal(c); }

// "a" and "A" are 10 ... "z" and "Z" 35; -1 for no digit.
int DigitValue(char c)
{
    if (IsDecimal(c)) return c - '0';
    if (IsLower(c)) return c - 'a' + 10;
    if (IsUpper(c)) return c - 'A' + 10;
    return -1;
}

std::string WithoutBlanks(const std::string& typed)
{
    std::string text;
    for (char c : typed)
        if (!IsBlank(c)) text += c;
    return text;
}

// "ans" as a word of its own, not inside a longer name.
std::string WithAnswer(const std::string& text, const std::string& answer)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const bool word = text.compare(i, 3, "ans") == 0 && (i == 0 || !IsLower(text[i - 1])) &&
                          (i + 3 >= text.size() || !IsLower(text[i + 3]));
        if (word) {
            out += "(" + answer + ")";
            i += 3;
        } else {
            out += text[i++];
        }
    }
    return out;
}

// In another base the engine reads only upper-case digits, and reads every
// letter as a digit even when the base has no such digit. Lower-case digits
// become upper-case, except in a function's name and in "pi"; 0 and `bad` set
// for a digit the base does not have.
int NormaliseDigits(std::string& text, int base, char& bad)
{
    for (size_t i = 0; i < text.size();) {
        size_t end = i;
        while (end < text.size() && IsAlnum(text[end])) ++end;
        if (end == i) {
            ++i;
            continue;
        }
        if (end < text.size() && text[end] == '(') {
            i = end;
            continue;
        }
        for (size_t k = i; k < end; ++k) {
            const char c = text[k];
            if (c == 'p' && k + 1 < end && text[k + 1] == 'i' && DigitValue('p') >= base) {
                ++k;
            } else if (IsLower(c)) {
                if (DigitValue(c) < base) text[k] = static_cast<char>(c - 'a' + 'A');
            } else if (DigitValue(c) >= base) {
                bad = c;
                return 0;
            }
        }
        i = end;
    }
    return 1;
}

// What may stand right before an operand: the start, "(" or an operator.
bool IsOperandBoundary(const std::string& t, size_t j, int base)
{
    if (j == 0) return true;
    const char c = t[j - 1];
    // The sign of an exponent ("1e-5") belongs to the number.
    if ((c == '+' || c == '-') && j >= 3 && t[j - 2] == 'e' && (IsDecimal(t[j - 3]) || t[j - 3] == '.')) return false;
    if (c && std::strchr("+-*/^(<&|%\xD7\xF7rxn", c)) return true;
    return base == 10 && c && std::strchr("ECPXYR", c);
}

// Start of the operand that ends right before t[end], or npos when none is
// clearly there.
size_t OperandStart(const std::string& t, size_t end, int base)
{
    if (end == 0) return std::string::npos;
    size_t j = end;
    const char last = t[j - 1];
    if (last == ')') {
        int depth = 0;
        do {
            --j;
            depth += t[j] == ')' ? 1 : t[j] == '(' ? -1 : 0;
        } while (depth > 0 && j > 0);
        if (depth != 0) return std::string::npos;
        // A function's name ("sin(30)!", "log2(8)!", "!(3)!") goes with its operand.
        const size_t open = j;
        size_t name = open;
        while (name > 0 && (IsLower(t[name - 1]) || IsDecimal(t[name - 1]))) --name;
        while (name < open && IsDecimal(t[name])) ++name;
        if (name == open && open > 0 && t[open - 1] == '!') --name;
        j = name;
    } else if (IsLower(last)) {
        if (j >= 2 && t.compare(j - 2, 2, "pi") == 0) j -= 2;
        else if (last == 'e') j -= 1;
        else return std::string::npos;
    } else {
        auto inNumber = [base](char c) { return IsDecimal(c) || c == '.' || (base != 10 && IsUpper(c)); };
        while (j > 0 && inNumber(t[j - 1])) --j;
        if (j == end) return std::string::npos;
    }
    return IsOperandBoundary(t, j, base) ? j : std::string::npos;
}

// "5!" is the engine's "!(5)". A "!" followed by "(", "!" or an operand is
// left alone: "5!!" and "5!(2)" could mean more than one thing.
void RewritePostfixFactorials(std::string& t, int base)
{
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '!') continue;
        const char next = i + 1 < t.size() ? t[i + 1] : '\0';
        if (next == '(' || next == '!' || next == '.' || IsAlnum(next)) continue;
        const size_t start = OperandStart(t, i, base);
        if (start == std::string::npos) continue;
        const std::string operand = t.substr(start, i - start);
        const bool grouped = operand.front() == '(' && OperandStart(operand, operand.size(), base) == 0;
        t.replace(start, i - start + 1, grouped ? "!" + operand : "!(" + operand + ")");
        i = start;
    }
}

} // namespace

SPreparedExpression PrepareExpression(const std::string& typed, int base, const std::string* answer)
{
    SPreparedExpression prepared;
    std::string text = WithoutBlanks(typed);
    if (text.empty()) {
        prepared.problem = ExpressionProblem::kEmpty;
        return prepared;
    }
    if (answer) text = WithAnswer(text, *answer);
    // Characters without a Windows-1252 byte come out as "?", which the engine refuses.
    text = Utf8ToCp1252(text);
    char bad = 0;
    if (base != 10 && !NormaliseDigits(text, base, bad)) {
        prepared.problem = ExpressionProblem::kBadDigit;
        prepared.message = std::string(1, bad) + " is not a digit in base " + std::to_string(base);
        return prepared;
    }
    RewritePostfixFactorials(text, base);
    if (text.size() > kMaxExpressionChars) {
        prepared.problem = ExpressionProblem::kTooLong;
        prepared.message = "the calculation is longer than " + std::to_string(kMaxExpressionChars) + " characters";
        return prepared;
    }
    prepared.text = text;
    return prepared;
}
