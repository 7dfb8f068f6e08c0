#include "app/terminal/ExpressionReading.h"

#include "app/terminal/ExpressionInput.h"

#include "engine/CalcEngine.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The signs beyond ASCII that are read, as code points.
constexpr char32_t kTimes = 0xD7, kDivide = 0xF7, kSquare = 0xB2, kCube = 0xB3, kSuperOne = 0xB9;
constexpr char32_t kSuperMinus = 0x207B, kMinusSign = 0x2212, kPi = 0x3C0, kRoot = 0x221A;
// Characters of a long text shown around a fault.
constexpr size_t kShownChars = 60;
constexpr char32_t kDotOperator = 0x22C5, kMiddleDot = 0xB7, kNoBreakSpace = 0xA0, kInvalid = 0xFFFD;

struct SSym {
    char32_t c;
    std::string text; // as typed (valid UTF-8)
};

// One symbol per code point; a byte that is not UTF-8 becomes kInvalid.
std::vector<SSym> Decode(const std::string& typed)
{
    std::vector<SSym> syms;
    for (size_t i = 0; i < typed.size();) {
        const unsigned char lead = static_cast<unsigned char>(typed[i]);
        const size_t n = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        char32_t c = n == 1 ? lead : n == 2 ? lead & 0x1F : n == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = n > 0 && i + n <= typed.size();
        for (size_t k = 1; valid && k < n; ++k) {
            const unsigned char next = static_cast<unsigned char>(typed[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            syms.push_back({kInvalid, "\xEF\xBF\xBD"});
            ++i;
            continue;
        }
        syms.push_back({c, typed.substr(i, n)});
        i += n;
    }
    return syms;
}

bool IsBlank(char32_t c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == kNoBreakSpace; }
bool IsDecimal(char32_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "a" and "A" are 10 ... "z" and "Z" 35; 99 for no digit.
int DigitValue(char32_t c)
{
    if (IsDecimal(c)) return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'z') return static_cast<int>(c - 'a') + 10;
    if (c >= 'A' && c <= 'Z') return static_cast<int>(c - 'A') + 10;
    return 99;
}

bool IsConstant(const std::string& name)
{
    for (int k = 0; EngineConstantName(k); ++k)
        if (name == EngineConstantName(k)) return true;
    return name == "ans";
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

std::string InBase(uint64_t value, int base)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[value % base]);
        value /= base;
    } while (value);
    return digits;
}

size_t Distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

class CReader {
public:
    CReader(const std::string& typed, const SReadingRules& rules) : syms_(Decode(typed)), rules_(rules) {}
    SReading Read();

private:
    char32_t At(size_t j) const { return j < syms_.size() ? syms_[j].c : 0; }
    char32_t Cur()
    {
        while (IsBlank(At(i_))) ++i_;
        return At(i_);
    }
    size_t NextFrom(size_t j) const
    {
        while (IsBlank(At(j))) ++j;
        return j;
    }
    bool Fail(size_t at, const std::string& reason)
    {
        if (fault_.empty()) faultAt_ = std::min(at, syms_.size()), fault_ = reason;
        return false;
    }

    bool Expression();
    bool Term();
    bool Power();
    bool Postfix();
    bool Factor();
    bool Primary();
    bool Bracketed();
    bool Number();
    int PrefixBase(size_t j) const;
    bool Prefixed(int base);
    bool Word(size_t nameLength);
    bool FunctionOperand(const std::string& name, bool quiet);
    bool Argument();
    bool Percent(size_t start, bool armed, const std::string& left);

    std::string Letters(size_t j) const;
    size_t NameLength(size_t j) const;
    bool PreferName(size_t j, size_t length) const;
    bool IsDigitOfBase(char32_t c) const { return DigitValue(c) < rules_.base; }
    bool IsLetterOperator(char32_t c) const
    {
        return c < 128 && IsLetter(c) && std::strchr("ErCPXYRxn", static_cast<char>(c)) && !IsDigitOfBase(c);
    }
    bool StartsOperand(size_t j) const;
    bool StartsImplicit(size_t j, bool functions) const;
    std::string Before(size_t j) const;
    std::string Unexpected(size_t j) const;
    std::string Leftover(size_t j) const;
    std::string UnknownName(size_t j) const;

    std::vector<SSym> syms_;
    SReadingRules rules_;
    size_t i_ = 0;
    std::string out_;
    bool rewritten_ = false;
    size_t faultAt_ = 0;
    std::string fault_;
    // The left side of a "+" or "-" whose right operand may be a percentage.
    bool percentArmed_ = false;
    std::string percentLeft_;
};

SReading CReader::Read()
{
    SReading reading;
    if (Expression() && Cur() != 0) Fail(i_, Leftover(i_));
    reading.ok = fault_.empty();
    reading.text = out_;
    reading.rewritten = rewritten_;
    reading.faultAt = faultAt_;
    reading.fault = fault_;
    if (!reading.ok && IsLetter(At(faultAt_)) && NameLength(faultAt_) == 0) reading.unknown = Letters(faultAt_);
    return reading;
}

bool CReader::Expression()
{
    const size_t start = out_.size();
    if (!Term()) return false;
    for (;;) {
        const char32_t c = Cur();
        const bool minus = c == '-' || (rules_.lenient && c == kMinusSign);
        if ((c != '+' && !minus) || (c == '-' && At(i_ + 1) == kSuperOne)) return true;
        percentLeft_ = out_.substr(start);
        percentArmed_ = true;
        out_ += minus ? '-' : '+';
        ++i_;
        if (!Term()) return false;
        percentArmed_ = false;
    }
}

bool CReader::Term()
{
    if (!Power()) return false;
    for (;;) {
        const char32_t c = Cur();
        if (c == '*' || c == kTimes || (rules_.lenient && (c == kDotOperator || c == kMiddleDot))) {
            out_ += '*';
            ++i_;
        } else if (c == '/' || c == kDivide) {
            out_ += '/';
            ++i_;
        } else if (rules_.lenient && StartsImplicit(i_, true)) {
            out_ += '*';
            rewritten_ = true;
        } else {
            return true;
        }
        if (!Power()) return false;
    }
}

bool CReader::Power()
{
    if (!Postfix()) return false;
    for (;;) {
        const char32_t c = Cur();
        if (rules_.lenient && c == '*' && At(i_ + 1) == '*') {
            out_ += '^';
            i_ += 2;
        } else if ((c < 128 && c && std::strchr("^<&|%", static_cast<char>(c))) ||
                   (IsLetterOperator(c) && !(rules_.lenient && NameLength(i_) > 1))) {
            out_ += static_cast<char>(c);
            ++i_;
        } else {
            return true;
        }
        if (!Postfix()) return false;
    }
}

bool CReader::Postfix()
{
    bool armed = percentArmed_;
    const std::string left = percentLeft_;
    percentArmed_ = false;
    const size_t start = out_.size();
    if (!Factor()) return false;
    for (;;) {
        const char32_t c = Cur();
        const char32_t next = At(i_ + 1);
        if (c == '!') {
            // "5!!" could mean the double factorial as well.
            if (next == '!') return Fail(i_ + 1, "\"!!\" could mean two things; write (5!)! for a factorial's factorial");
            out_.insert(start, "!(");
            out_ += ')';
            ++i_;
        } else if (c == kSquare || c == kCube) {
            out_ += c == kSquare ? "^(2)" : "^(3)";
            ++i_;
        } else if ((c == '-' || (rules_.lenient && c == kSuperMinus)) && next == kSuperOne) {
            out_ += "^(-1)";
            i_ += 2;
        } else if (c == '%' && rules_.lenient && !StartsOperand(i_ + 1)) {
            Percent(start, armed, left);
            armed = false;
        } else {
            return true;
        }
    }
}

// The percent key: after "+" or "-" a share of the left side (200+10% is
// 220), elsewhere a hundredth (50% is 0.5, 200*10% is 20).
bool CReader::Percent(size_t start, bool armed, const std::string& left)
{
    const std::string operand = out_.substr(start);
    out_.resize(start);
    out_ += armed ? "(" + left + ")*" + operand + "/100" : "(" + operand + "/100)";
    rewritten_ = true;
    ++i_;
    return true;
}

bool CReader::Factor()
{
    for (;;) {
        const char32_t c = Cur();
        if (c == '-' || (rules_.lenient && c == kMinusSign)) out_ += '-';
        else if (!(rules_.lenient && c == '+')) return Primary();
        ++i_;
    }
}

bool CReader::Primary()
{
    const char32_t c = Cur();
    if (c == '(') return Bracketed();
    if (const int base = PrefixBase(i_)) return Prefixed(base);
    const size_t name = NameLength(i_);
    if ((IsDigitOfBase(c) || c == '.') && !(name && PreferName(i_, name))) return Number();
    if (c == kPi || c == kRoot || c == '!' || IsLetter(c)) return Word(name);
    if (IsDecimal(c)) return Fail(i_, std::string(1, static_cast<char>(c)) + " is not a digit in base " + std::to_string(rules_.base));
    return Fail(i_, Unexpected(i_));
}

bool CReader::Bracketed()
{
    Cur();
    const size_t open = i_;
    out_ += '(';
    ++i_;
    if (!Expression()) return false;
    const char32_t c = Cur();
    if (c == ')' || (c == 0 && rules_.lenient)) {
        out_ += ')';
        i_ += c == ')';
        return true;
    }
    if (c == 0) return Fail(i_, "the bracket opened at character " + std::to_string(open + 1) + " is not closed");
    return Fail(i_, Leftover(i_));
}

bool CReader::Number()
{
    const size_t start = i_;
    size_t digits = 0;
    bool point = false;
    for (;; ++i_) {
        const char32_t c = At(i_);
        if (c == '.' && !point) point = true;
        else if (IsDigitOfBase(c)) ++digits;
        else break;
    }
    if (digits == 0) return Fail(start, "a number needs a digit");
    if (rules_.base == 10 && At(i_) == 'e') {
        const size_t sign = At(i_ + 1) == '+' || At(i_ + 1) == '-';
        if (IsDecimal(At(i_ + 1 + sign))) {
            i_ += 1 + sign;
            for (size_t n = 0; IsDecimal(At(i_)); ++n, ++i_)
                if (n == 3) return Fail(i_, "an exponent has at most three digits");
        }
    }
    for (size_t k = start; k < i_; ++k)
        out_ += static_cast<char>(syms_[k].c >= 'a' && syms_[k].c <= 'z' && rules_.base != 10 ? syms_[k].c - 32 : syms_[k].c);
    const char32_t c = At(i_);
    const bool digitLike = IsDecimal(c) || (IsLetter(c) && rules_.base != 10);
    if (digitLike && !IsLetterOperator(c) && !(rules_.lenient && NameLength(i_) && PreferName(i_, NameLength(i_))))
        return Fail(i_, syms_[i_].text + " is not a digit in base " + std::to_string(rules_.base));
    return true;
}

// 16, 2 or 8 for a "0x", "0b" or "0o" at j that a digit of that base follows; else 0.
int CReader::PrefixBase(size_t j) const
{
    if (!rules_.lenient || At(j) != '0' || At(j + 1) >= 128) return 0;
    const char32_t letter = At(j + 1) | 0x20;
    const int base = letter == 'x' ? 16 : letter == 'b' ? 2 : letter == 'o' ? 8 : 0;
    return base && DigitValue(At(j + 2)) < base ? base : 0;
}

// 0x1F, 0b101, 0o17: one number in another base, written in the current one.
bool CReader::Prefixed(int base)
{
    uint64_t value = 0;
    for (i_ += 2; DigitValue(At(i_)) < base; ++i_) {
        if (value > (UINT64_MAX - DigitValue(At(i_))) / base) return Fail(i_, "the number is too large");
        value = value * base + DigitValue(At(i_));
    }
    if (IsDecimal(At(i_)) || IsLetter(At(i_)))
        return Fail(i_, syms_[i_].text + " is not a digit in base " + std::to_string(base));
    out_ += InBase(value, rules_.base);
    return true;
}

bool CReader::Word(size_t nameLength)
{
    const char32_t c = Cur();
    if ((c == kPi || c == kRoot) && !rules_.lenient) return Fail(i_, Unexpected(i_));
    if (c == kPi) {
        out_ += "pi";
        ++i_;
        return true;
    }
    if (c == kRoot || c == '!') {
        ++i_;
        out_ += c == kRoot ? "sqrt" : "!";
        return FunctionOperand(c == kRoot ? "sqrt" : "!", true);
    }
    if (nameLength == 0) return Fail(i_, IsLetterOperator(c) ? Unexpected(i_) : UnknownName(i_));
    std::string name;
    for (size_t k = 0; k < nameLength; ++k) name += static_cast<char>(syms_[i_ + k].c);
    i_ += nameLength;
    out_ += name;
    return IsConstant(name) || FunctionOperand(name, false);
}

bool CReader::FunctionOperand(const std::string& name, bool quiet)
{
    const std::string typed = quiet && name == "sqrt" ? "\xE2\x88\x9A" : name;
    const size_t at = NextFrom(i_);
    if (At(at) == '(') return Bracketed();
    if (name == "!") return Fail(i_ - 1, "\"!\" goes after a number, as in 5!, or before brackets, as in !(5)");
    if (!StartsOperand(at)) {
        if (At(at) == 0) return Fail(at, "a number is missing after " + Quote(typed));
        return Fail(at, Quote(typed) + " needs a number after it");
    }
    if (!rules_.lenient) return Fail(at, Quote(typed) + " takes its number in brackets, as in " + name + "(30)");
    out_ += '(';
    if (!Argument()) return false;
    out_ += ')';
    rewritten_ = rewritten_ || !quiet;
    return true;
}

// The operand of a function written without brackets: "sin 30", "sin -30",
// "sqrt 2pi"; a function after it starts a new operand ("sin 30 cos 60").
bool CReader::Argument()
{
    if (!Postfix()) return false;
    while (StartsImplicit(i_, false)) {
        out_ += '*';
        if (!Postfix()) return false;
    }
    return true;
}

// The letters at j; "log2" keeps its digit.
std::string CReader::Letters(size_t j) const
{
    std::string word;
    while (IsLetter(At(j))) word += static_cast<char>(At(j++));
    if (word == "log" && At(j) == '2' && !IsDecimal(At(j + 1))) word += '2';
    return word;
}

// Length of the known name that the letters at j spell, else 0.
size_t CReader::NameLength(size_t j) const
{
    if (At(j) == kPi || At(j) == kRoot) return 0;
    const std::string word = Letters(j);
    for (const std::string& name : KnownNames(rules_.answer))
        if (word == name) return name.size();
    return 0;
}

// In another base, letters that are all digits are a number, unless a
// bracket follows (a function) or they spell a constant that no digit starts.
bool CReader::PreferName(size_t j, size_t length) const
{
    if (rules_.base == 10) return true;
    for (size_t k = 0; k < length; ++k)
        if (!IsDigitOfBase(At(j + k))) return true;
    return At(NextFrom(j + length)) == '(';
}

bool CReader::StartsOperand(size_t j) const
{
    j = NextFrom(j);
    const char32_t c = At(j);
    if (IsDecimal(c) || c == '.' || c == '(' || c == '-' || c == kMinusSign || c == kPi || c == kRoot) return true;
    return IsLetter(c) && (NameLength(j) > 0 || IsDigitOfBase(c));
}

// What may follow an operand to be multiplied with it: a bracket, a
// constant and, where asked, a function.
bool CReader::StartsImplicit(size_t j, bool functions) const
{
    j = NextFrom(j);
    const char32_t c = At(j);
    if (c == '(' || c == kPi) return true;
    if (c == kRoot) return functions;
    const size_t length = NameLength(j);
    if (length == 0 || !PreferName(j, length)) return false;
    return functions || IsConstant(Letters(j));
}

// The symbol before j, quoted; empty at the start.
std::string CReader::Before(size_t j) const
{
    while (j > 0 && IsBlank(At(j - 1))) --j;
    return j == 0 ? std::string() : Quote(syms_[j - 1].text);
}

// Why there is no operand at j.
std::string CReader::Unexpected(size_t j) const
{
    const char32_t c = At(j);
    const std::string before = Before(j);
    if (c == 0) return before.empty() ? "there is nothing to calculate" : "a number is missing after " + before;
    if (c == ')') return "a number is missing before \")\"";
    if (c == kInvalid) return "this is not a character of UTF-8 text";
    if (c == kPi || c == kRoot || c == kMinusSign || c == kSuperMinus)
        return Quote(syms_[j].text) + " is read only without --strict";
    const bool isOperator = (c < 128 && std::strchr("+*/^<&|%!", static_cast<char>(c))) || c == kTimes ||
                            c == kDivide || IsLetterOperator(c);
    if (isOperator && before.empty()) return "a calculation cannot start with " + Quote(syms_[j].text);
    if (isOperator) return "an operator cannot follow " + before;
    return Quote(syms_[j].text) + " is not part of a calculation";
}

// Why the calculation can't go on at j, after a complete operand.
std::string CReader::Leftover(size_t j) const
{
    const char32_t c = At(j);
    if (c == ')') return "this closing bracket has no opening one";
    if (c == '.') return "a number has one decimal point at most";
    if (IsLetter(c) && NameLength(j) == 0 && !IsDigitOfBase(c)) return UnknownName(j);
    if (IsDecimal(c) || IsLetter(c) || c == '(' || c == kPi || c == kRoot)
        return "an operator is missing before " + Quote(IsLetter(c) ? Letters(j) : syms_[j].text);
    return Unexpected(j);
}

std::string CReader::UnknownName(size_t j) const
{
    const std::string word = Letters(j);
    if (rules_.base != 10 && word.size() == 1) return word + " is not a digit in base " + std::to_string(rules_.base);
    const std::string nearest = NearestName(word, rules_.answer);
    const std::string said = Quote(word) + " is not a function or constant";
    return nearest.empty() ? said : said + "; did you mean " + Quote(nearest) + "?";
}

} // namespace

SReading ReadExpression(const std::string& typed, const SReadingRules& rules)
{
    // The calculator reads no more; a longer text is not read (nor nested deeper).
    const std::vector<SSym> syms = Decode(typed);
    size_t counted = 0;
    for (size_t k = 0; k < syms.size(); ++k)
        if (!IsBlank(syms[k].c) && ++counted > kMaxExpressionChars) {
            SReading tooLong;
            tooLong.faultAt = k;
            tooLong.fault = "the calculation is longer than " + std::to_string(kMaxExpressionChars) + " characters";
            return tooLong;
        }
    return CReader(typed, rules).Read();
}

std::string LocatedFault(const std::string& typed, size_t at, const std::string& reason)
{
    const std::vector<SSym> syms = Decode(typed);
    const std::string place = at >= syms.size() ? "at the end" : "at character " + std::to_string(at + 1);
    // A long text is shown around the place only.
    const size_t from = syms.size() > kShownChars && at > kShownChars / 2 ? std::min(at - kShownChars / 2, syms.size() - kShownChars) : 0;
    const size_t to = std::min(syms.size(), from + kShownChars);
    std::string shown = from > 0 ? "..." : "";
    const size_t caret = std::min(at, syms.size()) - from + shown.size();
    for (size_t k = from; k < to; ++k) shown += syms[k].c < 32 ? std::string(" ") : syms[k].text;
    if (to < syms.size()) shown += "...";
    return "syntax error " + place + " of " + Quote(shown) + ": " + reason + "\n  " + shown + "\n  " +
           std::string(caret, ' ') + "^\n";
}

std::string ShownReading(const std::string& text)
{
    std::string shown;
    for (char c : text) shown += c == '*' ? std::string("\xC3\x97") : std::string(1, c);
    return shown;
}

std::vector<std::string> KnownNames(bool withAnswer)
{
    std::vector<std::string> names;
    for (int k = 0; EngineFunctionName(k); ++k)
        if (std::strcmp(EngineFunctionName(k), "!") != 0) names.emplace_back(EngineFunctionName(k));
    for (int k = 0; EngineConstantName(k); ++k) names.emplace_back(EngineConstantName(k));
    if (withAnswer) names.emplace_back("ans");
    return names;
}

std::string NearestName(const std::string& word, bool withAnswer)
{
    std::string best;
    size_t bestDistance = word.size() <= 3 ? 2 : 3;
    // Of names as near, the one the word starts with, then the shortest.
    auto rank = [&word](const std::string& name) { return std::make_pair(word.rfind(name, 0) != 0, name.size()); };
    for (const std::string& name : KnownNames(withAnswer)) {
        const size_t d = Distance(word, name);
        if (d < bestDistance || (d == bestDistance && !best.empty() && rank(name) < rank(best))) best = name, bestDistance = d;
    }
    return best;
}
