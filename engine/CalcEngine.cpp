#include "engine/CalcEngine.h"

#include "engine/EvalState.h"
#include "engine/Evaluator.h"
#include "engine/ExprParser.h"
#include "engine/NumberBases.h"
#include "engine/ResultText.h"
#include "engine/StringUtil.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <random>

using namespace tallix_engine;

namespace {

CCalcEngine* g_engine = nullptr;

// Signs replace only ever lengthen the text, so in base 10 a longer input can
// never fit; in other bases digit runs may shrink, within reason.
constexpr size_t kMaxInputOtherBases = 4096;

bool IsBase(int base)
{
    return base >= 2 && base <= 36;
}

// From the system's entropy source: a clock-based seed repeats the same
// "random" numbers in every run started within one second. Should the source
// be missing, the nanosecond clock still differs from run to run.
unsigned RandomSeed()
{
    try {
        return std::random_device{}();
    } catch (...) {
        return static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
}

}

CCalcEngine* CCalcEngine::GetInstance()
{
    if (!g_engine) {
        std::srand(RandomSeed());
        g_engine = new CCalcEngine();
    }
    return g_engine;
}

void CCalcEngine::ReleaseInstance()
{
    delete g_engine;
    g_engine = nullptr;
}

CCalcEngine::CCalcEngine() : m_state(new SEvalState())
{
    m_prepared.reserve(4 * kMaxText);
    m_decimal.reserve(4 * kMaxText);
}

CCalcEngine::~CCalcEngine()
{
    delete m_state;
}

bool IsErrorWord(const std::string& result)
{
    return result == "syntax error" || result == "infinity" || result == "imaginary";
}

double CCalcEngine::Evaluate(const std::string& expr, std::string& result)
{
    return EvaluateInBases(expr, result, m_base, m_base);
}

double CCalcEngine::Fail(std::string& result)
{
    result.assign("syntax error");
    return m_state->slots[0];
}

double CCalcEngine::EvaluateInBases(const std::string& expr, std::string& result, int inBase,
                                    int outBase)
{
    SEvalState& s = *m_state;
    std::memset(s.slots, 0, sizeof s.slots);
    s.tokenCount = 0;
    s.numberCount = 0;
    if (!IsBase(inBase) || !IsBase(outBase)) return Fail(result);
    if (expr.size() > (inBase == 10 ? static_cast<size_t>(kMaxText) : kMaxInputOtherBases))
        return Fail(result);

    const CStringUtil* util = CStringUtil::GetInstance();
    m_prepared.assign(expr);
    util->ReplaceAll(m_prepared, "\xF7", "/");
    util->ReplaceAll(m_prepared, "\xD7", "*");
    util->ReplaceAll(m_prepared, "\xB2", "^(2)");
    util->ReplaceAll(m_prepared, "\xB3", "^(3)");
    util->ReplaceAll(m_prepared, "-\xB9", "^(-1)");
    const std::string* text = &m_prepared;
    if (inBase != 10) {
        ToDecimalText(m_prepared, inBase, m_decimal);
        text = &m_decimal;
    }
    if (text->size() > static_cast<size_t>(kMaxText)) return Fail(result);

    std::memcpy(s.text, text->data(), text->size());
    s.length = static_cast<int>(text->size());
    s.text[s.length] = '\0';
    s.pos = 0;
    if (s.length > 0) {
        if (!ParseExpression(s) || s.pos != s.length) return Fail(result);
        s.tokens[s.tokenCount] = kTokEnd;
        ToPostfix(s);
        if (!RunPostfix(s, m_angleMode)) return Fail(result);
    }
    const double value = s.slots[0];
    WriteResult(value, outBase, result);
    return value;
}

void CCalcEngine::WriteResult(double value, int outBase, std::string& result) const
{
    if (std::isnan(value)) {
        result.assign("imaginary");
    } else if (std::isinf(value)) {
        result.assign("infinity");
    } else {
        char text[kMaxBaseText > kMaxDecimalText ? kMaxBaseText : kMaxDecimalText];
        const int n = outBase == 10 ? FormatDecimalResult(value, m_precision, text)
                                    : ToBaseText(value, outBase, m_wordWidth, text);
        result.assign(text, static_cast<size_t>(n));
    }
}

int CCalcEngine::SetAngleMode(int mode)
{
    if (mode >= 0 && mode <= 2) m_angleMode = mode;
    else if (mode == 3) m_angleMode = (m_angleMode + 1) % 3;
    return 1;
}

int CCalcEngine::GetAngleMode() const
{
    return m_angleMode;
}

int CCalcEngine::SetBase(int base)
{
    if (!IsBase(base)) return 0;
    m_base = static_cast<signed char>(base);
    return 1;
}

int CCalcEngine::GetBase() const
{
    return m_base;
}

int CCalcEngine::ConvertAngleText(std::string& value, std::string& result)
{
    static const char* const kToNextUnit[] = {
        "*(3.141592653589793238)/180.0",   // degrees to radians
        "*200.0/(3.141592653589793238)",   // radians to grads
        "*9.0/10.0",                       // grads to degrees
    };
    if (value.size() > 32) return 0;
    if (m_angleMode < 0 || m_angleMode > 2) return 0;
    if (value.empty()) value.assign("0");
    std::string expr = value;
    expr.append(kToNextUnit[m_angleMode]);
    std::string text;
    Evaluate(expr, text);
    result = text;
    return 1;
}
