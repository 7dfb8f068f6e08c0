// Cost of one key press in the core: CCalcController::Dispatch of a key and
// the display text the window then asks for (notation, tidy, split), per
// key, over a calculation typed key by key. The peer, measured in the same
// run, is muparser parsing and evaluating the finished calculation once;
// the ratio says how a whole typed calculation compares with one evaluation.
#include "calculator/CalcController.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

struct Key {
    int type;
    int id;
};

// 12.5 x (3 + 4) = in Algebraic mode: 10 keys.
const Key kKeys[] = {{0, 1}, {0, 2}, {0, 16}, {0, 5}, {1, 2}, {3, 0}, {0, 3}, {1, 0}, {0, 4}, {3, 1}, {5, 0}};
const int kKeyCount = sizeof kKeys / sizeof kKeys[0];

void PressAll(CCalcController& calc, std::string& full, std::string& mantissa, std::string& exponent)
{
    for (const Key& key : kKeys) {
        calc.Dispatch(key.type, key.id);
        calc.GetDisplay(full, mantissa, exponent, 1, 0);
    }
}

void BM_KeyPressWithDisplay(benchmark::State& state)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    std::string full, mantissa, exponent;
    for (auto _ : state) {
        PressAll(calc, full, mantissa, exponent);
        benchmark::DoNotOptimize(full);
        calc.Dispatch(8, 0);
    }
    state.SetItemsProcessed(state.iterations() * (kKeyCount + 1));
}
BENCHMARK(BM_KeyPressWithDisplay);

void BM_PeerEvaluation(benchmark::State& state)
{
    mu::Parser parser;
    for (auto _ : state) {
        parser.SetExpr("12.5*(3+4)");
        benchmark::DoNotOptimize(parser.Eval());
    }
}
BENCHMARK(BM_PeerEvaluation);

double NanosPer(void (*body)(), int rounds)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) body();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / rounds;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    static CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    static std::string full, mantissa, exponent;
    static mu::Parser parser;
    const double perCalculation = NanosPer([] {
        PressAll(calc, full, mantissa, exponent);
        calc.Dispatch(8, 0);
    }, 20000);
    const double peer = NanosPer([] {
        parser.SetExpr("12.5*(3+4)");
        benchmark::DoNotOptimize(parser.Eval());
    }, 20000);
    std::printf("\nper key (Dispatch + display text): %.0f ns\n", perCalculation / (kKeyCount + 1));
    std::printf("typed calculation / muparser evaluation: %.2f\n", perCalculation / peer);
    benchmark::Shutdown();
    return 0;
}
