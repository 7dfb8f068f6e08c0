#include "engine/ExprParser.h"

#include "engine/CalcEngine.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace tallix_engine {
namespace {

// In matching order: a longer name stands before a shorter one it begins with.
constexpr const char* kFunctionNames[] = {
    "abs",  "acos", "asin", "atanh", "atan", "cosh", "cos",  "exp",
    "log2", "log",  "ln",   "sinh",  "sin",  "sqrt", "tanh", "tan",
    "pct",  "!",    "asnh", "acsh",  "atnh", "sum",  "dc",   "dms",
    "rand", "tenx", "crt",  "cbd",   "sqrd", "inv",  "pm",   "ex",
};
static_assert(sizeof(kFunctionNames) / sizeof(kFunctionNames[0]) ==
              kTokLastFunction - kTokFirstFunction + 1);

struct SConstant {
    const char* name;
    const char* text;
};
constexpr SConstant kConstants[] = {
    {"pi", "3.141592653589793238"},
    {"e", "2.718281828459045235"},
};

// The one-character operators of the power level, in code order from "^" (7).
constexpr char kPowerOperators[] = "^ErCPXYR<&|xn%";

// Length of name when the text at p begins with it, else 0. The text is
// zero-terminated, so the comparison never reads past it.
int Prefix(const char* p, const char* name)
{
    int n = 0;
    while (name[n]) {
        if (p[n] != name[n]) return 0;
        ++n;
    }
    return n;
}

bool IsScanDigit(char c)
{
    return (c >= '0' && c <= '9') || c == 'A';
}

// The nine-state number automaton; returns the number of characters it
// consumed and whether it stopped in an accepting state.
int ScanNumber(const char* p, bool& accepting)
{
    int state = 0;
    int n = 0;
    for (;; ++n) {
        const char c = p[n];
        int next = -1;
        switch (state) {
        case 0: next = IsScanDigit(c) ? 4 : c == '.' ? 1 : -1; break;
        case 1: next = IsScanDigit(c) ? 5 : -1; break;
        case 2: next = IsScanDigit(c) ? 6 : (c == '+' || c == '-') ? 3 : -1; break;
        case 3: next = IsScanDigit(c) ? 6 : -1; break;
        case 4: next = IsScanDigit(c) ? 4 : c == '.' ? 5 : c == 'e' ? 2 : -1; break;
        case 5: next = IsScanDigit(c) ? 5 : c == 'e' ? 2 : -1; break;
        case 6: next = IsScanDigit(c) ? 7 : -1; break;
        case 7: next = IsScanDigit(c) ? 8 : -1; break;
        default: break;
        }
        if (next < 0) break;
        state = next;
    }
    accepting = state >= 4;
    return n;
}

// The standard decimal conversion of the literal's own characters only:
// whatever it cannot read (an "A", a dangling exponent) adds nothing.
double ConvertLiteral(const char* p, int n)
{
    double value = 0.0;
    auto [end, ec] = std::from_chars(p, p + n, value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        char copy[kMaxText + 1];
        std::memcpy(copy, p, n);
        copy[n] = '\0';
        value = std::strtod(copy, nullptr);
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return value;
}

class CParser {
public:
    explicit CParser(SEvalState& state) : m_s(state) {}

    int Expression()
    {
        if (!Term()) return 0;
        for (;;) {
            const char c = Current();
            if (c != '+' && c != '-') return 1;
            if (!Emit(c == '+' ? kTokAdd : kTokSub, 1) || !Term()) return 0;
        }
    }

private:
    char Current() const { return m_s.text[m_s.pos]; }

    int Emit(int16_t code, int advance)
    {
        // One place is kept for the end token.
        if (m_s.tokenCount >= kMaxTokens - 1) return 0;
        m_s.tokens[m_s.tokenCount++] = code;
        m_s.pos += advance;
        return 1;
    }

    int EmitNumber(const char* text, int n, int advance)
    {
        if (m_s.numberCount >= kNumberSlots) return 0;
        const int slot = m_s.numberCount++;
        m_s.slots[slot] = ConvertLiteral(text, n);
        return Emit(static_cast<int16_t>(kTokFirstNumber + slot), advance);
    }

    int Term()
    {
        if (!Power()) return 0;
        for (;;) {
            const unsigned char c = static_cast<unsigned char>(Current());
            int16_t code;
            if (c == '*' || c == 0xD7) code = kTokMul;
            else if (c == '/' || c == 0xF7) code = kTokDiv;
            else return 1;
            if (!Emit(code, 1) || !Power()) return 0;
        }
    }

    int Power()
    {
        if (!Factor()) return 0;
        for (;;) {
            const char c = Current();
            const char* op = c ? std::strchr(kPowerOperators, c) : nullptr;
            if (!op) return 1;
            if (!Emit(static_cast<int16_t>(kTokPow + (op - kPowerOperators)), 1) || !Factor())
                return 0;
        }
    }

    int Parenthesised()
    {
        if (!Emit(kTokOpen, 1) || !Expression()) return 0;
        if (Current() != ')') return 0;
        return Emit(kTokClose, 1);
    }

    int Factor()
    {
        while (Current() == '-')
            if (!Emit(kTokNeg, 1)) return 0;
        const char c = Current();
        if (c == '(') return Parenthesised();
        if ((c >= 'a' && c <= 'z') || c == '!' || c == 'E') return Word();
        bool accepting = false;
        const char* start = m_s.text + m_s.pos;
        const int n = ScanNumber(start, accepting);
        if (!accepting) return 0;
        return EmitNumber(start, n, n);
    }

    // A function name with its parenthesised operand, or a constant.
    int Word()
    {
        const char* p = m_s.text + m_s.pos;
        int code = kTokFirstFunction;
        for (const char* name : kFunctionNames) {
            if (const int n = Prefix(p, name)) {
                if (p[n] != '(' || !Emit(static_cast<int16_t>(code), n)) return 0;
                return Parenthesised();
            }
            ++code;
        }
        for (const SConstant& k : kConstants)
            if (const int n = Prefix(p, k.name))
                return EmitNumber(k.text, static_cast<int>(std::strlen(k.text)), n);
        return 0;
    }

    SEvalState& m_s;
};

bool IsBinary(int code)
{
    return code >= kTokAdd && code <= kTokMod;
}

}

}

const char* EngineFunctionName(int index)
{
    using namespace tallix_engine;
    constexpr int count = sizeof(kFunctionNames) / sizeof(kFunctionNames[0]);
    return index >= 0 && index < count ? kFunctionNames[index] : nullptr;
}

const char* EngineConstantName(int index)
{
    using namespace tallix_engine;
    constexpr int count = sizeof(kConstants) / sizeof(kConstants[0]);
    return index >= 0 && index < count ? kConstants[index].name : nullptr;
}

namespace tallix_engine {

int ParseExpression(SEvalState& state)
{
    CParser parser(state);
    return parser.Expression();
}

void ToPostfix(SEvalState& state)
{
    int16_t* tokens = state.tokens;
    int16_t* stack = state.stack;
    int top = 0;
    stack[0] = kTokEnd;
    int out = 0;
    for (int in = 0; tokens[in] != kTokEnd; ++in) {
        const int16_t t = tokens[in];
        if (t >= kTokFirstNumber) {
            tokens[out++] = t;
        } else if (t == kTokOpen || t >= kTokNeg) {
            stack[++top] = t;
        } else if (IsBinary(t)) {
            // The end code and "(" are below every binary code, so they stay.
            while (stack[top] >= t) tokens[out++] = stack[top--];
            stack[++top] = t;
        } else if (t == kTokClose) {
            while (top > 0 && stack[top] != kTokOpen) tokens[out++] = stack[top--];
            if (top > 0) --top;
        }
    }
    while (top > 0) {
        const int16_t t = stack[top--];
        if (t != kTokOpen) tokens[out++] = t;
    }
    tokens[out] = kTokEnd;
}

}
