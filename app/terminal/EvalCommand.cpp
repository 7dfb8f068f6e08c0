// tallix --eval TEXT, or tallix TEXT: one calculation, its result on one line.
#include "app/terminal/Calculation.h"
#include "app/terminal/TerminalRequest.h"
#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"

#include <cstdio>

std::string DisplayText(const std::string& result, int base)
{
    std::string full, mantissa, exponent;
    CNumberText* text = CNumberText::GetInstance();
    if (base == 10)
        text->FormatDisplay(result, full, mantissa, exponent, 0, 20);
    else
        text->CheckWidth(result, full, mantissa, exponent, 50);
    return full;
}

CCalcEngine& PrepareEngine(const SEngineOptions& options)
{
    CCalcEngine& engine = *CCalcEngine::GetInstance();
    engine.SetBase(options.base);
    engine.SetAngleMode(options.angle);
    if (options.notation >= 0) CNumberText::GetInstance()->SetNotation(options.notation);
    return engine;
}

int RunEvalCommand(const STerminalRequest& request)
{
    SEngineOptions options;
    if (const int bad = ReadEngineOptions(request, options)) return bad;
    std::string typed;
    if (const std::string* text = request.Find("--eval")) typed = *text;
    if (!request.operands.empty()) typed += (typed.empty() ? "" : " ") + request.JoinedOperands();
    const SCalcLine line = Calculate(PrepareEngine(options), typed, nullptr, options.strict);
    CCalcEngine::ReleaseInstance();
    std::fputs(line.notes.c_str(), stderr);
    switch (line.outcome) {
    case CalcOutcome::kEmpty: return UsageError("there is nothing to calculate");
    case CalcOutcome::kRefused: return line.notes.empty() ? Failure(line.text) : 1;
    case CalcOutcome::kErrorWord:
    case CalcOutcome::kResult: break;
    }
    std::printf("%s\n", line.text.c_str());
    return line.outcome == CalcOutcome::kResult ? 0 : 1;
}
