// tallix --eval TEXT [--base N] [--angle deg|rad|grad]: one calculation, its
// result text on one line.
#include "engine/CalcEngine.h"
#include "platform/TextCodec.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

const char kEvalUsage[] = "usage: tallix --eval TEXT [--base N] [--angle deg|rad|grad]\n";

int ParseBase(const char* text)
{
    char* end = nullptr;
    const long base = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || base < 2 || base > 36) return 0;
    return static_cast<int>(base);
}

int ParseAngle(std::string_view text)
{
    if (text == "deg") return 0;
    if (text == "rad") return 1;
    if (text == "grad") return 2;
    return -1;
}

}

// Applies "--base N" or "--angle UNIT" at argv[i] to the engine and moves i
// past its value. 1 when applied, 0 when argv[i] is no engine option, -1 when
// its value is missing or wrong. Shared with the line calculator.
int ApplyEngineOption(int argc, char** argv, int& i, CCalcEngine& engine)
{
    const std::string_view option = argv[i];
    if (option != "--base" && option != "--angle") return 0;
    if (i + 1 >= argc) return -1;
    const char* value = argv[++i];
    if (option == "--base") {
        const int base = ParseBase(value);
        return base && engine.SetBase(base) ? 1 : -1;
    }
    const int mode = ParseAngle(value);
    if (mode < 0) return -1;
    engine.SetAngleMode(mode);
    return 1;
}

int RunEvalCommand(int argc, char** argv)
{
    CCalcEngine* engine = CCalcEngine::GetInstance();
    const char* text = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--eval" && !text && i + 1 < argc) {
            text = argv[++i];
            continue;
        }
        if (ApplyEngineOption(argc, argv, i, *engine) != 1) {
            std::fputs(kEvalUsage, stderr);
            return 2;
        }
    }
    if (!text) {
        std::fputs(kEvalUsage, stderr);
        return 2;
    }
    std::string result;
    engine->Evaluate(Utf8ToCp1252(text), result);
    std::printf("%s\n", Cp1252ToUtf8(result).c_str());
    CCalcEngine::ReleaseInstance();
    return std::fflush(stdout) == 0 ? 0 : 1;
}
