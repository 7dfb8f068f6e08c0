// Time of one Evaluate (prepare, parse, postfix, run, result text) against
// muparser's parse and evaluate of the same calculation, in the same run.
// After the usual table it prints the ratio per expression and their
// geometric mean (ours / muparser; lower is faster).
#include "engine/CalcEngine.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct SBenchCase {
    const char* name;
    const char* ours;      // Windows-1252 text as the keypad hands it over
    int base;
    const char* peer;      // the same calculation in muparser's syntax
};

std::string SumOfFifty()
{
    std::string text = "1";
    for (int i = 2; i <= 50; ++i) {
        text.append("+");
        text.append(std::to_string(i));
        text.append(".5");
    }
    return text;
}

const std::string kSum50 = SumOfFifty();

const SBenchCase kCases[] = {
    {"number", "7", 10, "7"},
    {"sum", "1+2", 10, "1+2"},
    {"decimals", "0.1+0.2-0.3", 10, "0.1+0.2-0.3"},
    {"precedence", "2+3*4-5/6", 10, "2+3*4-5/6"},
    {"signs", "12\xD7" "4\xF7" "3+8\xD7" "2", 10, "12*4/3+8*2"},
    {"issue", "12.5*(3+sin(30))", 10, "12.5*(3+sin(30*_pi/180))"},
    {"nested10", "((((((((((1+2)*3)-4)/5)+6)*7)-8)/9)+10)*11)", 10,
     "((((((((((1+2)*3)-4)/5)+6)*7)-8)/9)+10)*11)"},
    {"trig_deg", "sin(30)+cos(60)+tan(45)", 10,
     "sin(30*_pi/180)+cos(60*_pi/180)+tan(45*_pi/180)"},
    {"factorial", "!(10)+!(5)", 10, "fact(10)+fact(5)"},
    {"power", "2^10-3^4", 10, "2^10-3^4"},
    {"roots", "sqrt(2)*sqrt(8)", 10, "sqrt(2)*sqrt(8)"},
    {"logs", "ln(10)+log(100)", 10, "ln(10)+log10(100)"},
    {"exponents", "1.5e3-2.5e2", 10, "1.5e3-2.5e2"},
    {"negations", "-(-(-3))", 10, "-(-(-3))"},
    {"constants", "exp(1)*pi", 10, "exp(1)*_pi"},
    {"circle", "3.14159*2.5^2", 10, "3.14159*2.5^2"},
    {"abs", "abs(-5.5)*2", 10, "abs(-5.5)*2"},
    {"atan", "atan(1)*4", 10, "atan(1)*180/_pi*4"},
    {"sum50", kSum50.c_str(), 10, kSum50.c_str()},
    {"base16", "FF+1A*2", 16, "255+26*2"},
};
constexpr int kCaseCount = sizeof kCases / sizeof kCases[0];

double Fact(double v)
{
    double p = 1.0;
    for (double i = 2.0; i <= v; i += 1.0) p *= i;
    return p;
}

void DefinePeerFunctions(mu::Parser& parser)
{
    parser.DefineFun("fact", Fact);
}

void BM_Tallix(benchmark::State& state)
{
    const SBenchCase& c = kCases[state.range(0)];
    CCalcEngine* engine = CCalcEngine::GetInstance();
    engine->SetBase(c.base);
    engine->SetAngleMode(0);
    const std::string expr = c.ours;
    std::string result;
    result.reserve(64);
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine->Evaluate(expr, result));
        benchmark::DoNotOptimize(result.data());
    }
    engine->SetBase(10);
    state.SetLabel(c.name);
}

void BM_Muparser(benchmark::State& state)
{
    const SBenchCase& c = kCases[state.range(0)];
    mu::Parser parser;
    DefinePeerFunctions(parser);
    const std::string expr = c.peer;
    for (auto _ : state) {
        parser.SetExpr(expr);
        benchmark::DoNotOptimize(parser.Eval());
    }
    state.SetLabel(c.name);
}

// Keeps the time per iteration of every run, by benchmark name.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

// Both sides must compute the same number, or the comparison means nothing.
bool CheckCasesAgree()
{
    bool agree = true;
    CCalcEngine* engine = CCalcEngine::GetInstance();
    engine->SetAngleMode(0);
    for (const SBenchCase& c : kCases) {
        std::string result;
        engine->SetBase(c.base);
        const double ours = engine->EvaluateInBases(c.ours, result, c.base, 10);
        mu::Parser parser;
        DefinePeerFunctions(parser);
        parser.SetExpr(c.peer);
        const double peer = parser.Eval();
        if (std::fabs(ours - peer) > 1e-9 * std::max(1.0, std::fabs(peer))) {
            std::printf("MISMATCH %s: ours %.17g, muparser %.17g\n", c.name, ours, peer);
            agree = false;
        }
    }
    engine->SetBase(10);
    return agree;
}

}

int main(int argc, char** argv)
{
    if (!CheckCasesAgree()) return 1;
    for (int i = 0; i < kCaseCount; ++i) {
        benchmark::RegisterBenchmark("Tallix", BM_Tallix)->Arg(i);
        benchmark::RegisterBenchmark("muparser", BM_Muparser)->Arg(i);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-12s %12s %12s %8s\n", "expression", "Tallix ns", "muparser ns", "ratio");
    double logSum = 0.0;
    int counted = 0;
    for (int i = 0; i < kCaseCount; ++i) {
        char ourName[32];
        char peerName[32];
        std::snprintf(ourName, sizeof ourName, "Tallix/%d", i);
        std::snprintf(peerName, sizeof peerName, "muparser/%d", i);
        const auto ours = reporter.times.find(ourName);
        const auto peer = reporter.times.find(peerName);
        if (ours == reporter.times.end() || peer == reporter.times.end()) continue;
        const double ratio = ours->second / peer->second;
        std::printf("%-12s %12.1f %12.1f %8.3f\n", kCases[i].name, ours->second, peer->second, ratio);
        logSum += std::log(ratio);
        ++counted;
    }
    if (counted)
        std::printf("geometric mean of the ratios over %d expressions: %.3f (target 0.25 or less)\n",
                    counted, std::exp(logSum / counted));
    benchmark::Shutdown();
    return 0;
}
