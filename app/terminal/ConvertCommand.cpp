// tallix --convert VALUE FROM TO: one unit or currency conversion, the result
// on one line. tallix --list-units [CATEGORY] and --list-currencies: what
// --convert knows.
#include "app/terminal/RatesFile.h"
#include "app/terminal/TerminalRequest.h"
#include "app/terminal/UnitCatalogue.h"
#include "conversions/CurrencyTable.h"
#include "conversions/FormatDouble.h"
#include "conversions/UnitConverter.h"
#include "conversions/UnitNames.h"
#include "platform/TextCodec.h"
#include "platform/UserFolders.h"

#include <strings.h>

#include <cerrno>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kConvertForm[] = "--convert needs VALUE FROM TO, e.g. --convert 1 mi km";
const char kBeyondRange[] = "the result is beyond the range of numbers (about 1.8e308)";

std::string UnitNamesPath()
{
    return ProgramFolder() + "UnitLib.txt";
}

int UnitNamesFailure()
{
    const std::string problem = UnreadableFileProblem(UnitNamesPath());
    return Failure("can't read the unit names: " + (problem.empty() ? UnitNamesPath() + " holds none" : problem));
}

// The converters read whatever leading part of a text looks like a number;
// only a plain decimal number within the range of doubles is taken here.
std::string NumberProblem(const std::string& text)
{
    bool digit = false, plain = true;
    for (char c : text) {
        if (c >= '0' && c <= '9') digit = true;
        else if (!c || !std::strchr(".eE+-", c)) plain = false;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (!digit || !plain || *end != '\0') return Quoted(text) + " is not a decimal number";
    if (errno == ERANGE && std::isinf(value)) return Quoted(text) + " is beyond the range of numbers (about 1.8e308)";
    return std::string();
}

std::string CategoryName(const CUnitConverter& converter, int category)
{
    std::string name;
    converter.CategoryName(category, name);
    return name;
}

// Of every way the two names could be read, the one pair of units that
// converts ("f c": Fahrenheit to Celsius, though "c" is the speed of light);
// false when none or several do.
bool OnlyConvertiblePair(const std::vector<const SUnitEntry*>& from, const std::vector<const SUnitEntry*>& to,
                         const SUnitEntry*& f, const SUnitEntry*& t)
{
    std::vector<std::pair<std::string, std::string>> pairs; // a unit in two categories (litre) is one unit
    for (const SUnitEntry* a : from)
        for (const SUnitEntry* b : to) {
            if (a->category != b->category) continue;
            const std::pair<std::string, std::string> names(a->name, b->name);
            if (std::find(pairs.begin(), pairs.end(), names) != pairs.end()) continue;
            pairs.push_back(names);
            f = a, t = b;
        }
    return pairs.size() == 1;
}

int ConvertUnits(const SUnitEntry& from, const SUnitEntry& to, const std::string& value)
{
    CUnitConverter converter(UnitNamesPath());
    converter.SetCategory(from.category);
    converter.SetFromUnit(from.unit);
    converter.SetToUnit(to.unit);
    std::string result;
    if (!converter.Convert(value.c_str(), result))
        return Failure(value + " " + from.abbreviation + " is below absolute zero (" +
                       FormatDouble(converter.AbsoluteZero(), 12) + " " + from.abbreviation + ")");
    if (!std::isfinite(converter.ConvertValue(ReadNumber(value.c_str()))))
        return Failure(kBeyondRange);
    std::printf("%s\n", result.c_str());
    return 0;
}

// Reads the rates; says on stderr which rates are used.
void LoadRates(CCurrencyTable& table)
{
    if (!table.Load()) {
        const std::string path = table.ReadPath();
        std::string problem = UnreadableFileProblem(path);
        if (problem.empty()) problem = path + " can't be read";
        std::fprintf(stderr, "tallix: %s; using the built-in rates\n", problem.c_str());
        return;
    }
    const std::string downloaded = StoredRatesDate();
    const std::string& valid = table.ReferenceDate();
    std::string said = valid.empty() ? std::string() : "rates of " + valid;
    if (!said.empty() && !table.Source().empty()) said += " from " + table.Source();
    if (SRatesAge age; StaleRatesAge(valid, LocalToday(), age)) said += ", " + RatesAgeText(age);
    if (!downloaded.empty()) said += (said.empty() ? "rates downloaded on " : ", downloaded on ") + downloaded;
    if (!said.empty()) std::fprintf(stderr, "tallix: %s\n", said.c_str());
}

// What a rate other than the reference date's is: built-in, or of its own day.
std::string RateRemark(const CCurrencyTable& table, int index)
{
    if (table.IsBuiltIn(index)) return "a built-in rate, not a market rate";
    const std::string& date = table.RateDate(index);
    if (date.empty() || date == table.ReferenceDate()) return {};
    SRatesAge age;
    return "of " + date + (StaleRatesAge(date, LocalToday(), age) ? ", " + RatesAgeText(age) : "");
}

int ConvertCurrencies(int from, int to, const std::vector<std::string>& args)
{
    CCurrencyTable table;
    LoadRates(table);
    table.SetFrom(from);
    table.SetTo(to);
    table.SetAmount(args[0].c_str());
    std::string result;
    table.GetResult(result, 0);
    if (!std::isfinite(table.Result())) return Failure("the result is beyond the range of numbers (about 1.8e308)");
    if (result.empty()) return Failure("the rates give no rate for " + args[1] + " or " + args[2]);
    for (const int index : {from, to}) {
        std::string code, name, symbol;
        table.GetEntry(index, code, name, symbol);
        if (const std::string remark = RateRemark(table, index); !remark.empty())
            std::fprintf(stderr, "tallix: the %s rate is %s\n", code.c_str(), remark.c_str());
    }
    std::printf("%s\n", result.c_str());
    return 0;
}

size_t Utf8Length(const std::string& text)
{
    size_t n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

} // namespace

int RunConvertCommand(const STerminalRequest& request)
{
    std::vector<std::string> args = request.operands;
    if (args.size() == 4 && args[2] == "to") args.erase(args.begin() + 2);
    if (args.size() != 3) return UsageError(kConvertForm);
    if (const std::string problem = NumberProblem(args[0]); !problem.empty()) return UsageError("--convert: " + problem);

    CUnitCatalogue units;
    const bool named = units.Load(UnitNamesPath());
    std::vector<const SUnitEntry*> found[2], readings[2];
    std::string choices[2];
    for (int side = 0; side < 2; ++side) {
        found[side] = units.Find(args[1 + side], choices[side]);
        readings[side] = units.Readings(args[1 + side]);
    }
    const SUnitEntry* unit[2] = {};
    if (CommonCategory(found[0], found[1], unit[0], unit[1])) return ConvertUnits(*unit[0], *unit[1], args[0]);
    if (OnlyConvertiblePair(readings[0], readings[1], unit[0], unit[1])) {
        // Said, since the names were read otherwise than at first sight.
        for (int side = 0; side < 2; ++side)
            if (std::find(found[side].begin(), found[side].end(), unit[side]) == found[side].end())
                std::fprintf(stderr, "tallix: reading %s as %s (%s)\n", Quoted(args[1 + side]).c_str(),
                             unit[side]->abbreviation.c_str(), unit[side]->name.c_str());
        return ConvertUnits(*unit[0], *unit[1], args[0]);
    }
    CCurrencyTable codes;
    const int currency[2] = {codes.FindCode(args[1].c_str()), codes.FindCode(args[2].c_str())};
    if (currency[0] >= 0 && currency[1] >= 0) return ConvertCurrencies(currency[0], currency[1], args);
    for (int side = 0; side < 2; ++side) {
        if (!readings[side].empty() || currency[side] >= 0) continue;
        if (!named) return UnitNamesFailure();
        return UsageError("--convert: unknown unit or currency " + Quoted(args[1 + side]) +
                          " (--list-units and --list-currencies show them)");
    }
    for (int side = 0; side < 2; ++side)
        if (!choices[side].empty())
            return UsageError("--convert: " + Quoted(args[1 + side]) + " could be " + choices[side] +
                              "; write the unit as shown");
    if (!found[0].empty() && !found[1].empty()) {
        CUnitConverter converter(UnitNamesPath());
        return Failure("can't convert " + args[1] + " (" + CategoryName(converter, found[0][0]->category) + ") to " +
                       args[2] + " (" + CategoryName(converter, found[1][0]->category) + ")");
    }
    return Failure("can't convert " + args[1] + " to " + args[2] + ": one is a unit, the other a currency");
}

int RunListUnitsCommand(const STerminalRequest& request)
{
    CUnitCatalogue units;
    if (!units.Load(UnitNamesPath())) return UnitNamesFailure();
    CUnitConverter converter(UnitNamesPath());
    const std::string wanted = request.JoinedOperands();
    int only = -1;
    std::string names;
    for (int c = 0; c < converter.CategoryCount(); ++c) {
        const std::string name = CategoryName(converter, c);
        if (!wanted.empty() && strcasecmp(name.c_str(), wanted.c_str()) == 0) only = c;
        names += (names.empty() ? "" : ", ") + name;
    }
    if (!wanted.empty() && only < 0)
        return UsageError("--list-units: no category " + Quoted(wanted) + "; the categories are " + names);
    size_t width = 0;
    for (const SUnitEntry& unit : units.Units()) width = std::max(width, Utf8Length(unit.abbreviation));
    int category = -1;
    for (const SUnitEntry& unit : units.Units()) {
        if (only >= 0 && unit.category != only) continue;
        if (unit.category != category) {
            category = unit.category;
            std::printf("%s\n", CategoryName(converter, category).c_str());
        }
        const std::string padding(width - Utf8Length(unit.abbreviation) + 2, ' ');
        std::printf("  %s%s%s\n", unit.abbreviation.c_str(), padding.c_str(), unit.name.c_str());
    }
    return 0;
}

int RunListCurrenciesCommand(const STerminalRequest&)
{
    CCurrencyTable table;
    LoadRates(table);
    for (int i = 0; i < table.Count(); ++i) {
        std::string code, name, symbol, rate;
        table.GetEntry(i, code, name, symbol);
        table.GetRateText(i, rate);
        // A rate older than the rest says of when it is; a built-in one says so.
        const std::string remark = RateRemark(table, i);
        const std::string older = remark.empty() ? "" : "  (" + (table.IsBuiltIn(i) ? remark.substr(2) : "rate " + remark) + ")";
        std::printf("%s  %14s  %s%s\n", code.c_str(), rate.c_str(), Cp1252ToUtf8(name).c_str(), older.c_str());
    }
    return 0;
}
