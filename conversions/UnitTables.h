#pragma once
// The fixed conversion data of the unit converter.

enum class UnitRule {
    Sizes,       // value x size[from] / size[to]
    Temperature, // formulas; no value below absolute zero
};

struct UnitCategory {
    int units;
    UnitRule rule;
    int firstStringId;   // unit k: name at first + 2k, abbreviation at first + 2k + 1
    const double* sizes; // per unit, in one base unit of the category (Sizes rule)
};

extern const UnitCategory kUnitCategories[12];

// String ids of a unit's name and abbreviation in the unit-names table.
void UnitStringIds(int category, int unit, int& nameId, int& abbreviationId);
