// tallix --convert VALUE FROM TO: one unit or currency conversion, the result
// text on one line. Units are named by abbreviation or name (case does not
// matter; the first category that knows both wins), currencies by code.
#include "conversions/CurrencyTable.h"
#include "conversions/UnitConverter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

const char kConvertUsage[] = "usage: tallix --convert VALUE FROM TO   (units: mi km, C F, GB MB...; currencies: USD EUR...)\n";

bool SameText(const std::string& a, const char* b)
{
    return !a.empty() && strcasecmp(a.c_str(), b) == 0;
}

// "°C" may be typed as "C".
bool MatchesUnit(const std::string& name, const std::string& abbreviation, const char* typed)
{
    if (SameText(abbreviation, typed) || SameText(name, typed)) return true;
    const char kDegree[] = "\xC2\xB0";
    return abbreviation.rfind(kDegree, 0) == 0 && SameText(abbreviation.substr(2), typed);
}

int FindUnit(CUnitConverter& converter, const char* typed)
{
    for (int u = 0; u < converter.UnitCount(); ++u) {
        std::string name, abbreviation;
        converter.UnitName(u, name);
        converter.UnitAbbreviation(u, abbreviation);
        if (MatchesUnit(name, abbreviation, typed)) return u;
    }
    return -1;
}

// 1 when some category knows both units; the result is in `out`.
int ConvertUnits(const char* value, const char* from, const char* to, std::string& out)
{
    CUnitConverter converter;
    for (int c = 0; c < converter.CategoryCount(); ++c) {
        converter.SetCategory(c);
        int fromUnit = FindUnit(converter, from);
        int toUnit = FindUnit(converter, to);
        if (fromUnit < 0 || toUnit < 0) continue;
        converter.SetFromUnit(fromUnit);
        converter.SetToUnit(toUnit);
        converter.Convert(value, out);
        return 1;
    }
    return 0;
}

// 1 for two known codes, -1 when the rates give no result, 0 for unknown codes.
int ConvertCurrencies(const char* value, const char* from, const char* to, std::string& out)
{
    CCurrencyTable table;
    table.Load(); // an unreadable rates file leaves the built-in rates
    int fromIndex = table.FindCode(from);
    int toIndex = table.FindCode(to);
    if (fromIndex < 0 || toIndex < 0) return 0;
    table.SetFrom(fromIndex);
    table.SetTo(toIndex);
    table.SetAmount(value);
    table.GetResult(out, 0);
    return out.empty() ? -1 : 1;
}

bool IsNumber(const char* text)
{
    char* end = nullptr;
    std::strtod(text, &end);
    return end != text && *end == '\0';
}

} // namespace

int RunConvertCommand(int argc, char** argv)
{
    int at = 1;
    while (at < argc && std::strcmp(argv[at], "--convert") != 0) ++at;
    if (argc != 5 || at != 1 || !IsNumber(argv[2])) {
        std::fputs(kConvertUsage, stderr);
        return 2;
    }
    const char* value = argv[2];
    const char* from = argv[3];
    const char* to = argv[4];
    std::string result;
    if (ConvertUnits(value, from, to, result)) {
        std::printf("%s\n", result.c_str());
        return 0;
    }
    int currency = ConvertCurrencies(value, from, to, result);
    if (currency > 0) {
        std::printf("%s\n", result.c_str());
        return 0;
    }
    if (currency < 0) {
        std::fprintf(stderr, "tallix: the rates file gives no rate for %s or %s\n", from, to);
        return 1;
    }
    std::fprintf(stderr, "tallix: no unit category or currency list has both \"%s\" and \"%s\"\n", from, to);
    std::fputs(kConvertUsage, stderr);
    return 2;
}
