#pragma once
// The fixed conversion data of the unit converter.

enum class UnitRule {
    Matrix,         // value x matrix[from][to]
    Temperature,    // formulas with the absolute-zero rule
    DivideMultiply, // value / factor[from] x factor[to]: factor = units in one base unit
    MultiplyDivide, // value x factor[from] / factor[to]: factor = base units in one unit
};

struct UnitCategory {
    int units;
    UnitRule rule;
    int firstStringId;     // unit k: name at first + 2k, abbreviation at first + 2k + 1
    const double* factors; // per unit, for the factor rules
};

extern const UnitCategory kUnitCategories[12];
extern const double kDistanceMatrix[9][9];
extern const double kSpeedMatrix[9][9];

// String ids of a unit's name and abbreviation in the unit-names table.
void UnitStringIds(int category, int unit, int& nameId, int& abbreviationId);
