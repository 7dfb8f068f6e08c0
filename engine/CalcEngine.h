#pragma once
// The one place where a calculation happens: expression text in (Windows-1252,
// with the typographic signs of the keypad), double value and result text out.
//
// Result texts are decimal with 15 significant digits ("1.e+020", "0.00000015",
// "12") in base 10, a 32-bit two's-complement word in other bases, or one of
// the three error words "syntax error", "infinity", "imaginary".
// Only the interface thread calls the engine; evaluations must not overlap.
#include <string>

namespace tallix_engine { struct SEvalState; }

// Whether a result text is one of the three error words.
bool IsErrorWord(const std::string& result);

// The names the engine reads, for front ends that complete or suggest them:
// the index-th function name ("!" among them) or constant name, in matching
// order; null past the last.
const char* EngineFunctionName(int index);
const char* EngineConstantName(int index);

class CCalcEngine {
public:
    // Created on the first call (which seeds the random generator), shared after.
    static CCalcEngine* GetInstance();
    static void ReleaseInstance();

    // Evaluates in the current base. result may be the same object as expr.
    double Evaluate(const std::string& expr, std::string& result);
    // Reads numbers of expr in inBase and writes the result text in outBase.
    double EvaluateInBases(const std::string& expr, std::string& result, int inBase, int outBase);

    // 0 DEG, 1 RAD, 2 GRAD; 3 advances DEG -> RAD -> GRAD -> DEG. Always 1.
    int SetAngleMode(int mode);
    int GetAngleMode() const;
    // 2 to 36; anything else is refused with 0 and the base stays.
    int SetBase(int base);
    int GetBase() const;

    // Converts value from the current angle unit to the next of the cycle and
    // writes the result text; 0 (result untouched) when refused. An empty value
    // becomes "0". The angle mode itself does not change.
    int ConvertAngleText(std::string& value, std::string& result);

private:
    CCalcEngine();
    // Implementation state is added below by the engine's own sources.
    ~CCalcEngine();
    CCalcEngine(const CCalcEngine&) = delete;
    CCalcEngine& operator=(const CCalcEngine&) = delete;
    double Fail(std::string& result);
    void WriteResult(double value, int outBase, std::string& result) const;

    int m_angleMode = 0;
    signed char m_base = 10;
    signed char m_precision = 15;   // significant digits of a decimal result
    signed char m_wordWidth = 32;   // two's-complement wrap of other bases
    std::string m_prepared;         // scratch texts; their capacity is kept
    std::string m_decimal;
    tallix_engine::SEvalState* m_state;
};
