#include "app/terminal/NameHelp.h"

#include "app/terminal/ExpressionReading.h"
#include "app/terminal/UnitCatalogue.h"
#include "platform/LibrarySymbol.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

struct SNameRow {
    const char* name;
    const char* says;
};

const SNameRow kNames[] = {
    {"abs", "abs(x): x without its sign"},
    {"sqrt", "sqrt(x): the square root of x (also written √x)"},
    {"crt", "crt(x): the cube root of x"},
    {"sqrd", "sqrd(x): x squared (also x²)"},
    {"cbd", "cbd(x): x cubed (also x³)"},
    {"inv", "inv(x): 1/x (also x⁻¹)"},
    {"pm", "pm(x): x with its sign changed"},
    {"exp", "exp(x): e to the power x"},
    {"ex", "ex(x): e to the power x"},
    {"tenx", "tenx(x): 10 to the power x"},
    {"ln", "ln(x): the natural logarithm of x"},
    {"log", "log(x): the logarithm of x to base 10"},
    {"log2", "log2(x): the logarithm of x to base 2"},
    {"sin", "sin(x): the sine of the angle x, in the angle unit"},
    {"cos", "cos(x): the cosine of the angle x, in the angle unit"},
    {"tan", "tan(x): the tangent of the angle x, in the angle unit"},
    {"asin", "asin(x): the angle whose sine is x, in the angle unit"},
    {"acos", "acos(x): the angle whose cosine is x, in the angle unit"},
    {"atan", "atan(x): the angle whose tangent is x, in the angle unit"},
    {"sinh", "sinh(x): the hyperbolic sine of x"},
    {"cosh", "cosh(x): the hyperbolic cosine of x"},
    {"tanh", "tanh(x): the hyperbolic tangent of x"},
    {"asnh", "asnh(x): the inverse hyperbolic sine of x"},
    {"acsh", "acsh(x): the inverse hyperbolic cosine of x (0 below 1)"},
    {"atnh", "atnh(x): the inverse hyperbolic tangent of x (0 outside -1 to 1)"},
    {"atanh", "atanh(x): the inverse hyperbolic tangent of x"},
    {"sum", "sum(x): 0+1+...+x"},
    {"dms", "dms(x): degrees x as degrees.minutesseconds (1.5 is 1.3)"},
    {"dc", "dc(x): degrees.minutesseconds x as degrees (1.3 is 1.5)"},
    {"pct", "pct(x): x percent; after + or - a share of the left side (200+pct(10) is 220)"},
    {"rand", "rand(0): a random number from 0 to 1"},
    {"!", "x! or !(x): the factorial of x (5! is 120)"},
    {"pi", "pi: 3.14159265358979 (also π)"},
    {"e", "e: 2.71828182845905, the base of the natural logarithm"},
    {"ans", "ans: the last result"},
    {"to", "EXPR to hex, bin, oct, dec or base N: the result in that base; 5 mi to km: in that unit"},
    {"deg", "deg: angles in degrees"},
    {"rad", "rad: angles in radians"},
    {"grad", "grad: angles in grads"},
    {"base", "base N: numbers in base 2 to 36 (also bin, oct, dec, hex)"},
};

const char* const kLineWords[] = {"deg", "rad", "grad", "base", "bin", "oct", "dec", "hex", "normal", "fixed",
                                  "sci", "eng", "notation", "help", "quit", "exit", "to", "in"};

std::vector<std::string> g_words;

char* NextMatch(const char* text, int state)
{
    static size_t next = 0;
    if (state == 0) next = 0;
    const size_t length = std::strlen(text);
    while (next < g_words.size()) {
        const std::string& word = g_words[next++];
        if (word.compare(0, length, text) == 0) return strdup(word.c_str());
    }
    return nullptr;
}

} // namespace

std::string DescribeName(const std::string& name, const CUnitCatalogue* units)
{
    for (const SNameRow& row : kNames)
        if (name == row.name) return row.says;
    if (!units) return std::string();
    std::string choices;
    const std::vector<const SUnitEntry*> found = units->Find(name, choices);
    if (!found.empty()) return found[0]->abbreviation + ": the unit " + found[0]->name + " (tallix --list-units)";
    return choices.empty() ? std::string() : name + " could be " + choices;
}

std::vector<std::string> CompletionWords(const CUnitCatalogue* units)
{
    std::vector<std::string> words = KnownNames(true);
    words.insert(words.end(), std::begin(kLineWords), std::end(kLineWords));
    if (units)
        for (const SUnitEntry& unit : units->Units())
            for (const std::string& word : {unit.abbreviation, unit.name})
                if (!word.empty() && word.find(' ') == std::string::npos) words.push_back(word);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

void CompleteFrom(const std::vector<std::string>& words)
{
    // The editor is already loaded by an interactive line reader; never load it here.
    void* library = dlopen("libedit.so.2", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    char* (**entry)(const char*, int) = nullptr;
    const char** breaks = nullptr;
    if (!library || !FindLibrarySymbol(library, "rl_completion_entry_function", entry) ||
        !FindLibrarySymbol(library, "rl_basic_word_break_characters", breaks))
        return;
    g_words = words;
    *entry = NextMatch;
    // A name starts after an operator or a bracket as well as after a blank.
    *breaks = " \t\n()+-*/^%<&|,";
}
