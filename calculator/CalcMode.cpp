#include "calculator/CalcMode.h"

#include "engine/CalcEngine.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kFunctionTexts[32] = {
    "cos(",  "sin(",  "tan(",  "acos(", "asin(", "atan(", "cosh(", "sinh(",
    "tanh(", "acsh(", "asnh(", "atnh(", "",      "",      "log(",  "ln(",
    "log2(", "abs(",  "pm(",   "dc(",   "dms(",  "inv(",  "sqrd(", "cbd(",
    "sqrt(", "crt(",  "e^(",   "10^(",  "!(",    "sum(",  "",      "rand(",
};

const char* const kOperatorTexts[18] = {
    "+", "-", "\xD7", "\xF7", "^", "E", "r", "C", "P", "R", "X", "<", "Y", "&", "|", "x", "n", "%",
};

const char* const kConstantTexts[20] = {
    "(3.141592653589793238)", "(2.718281828459045235)", "(299792458)",       "(6.6742e-011)",
    "(9.1093826e-031)",       "(1.67262158e-027)",      "(1.67492716e-027)", "(1.88353109e-028)",
    "(6.022141998e+023)",     "(1.60217646e-019)",      "(7.297352533e-003)", "(5.6705e-008)",
    "(6.6260693e-034)",       "(8.314472)",             "(1.3806505e-023)",  "(4*pi*10^-7)",
    "(96485.3415)",           "(149597870691)",         "(9.80665)",         "1.67377e-027",
};

const char kDigitChars[] = "0123456789ABCDEF";

// What the last character of the expression line is, judged in this order.
enum CharClass { kNone, kDigit, kOpen, kClosing, kMinus, kPoint, kOperator, kOther };

CharClass ClassOf(const std::string& line)
{
    if (line.empty()) return kNone;
    unsigned char c = static_cast<unsigned char>(line.back());
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return kDigit;
    if (c == '(') return kOpen;
    if (c == ')' || c == 0xB2 || c == 0xB3 || c == 0xB9) return kClosing;
    if (c == '-') return kMinus;
    if (c == '.') return kPoint;
    if (c != 0 && std::strchr("+\xD7/*\xF7""Ee\xB2r^CPRX<Y&|xn%", c)) return kOperator;
    return kOther;
}

// Where a number, a function or "(" may begin.
bool NumberMayFollow(CharClass c)
{
    return c == kNone || c == kOperator || c == kMinus || c == kOpen;
}

// Where the line holds a complete operand.
bool OperatorMayFollow(CharClass c)
{
    return c == kDigit || c == kClosing || c == kPoint;
}

std::string TrailingNumber(const std::string& line)
{
    size_t start = line.size();
    while (start > 0) {
        char c = line[start - 1];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '.')) break;
        --start;
    }
    return line.substr(start);
}

// The line a key edits: after "=" a new line begins.
std::string FreshLine(bool afterEquals, const std::string& line)
{
    return afterEquals ? std::string() : line;
}

}  // namespace

const char* FunctionText(int id)
{
    return id >= 0 && id < 32 ? kFunctionTexts[id] : "";
}

const char* OperatorText(int id)
{
    return id >= 0 && id < 18 ? kOperatorTexts[id] : "";
}

const char* ConstantText(int id)
{
    return id >= 0 && id < 20 ? kConstantTexts[id] : "";
}

namespace {
CEvaluationWatch* g_watch = nullptr;
}  // namespace

CEvaluationWatch::CEvaluationWatch() : m_outer(g_watch) { g_watch = this; }

CEvaluationWatch::~CEvaluationWatch() { g_watch = m_outer; }

void CEvaluationWatch::See(const std::string& expression, const std::string& result)
{
    m_saw = true;
    m_expression = expression;
    m_result = result;
}

std::string EvaluateText(const std::string& expression)
{
    std::string result;
    CCalcEngine::GetInstance()->Evaluate(expression, result);
    if (g_watch) g_watch->See(expression, result);
    return result;
}

std::string ConvertBase(const std::string& value, int fromBase, int toBase)
{
    std::string result;
    CCalcEngine::GetInstance()->EvaluateInBases(value, result, fromBase, toBase);
    return result;
}

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigitOf(char c, int base)
{
    if (base == 10) return (c >= '0' && c <= '9') || c == '.';
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

// Length of the number that starts at text[i] in the given base; 0 when none
// does (a digit inside a name such as "log2" is no number).
size_t NumberLength(const std::string& text, size_t i, int base)
{
    if (!IsDigitOf(text[i], base) || (i > 0 && text[i - 1] >= 'a' && text[i - 1] <= 'z')) return 0;
    if (base != 10 && i > 0 && IsLetter(text[i - 1]) && !IsDigitOf(text[i - 1], base)) return 0;
    size_t j = i;
    while (j < text.size() && IsDigitOf(text[j], base)) ++j;
    // A decimal result may carry an exponent: 1.5e-007.
    if (base == 10 && j + 2 < text.size() && text[j] == 'e' && (text[j + 1] == '+' || text[j + 1] == '-') &&
        text[j + 2] >= '0' && text[j + 2] <= '9') {
        j += 2;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
    }
    return j - i;
}

}  // namespace

std::string ConvertNumbers(const std::string& text, int fromBase, int toBase)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t length = NumberLength(text, i, fromBase);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        out += ConvertBase(text.substr(i, length), fromBase, toBase);
        i += length;
    }
    return out;
}

int CurrentBase()
{
    return CCalcEngine::GetInstance()->GetBase();
}

CCalcMode::CCalcMode()
{
    CCalcMode::Reset();
}

std::string CCalcMode::GetDisplayText() const
{
    return result_.empty() ? "0" : result_;
}

std::string CCalcMode::GetSignText() const
{
    return line_;
}

int CCalcMode::Digit(int id)
{
    clearedLast_ = false;
    int base = CurrentBase();
    if (id < 0 || id > 16) return 0;
    if (id == 16 ? base != 10 : id >= base) return 0;
    std::string line = FreshLine(afterEquals_, line_);
    CharClass cls = ClassOf(line);
    if (!NumberMayFollow(cls) && cls != kDigit && cls != kPoint) return 0;
    std::string number = TrailingNumber(line);
    if (number.size() > 16 || line.size() >= kLineCapacity) return 0;
    std::string text;
    if (id == 16) {
        if (number.find('.') != std::string::npos) return 0;
        text = number.empty() ? "0." : ".";
    } else {
        if (number == "0") {
            if (id == 0) return 0;
            line.pop_back();
        }
        text = std::string(1, kDigitChars[id]);
    }
    if (line.size() + text.size() > kLineCapacity) return 0;
    line_ = line + text;
    afterEquals_ = false;
    return 1;
}

int CCalcMode::Operator(int id)
{
    clearedLast_ = false;
    const char* text = OperatorText(id);
    if (!*text) return 0;
    std::string line = afterEquals_ ? GetDisplayText() : line_;
    CharClass cls = ClassOf(line);
    // A minus where a number may begin is that number's sign: -5+3, 2×-3.
    const bool sign = id == 1 && (cls == kNone || cls == kOpen || cls == kOperator);
    if (!sign && !OperatorMayFollow(cls)) return 0;
    if (line.size() + 1 > kLineCapacity) return 0;
    line_ = line + text;
    afterEquals_ = false;
    return 1;
}

int CCalcMode::ToggleSign()
{
    std::string line = afterEquals_ ? GetDisplayText() : line_;
    std::string number = TrailingNumber(line);
    size_t start = line.size() - number.size();
    std::string before = line.substr(0, start);
    if (!number.empty() && start > 0 && line[start - 1] == '-') {
        before.pop_back();
        // "5-3" becomes "5--3": the minus was a subtraction, keep it.
        if (OperatorMayFollow(ClassOf(before))) before += "--";
    } else if (!number.empty() || NumberMayFollow(ClassOf(line))) {
        if (ClassOf(line) == kMinus && number.empty()) return 0;
        before += "-";
    } else {
        return 0;
    }
    line = before + number;
    if (line.size() > kLineCapacity) return 0;
    line_ = line;
    afterEquals_ = false;
    return 1;
}

int CCalcMode::Function(int id)
{
    clearedLast_ = false;
    if (id < 0 || id > 31 || CurrentBase() != 10) return 0;
    CCalcEngine* engine = CCalcEngine::GetInstance();
    if (id == 12) {
        std::string value = GetDisplayText(), converted;
        if (engine->ConvertAngleText(value, converted)) result_ = converted;
        engine->SetAngleMode(3);
        return 1;
    }
    if (id == 13) return engine->SetAngleMode(3);
    if (id == 30) {
        // As in every mode: the shown number's hundredth; the line stays.
        result_ = EvaluateText(GetDisplayText() + "\xD7" "0.01");
        return 1;
    }
    if (id == 18) return ToggleSign();
    if (id >= 21 && id <= 23) {
        static const char* const kPowers[3] = {"-\xB9", "\xB2", "\xB3"};
        std::string line = afterEquals_ ? GetDisplayText() : line_;
        if (!OperatorMayFollow(ClassOf(line))) return 0;
        line += kPowers[id - 21];
        if (line.size() > kLineCapacity) return 0;
        line_ = line;
        afterEquals_ = false;
        return 1;
    }
    return Append(FunctionText(id));
}

// Appends a function, "(" or a constant where a number may begin.
int CCalcMode::Append(const std::string& text)
{
    std::string line = FreshLine(afterEquals_, line_);
    if (!NumberMayFollow(ClassOf(line))) return 0;
    if (line.size() + text.size() > kLineCapacity) return 0;
    line_ = line + text;
    afterEquals_ = false;
    return 1;
}

int CCalcMode::Parenthesis(int id)
{
    clearedLast_ = false;
    if (CurrentBase() != 10) return 0;
    if (id == 0) return Append("(");
    if (id != 1 || afterEquals_) return 0;
    long opens = std::count(line_.begin(), line_.end(), '(');
    long closes = std::count(line_.begin(), line_.end(), ')');
    if (opens <= closes || !OperatorMayFollow(ClassOf(line_)) || line_.size() >= kLineCapacity) return 0;
    line_ += ')';
    return 1;
}

// An empty line evaluates to 0 like any other text; the next operator then
// continues from that result.
int CCalcMode::Equals(int)
{
    clearedLast_ = false;
    long opens = std::count(line_.begin(), line_.end(), '(');
    long closes = std::count(line_.begin(), line_.end(), ')');
    if (opens > closes) line_.append(static_cast<size_t>(opens - closes), ')');
    result_ = EvaluateText(line_);
    if (history_.empty() || history_.back().first != line_ || history_.back().second != result_) {
        history_.emplace_back(line_, result_);
        if (history_.size() > kHistoryCapacity) history_.pop_front();
    }
    afterEquals_ = true;
    return 1;
}

int CCalcMode::RecallConstant(int id)
{
    clearedLast_ = false;
    if (CurrentBase() != 10 || !*ConstantText(id)) return 0;
    return Append(ConstantText(id));
}

// A recalled or pasted value goes where a number may begin, or replaces the
// number the line ends with.
int CCalcMode::SetEntry(const std::string& text)
{
    clearedLast_ = false;
    std::string value = text.substr(0, kEntryCapacity);
    std::string line = FreshLine(afterEquals_, line_);
    CharClass cls = ClassOf(line);
    if (cls == kDigit || cls == kPoint) line.resize(line.size() - TrailingNumber(line).size());
    else if (!NumberMayFollow(cls)) return 0;
    if (line.size() + value.size() > kLineCapacity) return 0;
    line_ = line + value;
    afterEquals_ = false;
    return 1;
}

int CCalcMode::SetLine(const std::string& text)
{
    if (text.size() > kLineCapacity) return 0;
    clearedLast_ = false;
    line_ = text;
    afterEquals_ = false;
    return 1;
}

int CCalcMode::Clear(int id)
{
    bool again = clearedLast_;
    clearedLast_ = false;
    switch (id) {
    case 0:
    case 1:
        line_.clear();
        result_.clear();
        if (again) history_.clear();
        clearedLast_ = true;
        break;
    case 2: line_.clear(); break;
    case 3:
        if (line_.empty()) return 0;
        line_.pop_back();
        break;
    default: return 0;
    }
    afterEquals_ = false;
    return 1;
}

void CCalcMode::Reset()
{
    line_.clear();
    result_.clear();
    history_.clear();
    afterEquals_ = false;
    clearedLast_ = false;
}

void CCalcMode::ChangeBase(int oldBase, int newBase)
{
    result_ = ConvertBase(GetDisplayText(), oldBase, newBase);
    line_.clear();
    afterEquals_ = false;
}
