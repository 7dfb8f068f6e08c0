#pragma once
// Reads a calculation as people type it at a terminal into the calculator's
// own grammar, and finds where and why a calculation cannot be read.
//
// Leniently, it also reads what other calculators accept: a number times a
// bracket, constant or function written side by side ("2pi", "3sin(30)"); a
// function applied to the operand after it without brackets ("sin 30"); the
// prefixes 0x, 0b and 0o; the signs π, √, −, ⁻¹ and "**"; a "%" that no
// operand follows as the percent key ("200+10%" is 220); brackets still open
// at the end are closed. Strictly, it reads the grammar only, which serves to
// locate a fault the calculator refused.
#include <cstddef>
#include <string>
#include <vector>

struct SReadingRules {
    int base = 10;
    bool lenient = true;
    bool answer = false; // whether "ans" names the last result
};

struct SReading {
    bool ok = false;
    std::string text;      // ASCII, in the form the calculator reads (when ok)
    bool rewritten = false; // read otherwise than at first sight: worth a note
    size_t faultAt = 0;    // in characters of the typed text; its length for the end
    std::string fault;     // why the calculation can't be read (when not ok)
    std::string unknown;   // the unknown name at fault, if that is why
};

// typed: UTF-8.
SReading ReadExpression(const std::string& typed, const SReadingRules& rules);

// "syntax error at character 3 of "2+*3": REASON", then the text and a caret
// under the place, each line ending in a line break.
std::string LocatedFault(const std::string& typed, size_t at, const std::string& reason);

// How the reading shows: "2×pi" for "2*pi".
std::string ShownReading(const std::string& text);

// The known function and constant names (and "ans" when asked), for
// completion and suggestions.
std::vector<std::string> KnownNames(bool withAnswer);
// The known name nearest to word by spelling; empty when none is close.
std::string NearestName(const std::string& word, bool withAnswer);
