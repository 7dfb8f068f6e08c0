// Time to read a settings file of many values (the whole parse into the
// value table, as at every start), by number of values. A file that grew
// large must cost in proportion to its size: the fitted complexity is
// printed after the table.
#include "platform/Registry.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// `count` values in groups of a hundred, half numbers and half texts.
std::string SettingsText(int count)
{
    CMemoryRegistry registry;
    for (int i = 0; i < count; ++i) {
        const std::string key = "SOFTWARE\\Fernhill\\Tallix\\Group" + std::to_string(i / 100);
        const std::string name = "Value" + std::to_string(i);
        if (i % 2) registry.WriteText(key.c_str(), name.c_str(), "some text");
        else registry.WriteNumber(key.c_str(), name.c_str(), i);
    }
    return CFileRegistry::Format(registry.Values());
}

// All in one group, as a tool or a damaged write may leave them.
std::string OneGroupText(int count)
{
    std::string text = "[SOFTWARE\\Fernhill\\Tallix\\General]\n";
    for (int i = 0; i < count; ++i) text += "Value" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    return text;
}

void ParseSettings(benchmark::State& state, std::string (*make)(int))
{
    const std::string text = make(int(state.range(0)));
    for (auto _ : state) {
        CRegistryValues values;
        CFileRegistry::Parse(text, values);
        benchmark::DoNotOptimize(values.Keys().data());
    }
    state.SetComplexityN(state.range(0));
}

void BM_ParseGroupsOfHundred(benchmark::State& state) { ParseSettings(state, SettingsText); }
void BM_ParseOneGroup(benchmark::State& state) { ParseSettings(state, OneGroupText); }

BENCHMARK(BM_ParseGroupsOfHundred)->RangeMultiplier(2)->Range(5000, 40000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ParseOneGroup)->RangeMultiplier(2)->Range(5000, 40000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace

BENCHMARK_MAIN();
