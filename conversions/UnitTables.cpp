#include "conversions/UnitTables.h"

// Each unit's size is written as its definition, so every conversion is exact
// to double precision: SI, the international yard and pound (0.9144 m,
// 0.45359237 kg), the US gallon of 231 cubic inches, the imperial gallon of
// 4.54609 L, standard gravity; for energy the calorie of 4.184 J, for power
// the IT calorie of 4.1868 J; the IT BTU throughout.
namespace {

constexpr double kInch = 0.0254, kFoot = 0.3048, kYard = 0.9144, kMile = 1609.344, kNauticalMile = 1852;
constexpr double kHour = 3600, kMinute = 60;
constexpr double kGallon = 231 * kInch * kInch * kInch;        // m³
constexpr double kDryGallon = 268.8025 * kInch * kInch * kInch; // m³
constexpr double kImperialGallon = 4.54609e-3;                  // m³
constexpr double kPoundMass = 453.59237;                        // g
constexpr double kGravity = 9.80665;                            // m/s²
constexpr double kPoundForce = kPoundMass / 1000 * kGravity;    // N
constexpr double kBtu = 4.1868 * kPoundMass * 5 / 9;            // J: IT calorie per gram and °C
constexpr double kFootPound = kFoot * kPoundForce;              // J
constexpr double kHorsepower = 550 * kFootPound;                // W

// In metres.
constexpr double kDistance[9] = {kMile, 1000, kFoot, kInch, kNauticalMile, kYard, 1, 0.01, 0.001};
// In metres per second.
constexpr double kSpeed[9] = {
    kMile / kHour, 1000 / kHour, kNauticalMile / kHour, kFoot, 1, 299792458, 340.29, kFoot / kMinute, 1 / kMinute};
// In cubic metres.
constexpr double kVolume[23] = {
    kGallon, kDryGallon, kImperialGallon, kGallon / 4, kDryGallon / 4, kImperialGallon / 4, kGallon / 8,
    kDryGallon / 8, kImperialGallon / 8, kGallon / 16, 250e-6, kGallon / 32, kImperialGallon / 32, kGallon / 128,
    kImperialGallon / 160, kFoot * kFoot * kFoot, kInch * kInch * kInch, 1e-3, 1e-5, 1e-6, 1, 1e-6, 1e-9};
constexpr double kCooking[12] = {
    kGallon, kImperialGallon, kGallon / 4, kImperialGallon / 4, kGallon / 16, 250e-6, 1e-6, kGallon / 128,
    kImperialGallon / 160, kGallon / 256, kGallon / 768, 1e-3};
// In bytes.
constexpr double kComputers[8] = {
    0.125, 1, 1024, 1048576, 1073741824, 1099511627776, 1125899906842624, 1152921504606846976};
// In square metres.
constexpr double kArea[9] = {
    43560 * kFoot * kFoot, kMile * kMile, kYard * kYard, kFoot * kFoot, kInch * kInch, 1e4, 1e6, 1, 1e-4};
// In joules.
constexpr double kEnergy[11] = {
    1, 4.184, 4184, 1000 * kHour, kHour, 1, kBtu, 1e5 * kBtu, kFootPound, kHour * kHorsepower, kGravity};
// In watts.
constexpr double kPower[13] = {
    1, 1e3, 1e6, 1e9, 4.1868 / kHour, 4.1868 / kMinute, 4.1868, kBtu / kHour, kBtu / kMinute, kBtu,
    kHorsepower, 75 * kGravity, kFootPound / kMinute};
// In grams.
constexpr double kMass[10] = {
    1, 1000, kPoundMass / 16, kPoundMass, 1e6, 2000 * kPoundMass, 2240 * kPoundMass, 14 * kPoundMass,
    100 * kPoundMass, 112 * kPoundMass};
// In newtons.
constexpr double kForce[8] = {1, 1e3, 1e6, kPoundForce, 1e3 * kGravity, 2000 * kPoundForce, 2240 * kPoundForce, kGravity};
// In pascals; the millimetre of mercury is the conventional 133.322387415 Pa.
constexpr double kPressure[20] = {
    kGravity, kGravity * 1e4, kGravity * 1e6, 2000 * kPoundForce / (kFoot * kFoot),
    2000 * kPoundForce / (kInch * kInch), 2240 * kPoundForce / (kFoot * kFoot), 2240 * kPoundForce / (kInch * kInch),
    1e3 * kGravity, 1e7 * kGravity, 1, 1e4, 1e6, 1e5, 100, 1, 101325, 133.322387415,
    kPoundForce / (kFoot * kFoot), kPoundForce / (kInch * kInch), 100};

} // namespace

const UnitCategory kUnitCategories[12] = {
    {9, UnitRule::Sizes, 1, kDistance},
    {3, UnitRule::Temperature, 19, nullptr},
    {9, UnitRule::Sizes, 25, kSpeed},
    {23, UnitRule::Sizes, 53, kVolume},
    {12, UnitRule::Sizes, 99, kCooking},
    {8, UnitRule::Sizes, 123, kComputers},
    {9, UnitRule::Sizes, 139, kArea},
    {11, UnitRule::Sizes, 157, kEnergy},
    {13, UnitRule::Sizes, 179, kPower},
    {10, UnitRule::Sizes, 205, kMass},
    {8, UnitRule::Sizes, 225, kForce},
    {20, UnitRule::Sizes, 241, kPressure},
};

void UnitStringIds(int category, int unit, int& nameId, int& abbreviationId)
{
    int first = kUnitCategories[category].firstStringId;
    nameId = first + 2 * unit;
    abbreviationId = nameId + 1;
    // The string table was laid out before some units changed places.
    if (category == 0 && unit == 1) nameId = 11, abbreviationId = 12;
    if (category == 0 && unit == 5) nameId = 3, abbreviationId = 4;
    if (category == 5 && unit <= 1) abbreviationId = nameId; // bit, byte: one text each
    if (category == 11 && unit == 6) nameId = 249;
}
