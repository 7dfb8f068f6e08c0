// tallix --eval TEXT, or tallix TEXT: one calculation, its result on one line.
#include "app/terminal/Calculation.h"
#include "app/terminal/ExpressionInput.h"
#include "app/terminal/TerminalRequest.h"
#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"

#include <cstdio>

namespace {

// The text the calculator's display would show, in the current notation.
std::string DisplayText(const CCalcEngine& engine, const std::string& result)
{
    std::string full, mantissa, exponent;
    CNumberText* text = CNumberText::GetInstance();
    if (engine.GetBase() == 10)
        text->FormatDisplay(result, full, mantissa, exponent, 0, 20);
    else
        text->CheckWidth(result, full, mantissa, exponent, 50);
    return full;
}

} // namespace

CCalcEngine& PrepareEngine(const SEngineOptions& options)
{
    CCalcEngine& engine = *CCalcEngine::GetInstance();
    engine.SetBase(options.base);
    engine.SetAngleMode(options.angle);
    if (options.notation >= 0) CNumberText::GetInstance()->SetNotation(options.notation);
    return engine;
}

SCalcLine Calculate(CCalcEngine& engine, const std::string& typed, const std::string* answer)
{
    SCalcLine line;
    const SPreparedExpression prepared = PrepareExpression(typed, engine.GetBase(), answer);
    if (prepared.problem != ExpressionProblem::kNone) {
        line.outcome = prepared.problem == ExpressionProblem::kEmpty ? CalcOutcome::kEmpty : CalcOutcome::kRefused;
        line.text = prepared.message;
        return line;
    }
    engine.Evaluate(prepared.text, line.engineText);
    const bool error = IsErrorWord(line.engineText);
    line.outcome = error ? CalcOutcome::kErrorWord : CalcOutcome::kResult;
    line.text = DisplayText(engine, line.engineText);
    return line;
}

int RunEvalCommand(const STerminalRequest& request)
{
    SEngineOptions options;
    if (const int bad = ReadEngineOptions(request, options)) return bad;
    std::string typed;
    if (const std::string* text = request.Find("--eval")) typed = *text;
    if (!request.operands.empty()) typed += (typed.empty() ? "" : " ") + request.JoinedOperands();
    const SCalcLine line = Calculate(PrepareEngine(options), typed, nullptr);
    CCalcEngine::ReleaseInstance();
    switch (line.outcome) {
    case CalcOutcome::kEmpty: return UsageError("there is nothing to calculate");
    case CalcOutcome::kRefused: return Failure(line.text);
    case CalcOutcome::kErrorWord:
    case CalcOutcome::kResult: break;
    }
    std::printf("%s\n", line.text.c_str());
    return line.outcome == CalcOutcome::kResult ? 0 : 1;
}
