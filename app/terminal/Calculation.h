#pragma once
// One calculation of --eval and of the line calculator: typed text in, the
// line to print and what kind of line it is out.
#include <string>

class CCalcEngine;
struct SEngineOptions;

enum class CalcOutcome {
    kResult,    // a number
    kErrorWord, // the engine's "syntax error", "infinity" or "imaginary"
    kRefused,   // not handed to the engine (a digit the base lacks, too long); text says why
    kEmpty,     // nothing but blanks
};

struct SCalcLine {
    CalcOutcome outcome = CalcOutcome::kEmpty;
    std::string text;      // UTF-8, without a line break
    std::string engineText; // the engine's own result text (for "ans")
    std::string notes;      // lines for standard error: how the text was read, where it fails
};

// The shared engine, set to the options' base and angle unit (and the display
// text to their notation, when given).
CCalcEngine& PrepareEngine(const SEngineOptions& options);

// The text is the one the calculator's display shows, in the current notation
// ("Syntax Error", "1e+021"), so every command prints a result alike. answer:
// the last result in the current base, or null where "ans" means nothing.
// strict: the calculator's grammar only, no "to" target.
SCalcLine Calculate(CCalcEngine& engine, const std::string& typed, const std::string* answer, bool strict);

// What the calculator's display shows for an engine result text in base.
std::string DisplayText(const std::string& result, int base);
