// One calculation as typed: read leniently (unless strict), evaluated, and
// on a fault located; "EXPR to hex" and "5 miles to km" give the result in
// another base or unit.
#include "app/terminal/Calculation.h"
#include "app/terminal/ExpressionInput.h"
#include "app/terminal/ExpressionReading.h"
#include "app/terminal/TerminalRequest.h"
#include "app/terminal/UnitCatalogue.h"
#include "conversions/FormatDouble.h"
#include "conversions/UnitConverter.h"
#include "engine/CalcEngine.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

struct SBaseWord {
    const char* word;
    int base;
};
const SBaseWord kBaseTargets[] = {{"hex", 16}, {"bin", 2}, {"oct", 8}, {"dec", 10}};

// What "... to X" or "... in X" asks for.
struct STarget {
    std::vector<std::string> left; // the words before " to "
    std::string right;             // after it
    int base = 0;                  // a base asked for, else 0
};

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string Joined(const std::vector<std::string>& words, size_t from, size_t to)
{
    std::string text;
    for (size_t k = from; k < to; ++k) text += (k == from ? "" : " ") + words[k];
    return text;
}

// The last "to" or "in" with words on both sides; false when there is none.
bool FindTarget(const std::string& typed, STarget& target)
{
    const std::vector<std::string> words = Words(typed);
    for (size_t k = words.size(); k-- > 1;) {
        if (words[k] != "to" && words[k] != "in") continue;
        if (k + 1 == words.size()) return false;
        target.left.assign(words.begin(), words.begin() + k);
        target.right = Joined(words, k + 1, words.size());
        for (const SBaseWord& w : kBaseTargets)
            if (target.right == w.word) target.base = w.base;
        const std::vector<std::string> rest(words.begin() + k + 1, words.end());
        if (rest.size() == 2 && rest[0] == "base") {
            const int base = std::atoi(rest[1].c_str());
            if (std::to_string(base) == rest[1] && base >= 2 && base <= 36) target.base = base;
        }
        return true;
    }
    return false;
}

bool IsUnit(const std::string& word)
{
    CUnitCatalogue units;
    return units.Load(ShippedUnitNamesPath()) && !units.Readings(word).empty();
}

bool Failed(const SCalcLine& line)
{
    return line.outcome == CalcOutcome::kRefused || (line.outcome == CalcOutcome::kErrorWord && line.engineText == "syntax error");
}

SCalcLine Evaluated(CCalcEngine& engine, const std::string& text, const std::string* answer, int outBase)
{
    SCalcLine line;
    const SPreparedExpression prepared = PrepareExpression(text, engine.GetBase(), answer);
    if (prepared.problem != ExpressionProblem::kNone) {
        line.outcome = prepared.problem == ExpressionProblem::kEmpty ? CalcOutcome::kEmpty : CalcOutcome::kRefused;
        line.text = prepared.message;
        return line;
    }
    engine.Evaluate(prepared.text, line.engineText);
    const bool error = IsErrorWord(line.engineText);
    line.outcome = error ? CalcOutcome::kErrorWord : CalcOutcome::kResult;
    std::string shown = line.engineText;
    if (!error && outBase != engine.GetBase()) engine.EvaluateInBases(line.engineText, shown, engine.GetBase(), outBase);
    line.text = DisplayText(shown, outBase);
    return line;
}

SCalcLine Read(CCalcEngine& engine, const std::string& typed, const std::string* answer, bool strict, int outBase)
{
    const SReadingRules rules{engine.GetBase(), !strict, answer != nullptr};
    const SReading reading = ReadExpression(typed, rules);
    // A text the reading can't make sense of goes to the calculator as typed:
    // it has the last word on what it reads.
    const bool useReading = !strict && reading.ok;
    SCalcLine line = Evaluated(engine, useReading ? reading.text : typed, answer, outBase);
    if (useReading && reading.rewritten && line.outcome != CalcOutcome::kEmpty)
        line.notes += "tallix: reading " + Quoted(typed) + " as " + ShownReading(reading.text) + "\n";
    if (Failed(line) && !reading.ok) {
        line.notes += "tallix: " + LocatedFault(typed, reading.faultAt, reading.fault);
        if (!reading.unknown.empty() && IsUnit(reading.unknown))
            line.notes += "tallix: " + reading.unknown + " is a unit: \"VALUE " + reading.unknown + " to UNIT\" converts\n";
    }
    return line;
}

// "5 miles to km": the value's unit is the last one to three words before
// "to", the longest that converts to the target. False when none does.
bool FindUnits(const STarget& target, const CUnitCatalogue& units, size_t& valueWords, const SUnitEntry*& from,
               const SUnitEntry*& to)
{
    std::string choices;
    std::vector<const SUnitEntry*> wanted = units.Find(target.right, choices);
    if (wanted.empty()) wanted = units.Readings(target.right);
    for (size_t n = std::min<size_t>(3, target.left.size() - 1); n >= 1; --n) {
        const std::string name = Joined(target.left, target.left.size() - n, target.left.size());
        std::vector<const SUnitEntry*> found = units.Find(name, choices);
        if (CommonCategory(found, wanted, from, to) || CommonCategory(units.Readings(name), wanted, from, to)) {
            valueWords = target.left.size() - n;
            return true;
        }
    }
    return false;
}

std::string CategoryOf(const SUnitEntry& unit)
{
    std::string name;
    CUnitConverter(ShippedUnitNamesPath()).CategoryName(unit.category, name);
    return name;
}

// The result of the value's calculation, in the value's unit, converted.
SCalcLine ConvertedUnits(CCalcEngine& engine, const std::string& value, const std::string* answer,
                         const SUnitEntry& from, const SUnitEntry& to)
{
    SCalcLine line = Read(engine, value, answer, false, 10);
    if (line.outcome != CalcOutcome::kResult) return line;
    std::string decimal = line.engineText;
    if (engine.GetBase() != 10) engine.EvaluateInBases(line.engineText, decimal, engine.GetBase(), 10);
    CUnitConverter converter(ShippedUnitNamesPath());
    converter.SetCategory(from.category);
    converter.SetFromUnit(from.unit);
    converter.SetToUnit(to.unit);
    if (!converter.Convert(decimal.c_str(), line.text)) {
        line.outcome = CalcOutcome::kRefused;
        line.text = decimal + " " + from.abbreviation + " is below absolute zero (" +
                    FormatDouble(converter.AbsoluteZero(), 12) + " " + from.abbreviation + ")";
        return line;
    }
    if (engine.GetBase() == 10) line.engineText = line.text;
    return line;
}

// Whether from converts to to by a factor alone: only such amounts add up
// (5 C + 5 C is not 10 C in Fahrenheit).
bool Proportional(const SUnitEntry& from, const SUnitEntry& to)
{
    CUnitConverter converter(ShippedUnitNamesPath());
    converter.SetCategory(from.category);
    converter.SetFromUnit(from.unit);
    converter.SetToUnit(to.unit);
    std::string zero;
    return converter.Convert("0", zero) && std::strtod(zero.c_str(), nullptr) == 0.0;
}

// "3 ft + 4 in to cm": amounts in units of one kind, each converted, added.
// False when the words are not such a sum.
bool ConvertedSum(CCalcEngine& engine, const STarget& target, const CUnitCatalogue& units, const std::string* answer,
                  SCalcLine& line)
{
    std::vector<STarget> parts(1);
    std::vector<double> signs = {1.0};
    for (const std::string& word : target.left) {
        if (word == "+" || word == "-") {
            parts.emplace_back();
            signs.push_back(word == "+" ? 1.0 : -1.0);
        } else {
            parts.back().left.push_back(word);
        }
    }
    if (parts.size() < 2) return false;
    std::vector<std::pair<const SUnitEntry*, const SUnitEntry*>> unitsOf(parts.size());
    std::vector<size_t> valueWords(parts.size());
    for (size_t k = 0; k < parts.size(); ++k) {
        parts[k].right = target.right;
        if (parts[k].left.size() < 2 || !FindUnits(parts[k], units, valueWords[k], unitsOf[k].first, unitsOf[k].second))
            return false;
    }
    for (const auto& [from, to] : unitsOf)
        if (!Proportional(*from, *to)) {
            line.outcome = CalcOutcome::kRefused;
            line.text = "amounts in " + from->abbreviation + " and " + to->abbreviation + " don't add up; convert each on its own";
            return true;
        }
    double total = 0.0;
    for (size_t k = 0; k < parts.size(); ++k) {
        line = ConvertedUnits(engine, Joined(parts[k].left, 0, valueWords[k]), answer, *unitsOf[k].first, *unitsOf[k].second);
        if (line.outcome != CalcOutcome::kResult) return true;
        total += signs[k] * std::strtod(line.text.c_str(), nullptr);
    }
    line.text = FormatDouble(total, 12);
    if (engine.GetBase() == 10) line.engineText = line.text;
    return true;
}

} // namespace

SCalcLine Calculate(CCalcEngine& engine, const std::string& typed, const std::string* answer, bool strict)
{
    STarget target;
    if (strict || !FindTarget(typed, target)) return Read(engine, typed, answer, strict, engine.GetBase());
    if (target.base) return Read(engine, Joined(target.left, 0, target.left.size()), answer, false, target.base);
    CUnitCatalogue units;
    if (target.left.size() < 2 || !units.Load(ShippedUnitNamesPath())) return Read(engine, typed, answer, false, engine.GetBase());
    SCalcLine line;
    if (ConvertedSum(engine, target, units, answer, line)) return line;
    size_t valueWords = 0;
    const SUnitEntry* from = nullptr;
    const SUnitEntry* to = nullptr;
    if (FindUnits(target, units, valueWords, from, to))
        return ConvertedUnits(engine, Joined(target.left, 0, valueWords), answer, *from, *to);
    // Two units that don't convert are said so; other words are a calculation.
    const std::vector<const SUnitEntry*> have = units.Readings(target.left.back()), want = units.Readings(target.right);
    if (have.empty() || want.empty()) return Read(engine, typed, answer, false, engine.GetBase());
    line.outcome = CalcOutcome::kRefused;
    line.text = "can't convert " + target.left.back() + " (" + CategoryOf(*have[0]) + ") to " + target.right + " (" +
                CategoryOf(*want[0]) + ")";
    return line;
}
