// Random text, bases and angle modes through EvaluateInBases. The first three
// bytes choose the input base, the output base and the angle mode (a few
// values out of range on purpose); the rest is the expression.
#include "engine/CalcEngine.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    const int inBase = data[0] % 40;
    const int outBase = data[1] % 40;
    const int angle = data[2] % 5;
    const std::string expr(reinterpret_cast<const char*>(data + 3), size - 3);

    CCalcEngine* engine = CCalcEngine::GetInstance();
    engine->SetAngleMode(angle);
    std::string result;
    const double value = engine->EvaluateInBases(expr, result, inBase, outBase);

    // Every result text fits the caller's 32 characters and is never empty.
    if (result.empty() || result.size() > 32) std::abort();
    if (result == "syntax error") return 0;
    if (std::isnan(value) != (result == "imaginary")) std::abort();
    if (std::isinf(value) != (result == "infinity")) std::abort();

    // Evaluating the same text again gives the same text (nothing leaks),
    // unless it draws random numbers.
    if (expr.find("rand") == std::string::npos) {
        std::string again;
        engine->EvaluateInBases(expr, again, inBase, outBase);
        if (again != result) std::abort();
    }
    // A base text is a whole number of at most 32 digits of its base.
    if (outBase != 10 && std::isfinite(value)) {
        for (char ch : result) {
            const int digit = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'A' && ch <= 'Z' ? ch - 'A' + 10 : 99;
            if (digit >= outBase) std::abort();
        }
        std::string decimal;
        const double back = engine->EvaluateInBases(result, decimal, outBase, 10);
        if (back < 0.0 || back >= 4294967296.0) std::abort();
    }
    // A decimal result reads back as itself.
    if (outBase == 10 && std::isfinite(value)) {
        std::string back;
        const double reread = engine->EvaluateInBases(result, back, 10, 10);
        if (back != result) std::abort();
        (void)reread;
    }
    return 0;
}
