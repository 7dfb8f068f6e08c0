// tallix --press "T,I T,I ..." [options]: presses key commands on a freshly
// built calculator and prints, after each press, whether it was accepted and
// what the display shows. For scripts and for checking behaviour from outside;
// the user's settings are neither read nor written.
#include "app/terminal/Calculation.h"
#include "app/terminal/TerminalRequest.h"
#include "calculator/CalcController.h"
#include "engine/CalcEngine.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The start-up values, as an empty settings store would give them.
struct PressSettings {
    int base = 10;
    int notation = 0;
    int repeatedEquals = 1;
    int mode = 1;
    int stackSize = 4;
};

bool ParseInt(const char* text, int low, int high, int& out)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

// "0,2 1,0 5,0" -> pairs; false on a malformed pair.
bool ParsePairs(const std::string& text, std::vector<std::pair<int, int>>& pairs)
{
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        size_t comma = token.find(',');
        if (comma == std::string::npos) return false;
        int type, id;
        std::string typeText = token.substr(0, comma), idText = token.substr(comma + 1);
        if (!ParseInt(typeText.c_str(), -1000000, 1000000, type) || !ParseInt(idText.c_str(), -1000000, 1000000, id))
            return false;
        pairs.emplace_back(type, id);
    }
    return true;
}

}  // namespace

int RunPressCommand(const STerminalRequest& request)
{
    SEngineOptions engineOptions;
    PressSettings settings;
    if (const int bad = ReadEngineOptions(request, engineOptions)) return bad;
    if (engineOptions.notation >= 0) settings.notation = engineOptions.notation;
    static const struct {
        const char* flag;
        int PressSettings::*field;
        int low, high;
    } kNumbers[] = {
        {"--mode", &PressSettings::mode, 0, 4},
        {"--repeated-equals", &PressSettings::repeatedEquals, 0, 1},
        {"--stack-size", &PressSettings::stackSize, 3, 20},
    };
    for (const auto& number : kNumbers)
        if (const int bad = ReadNumberOption(request, number.flag, number.low, number.high, settings.*number.field))
            return bad;
    const std::string& keys = *request.Find("--press");
    std::vector<std::pair<int, int>> pairs;
    if (!ParsePairs(keys, pairs) || pairs.empty())
        return UsageError("--press: " + Quoted(keys) + " is not a list of TYPE,ID pairs such as \"0,2 1,0 0,3 5,0\"");
    PrepareEngine(engineOptions);
    settings.base = engineOptions.base;

    CCalcController calc;
    // The order in which stored settings reach the controller: base before mode.
    calc.SetCalcBase(settings.base);
    calc.SetNotation(settings.notation);
    calc.SetRepeatedEquals(settings.repeatedEquals);
    calc.SetCalcMode(settings.mode);
    calc.SetStackSize(settings.stackSize);

    std::string full, mantissa, exponent;
    for (const auto& [type, id] : pairs) {
        int accepted = calc.Dispatch(type, id);
        calc.GetDisplay(full, mantissa, exponent, 1, 0);
        std::printf("%d\t%s\t%s\t%s\t%s\n", accepted, full.c_str(), mantissa.c_str(), exponent.c_str(),
                    calc.GetSignText().c_str());
    }
    CCalcEngine::ReleaseInstance();
    return 0;
}
