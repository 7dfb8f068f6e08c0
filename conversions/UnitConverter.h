#pragma once
// The unit converter's model: twelve categories of units, a from and a to unit,
// and the conversion of a number text between them. The factors are fixed data;
// the unit names come from the unit-names resource file "UnitLib.txt" in the
// program folder, read once at construction for the current language.
//
// Texts: names and abbreviations are UTF-8, like every localised resource
// string (strings/Language.h); a name keeps at most 39 characters and an
// abbreviation 19. Number texts are plain ASCII ("." decimal point).
#include <string>

class CUnitConverter {
public:
    static constexpr int kCategories = 12;
    static constexpr int kMaxUnits = 23;
    static constexpr size_t kNameChars = 39;
    static constexpr size_t kAbbreviationChars = 19;
    static constexpr size_t kResultChars = 255;

    // Reads the names from <program folder>/UnitLib.txt.
    CUnitConverter();
    // Reads the names from `unitLibPath`; a missing file leaves every name empty
    // while the conversions still work.
    explicit CUnitConverter(const std::string& unitLibPath);

    int CategoryCount() const { return kCategories; }
    // 0..12 (12 has no units and converts everything to 0): reloads the
    // category names, resets from unit to 0 and to unit to 1; returns 1.
    // Any other index: returns 0 and changes nothing.
    int SetCategory(int index);
    int Category() const { return m_category; }
    // Copies the name of category 0..11; returns 0 (out untouched) otherwise.
    int CategoryName(int index, std::string& out) const;

    // Units of the current category; 0 for category 12.
    int UnitCount() const;
    // Name or abbreviation of a unit of the current category; 0 and an empty
    // text for an index that is not listed.
    int UnitName(int unit, std::string& out) const;
    int UnitAbbreviation(int unit, std::string& out) const;

    // Store a unit index of the current category; 0 (nothing changed) for an
    // index outside 0..UnitCount()-1.
    int SetFromUnit(int unit);
    int SetToUnit(int unit);
    int FromUnit() const { return m_from; }
    int ToUnit() const { return m_to; }
    void FromAbbreviation(std::string& out) const;
    void ToAbbreviation(std::string& out) const;

    // Converts the number at the start of `value` (0 when there is none) from
    // the from unit to the to unit, written with 12 significant digits.
    // Returns 0, with an empty result, for a temperature below absolute zero.
    int Convert(const char* value, std::string& out);
    // 1 when the number at the start of `value` is a temperature below the
    // absolute zero of the from unit (the current category is Temperature).
    int BelowAbsoluteZero(const char* value) const;
    // The absolute zero in the from unit of the Temperature category; 0 in
    // any other category.
    double AbsoluteZero() const;
    // Convert, then copy part 0 (whole text), 1 (mantissa) or 2 (exponent
    // digits) of the result into *out. Returns 0 when out is null.
    int ConvertPart(std::string* out, const char* value, int part);
    const std::string& ResultText() const { return m_result; }

    // The number a conversion gives before it is written as text; NaN for a
    // temperature below absolute zero.
    double ConvertValue(double value) const;

private:
    struct UnitText {
        std::string name;
        std::string abbreviation;
    };
    void LoadUnitTexts(const std::string& unitLibPath);
    void LoadCategoryNames();
    bool IsTemperature() const;

    int m_category = 0;
    int m_from = 0;
    int m_to = 1;
    std::string m_categoryNames[kCategories];
    UnitText m_units[kCategories][kMaxUnits];
    std::string m_result;
};
