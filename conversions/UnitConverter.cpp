#include "conversions/UnitConverter.h"

#include "conversions/FormatDouble.h"
#include "conversions/UnitNames.h"
#include "conversions/UnitTables.h"
#include "platform/UserFolders.h"
#include "strings/Language.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCategoryNameId = 365;
constexpr int kNoUnitsCategory = 12;

// A name missing from the current language's table falls back to English.
void FindLocalized(const CUnitNameTable& table, int id, size_t maxChars, std::string& out)
{
    if (!table.Find(LocalizedId(id), maxChars, out)) table.Find(id, maxChars, out);
}

const double kAbsoluteZero[3] = {-273.15, -459.67, 0}; // Celsius, Fahrenheit, Kelvin

double ConvertTemperature(double v, int from, int to)
{
    if (v < kAbsoluteZero[from]) return std::nan("");
    if (from == to) return v;
    const double kFiveNinths = 0.5555555555555556;
    double converted = 0;
    switch (from * 3 + to) {
    case 0 * 3 + 2: converted = v + 273.15; break;
    case 0 * 3 + 1: converted = v * 1.8 + 32; break;
    case 2 * 3 + 1: converted = v * 1.8 - 459.67; break;
    case 2 * 3 + 0: converted = v - 273.15; break;
    case 1 * 3 + 0: converted = (v - 32) * kFiveNinths; break;
    case 1 * 3 + 2: converted = (v - 32) * kFiveNinths + 273.15; break;
    default: break;
    }
    // A temperature at or above absolute zero stays there: rounding may put
    // -459.67 °F a hair below 0 K.
    return std::max(converted, kAbsoluteZero[to]);
}

} // namespace

CUnitConverter::CUnitConverter() : CUnitConverter(ProgramFolder() + "UnitLib.txt") {}

CUnitConverter::CUnitConverter(const std::string& unitLibPath)
{
    LoadUnitTexts(unitLibPath);
    LoadCategoryNames();
}

void CUnitConverter::LoadUnitTexts(const std::string& unitLibPath)
{
    CUnitNameTable table;
    if (!table.Load(unitLibPath)) return;
    for (int c = 0; c < kCategories; ++c)
        for (int u = 0; u < kUnitCategories[c].units; ++u) {
            int nameId = 0, abbreviationId = 0;
            UnitStringIds(c, u, nameId, abbreviationId);
            FindLocalized(table, nameId, kNameChars, m_units[c][u].name);
            FindLocalized(table, abbreviationId, kAbbreviationChars, m_units[c][u].abbreviation);
        }
}

void CUnitConverter::LoadCategoryNames()
{
    for (int c = 0; c < kCategories; ++c) {
        std::string name;
        if (!LoadResString(LocalizedId(kCategoryNameId + c), name)) name.clear();
        m_categoryNames[c] = CutUtf8(name, kNameChars);
    }
}

int CUnitConverter::SetCategory(int index)
{
    if (index < 0 || index > kNoUnitsCategory) return 0;
    LoadCategoryNames();
    m_category = index;
    m_from = 0;
    m_to = 1;
    return 1;
}

int CUnitConverter::CategoryName(int index, std::string& out) const
{
    if (index < 0 || index >= kCategories) return 0;
    out = m_categoryNames[index];
    return 1;
}

int CUnitConverter::UnitCount() const
{
    return m_category >= 0 && m_category < kCategories ? kUnitCategories[m_category].units : 0;
}

int CUnitConverter::UnitName(int unit, std::string& out) const
{
    out.clear();
    if (unit < 0 || unit >= UnitCount()) return 0;
    out = m_units[m_category][unit].name;
    return 1;
}

int CUnitConverter::UnitAbbreviation(int unit, std::string& out) const
{
    out.clear();
    if (unit < 0 || unit >= UnitCount()) return 0;
    out = m_units[m_category][unit].abbreviation;
    return 1;
}

int CUnitConverter::SetFromUnit(int unit)
{
    if (unit < 0 || unit >= UnitCount()) return 0;
    m_from = unit;
    return 1;
}

int CUnitConverter::SetToUnit(int unit)
{
    if (unit < 0 || unit >= UnitCount()) return 0;
    m_to = unit;
    return 1;
}

void CUnitConverter::FromAbbreviation(std::string& out) const { UnitAbbreviation(m_from, out); }

void CUnitConverter::ToAbbreviation(std::string& out) const { UnitAbbreviation(m_to, out); }

double CUnitConverter::ConvertValue(double value) const
{
    if (m_category < 0 || m_category >= kCategories) return 0;
    const UnitCategory& category = kUnitCategories[m_category];
    if (m_from >= category.units || m_to >= category.units) return 0;
    if (category.rule == UnitRule::Temperature) return ConvertTemperature(value, m_from, m_to);
    return value * category.sizes[m_from] / category.sizes[m_to];
}

bool CUnitConverter::IsTemperature() const
{
    return m_category >= 0 && m_category < kCategories && kUnitCategories[m_category].rule == UnitRule::Temperature;
}

double CUnitConverter::AbsoluteZero() const { return IsTemperature() ? kAbsoluteZero[m_from] : 0; }

int CUnitConverter::BelowAbsoluteZero(const char* value) const
{
    return IsTemperature() && ReadNumber(value) < kAbsoluteZero[m_from];
}

int CUnitConverter::Convert(const char* value, std::string& out)
{
    const double result = ConvertValue(ReadNumber(value));
    // Below absolute zero there is no temperature to show.
    m_result = std::isnan(result) ? std::string() : FormatDouble(result, 12);
    if (m_result.size() > kResultChars) m_result.resize(kResultChars);
    out = m_result;
    return !std::isnan(result);
}

int CUnitConverter::ConvertPart(std::string* out, const char* value, int part)
{
    if (!out) return 0;
    std::string whole;
    Convert(value, whole);
    *out = ResultPart(whole, part);
    return 1;
}
