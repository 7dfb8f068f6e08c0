// tallix --press "T,I T,I ..." [options]: presses key commands on a freshly
// built calculator and prints, after each press, whether it was accepted and
// what the display shows. For scripts and for checking behaviour from outside;
// the user's settings are neither read nor written.
#include "calculator/CalcController.h"
#include "engine/CalcEngine.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

int ApplyEngineOption(int argc, char** argv, int& i, CCalcEngine& engine);   // EvalCommand.cpp

namespace {

const char kPressUsage[] =
    "usage: tallix --press \"T,I T,I ...\" [--mode 0-4] [--base 2-36] [--angle deg|rad|grad]\n"
    "                      [--notation 0-3] [--repeated-equals 0|1] [--stack-size 3-20]\n";

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

// One option of the settings table at argv[i]; 1 applied, 0 not one, -1 bad.
int ParseSettingOption(int argc, char** argv, int& i, PressSettings& s)
{
    static const struct {
        const char* flag;
        int PressSettings::*field;
        int low, high;
    } kOptions[] = {
        {"--mode", &PressSettings::mode, 0, 4},
        {"--notation", &PressSettings::notation, 0, 3},
        {"--repeated-equals", &PressSettings::repeatedEquals, 0, 1},
        {"--stack-size", &PressSettings::stackSize, 3, 20},
    };
    for (const auto& o : kOptions) {
        if (std::string_view(argv[i]) != o.flag) continue;
        if (i + 1 >= argc) return -1;
        return ParseInt(argv[++i], o.low, o.high, s.*o.field) ? 1 : -1;
    }
    return 0;
}

}  // namespace

int RunPressCommand(int argc, char** argv)
{
    CCalcEngine* engine = CCalcEngine::GetInstance();
    PressSettings settings;
    const char* keys = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--press" && !keys && i + 1 < argc) {
            keys = argv[++i];
            continue;
        }
        int applied = ParseSettingOption(argc, argv, i, settings);
        if (applied == 0) applied = ApplyEngineOption(argc, argv, i, *engine);
        if (applied != 1) {
            std::fputs(kPressUsage, stderr);
            return 2;
        }
    }
    std::vector<std::pair<int, int>> pairs;
    if (!keys || !ParsePairs(keys, pairs)) {
        std::fputs(kPressUsage, stderr);
        return 2;
    }
    settings.base = engine->GetBase();

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
    return std::fflush(stdout) == 0 ? 0 : 1;
}
