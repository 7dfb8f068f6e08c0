#include "conversions/FormatDouble.h"
#include "conversions/UnitConverter.h"
#include "platform/Registry.h"
#include "strings/Language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string UnitLibPath()
{
    const char* dir = std::getenv("TALLIX_SOURCE_DIR");
    return std::string(dir ? dir : ".") + "/resources/UnitLib/UnitLib.txt";
}

struct ConversionRow {
    int category, from, to;
    const char* value;
    const char* expected;
};

// What the user sees in the result slot.
const ConversionRow kConversions[] = {
    {0, 0, 1, "1", "1.609344"},             // mile to kilometre
    {0, 6, 0, "1", "0.000621371192237"},    // 1 / 1609.344
    {0, 1, 0, "1.609344", "1"},             // factors exact to double precision
    {2, 1, 4, "36", "10"},                  // km/h to m/s
    {11, 15, 9, "1", "101325"},             // atmosphere to pascal
    {9, 7, 3, "1", "14"},                   // stone to pounds
    {6, 3, 7, "1", "0.09290304"},           // square foot to square metres
    {0, 1, 0, "1", "0.621371192237"},
    {3, 2, 17, "1", "4.54609"},             // imperial gallon to litres
    {0, 6, 6, "0.00001", "0.00001"},        // small values are written out
    {0, 0, 1, "-2", "-3.218688"},
    {0, 0, 1, "12abc", "19.312128"},        // the leading number counts
    {0, 0, 1, "abc", "0"},
    {0, 0, 1, "", "0"},
    {0, 0, 1, "1e3", "1609.344"},
    {1, 0, 1, "100", "212"},                // Celsius to Fahrenheit
    {1, 0, 2, "-300", ""},                  // below absolute zero: no result
    {1, 0, 2, "-273.15", "0"},
    {1, 1, 2, "32", "273.15"},
    {1, 2, 1, "0", "-459.67"},
    {1, 2, 0, "300", "26.85"},
    {1, 1, 0, "212", "100"},
    {1, 1, 0, "-1000", ""},
    {1, 1, 0, "-459.67", "-273.15"},
    {1, 2, 1, "-0.001", ""},
    {1, 0, 0, "-300", ""},                  // not a temperature in any unit
    {2, 0, 4, "1", "0.44704"},              // mph to m/s
    {2, 5, 4, "1", "299792458"},
    {3, 0, 17, "1", "3.785411784"},         // US gallon to litre
    {3, 17, 0, "3.785411784", "1"},
    {4, 9, 10, "1", "3"},                   // tablespoon to teaspoon
    {5, 2, 0, "1", "8192"},                 // kilobyte to bits
    {5, 7, 1, "1", "1.15292150461e+018"},   // exabyte to bytes
    {5, 1, 7, "1", "8.67361737988e-019"},
    {6, 0, 3, "1", "43560"},                // acre to square feet
    {6, 7, 3, "2", "21.5278208334"},   // 2 / 0.09290304
    {7, 3, 0, "1", "3600000"},              // kilowatt-hour to joules
    {8, 10, 0, "1", "745.699871582"},       // horsepower to watts
    {9, 1, 3, "1", "2.20462262185"},        // kilogram to pounds
    {10, 1, 0, "1", "1000"},
    {11, 12, 9, "1", "100000"},             // bar to pascal
    {12, 0, 1, "5", "0"},                   // the empty category converts to 0
};

TEST(UnitConverter, ConvertsAsTheUserSeesIt)
{
    CUnitConverter converter(UnitLibPath());
    for (const ConversionRow& row : kConversions) {
        SCOPED_TRACE(std::string("category ") + std::to_string(row.category) + " value " + row.value);
        ASSERT_EQ(converter.SetCategory(row.category), 1);
        if (row.category < 12) {
            ASSERT_EQ(converter.SetFromUnit(row.from), 1);
            ASSERT_EQ(converter.SetToUnit(row.to), 1);
        }
        std::string out;
        EXPECT_EQ(converter.Convert(row.value, out), *row.expected ? 1 : 0);
        EXPECT_EQ(out, row.expected);
        EXPECT_EQ(converter.ResultText(), row.expected);
    }
}

// Unit sizes from their definitions: SI, the international yard (0.9144 m)
// and pound (0.45359237 kg), standard gravity, the calorie of 4.184 J for
// energy and the IT calorie of 4.1868 J (with the IT BTU) for power, as
// those tables were made. Each category in one unit of its own.
constexpr double kIn = 0.0254, kFt = 0.3048, kYd = 0.9144, kMi = 1609.344, kNmi = 1852;
constexpr double kLb = 0.45359237, kG0 = 9.80665, kLbf = kLb * kG0;
constexpr double kGal = 231 * kIn * kIn * kIn, kDryGal = 268.8025 * kIn * kIn * kIn, kImpGal = 4.54609e-3;
constexpr double kBtu = 4.1868 * 1000 * kLb * 5 / 9, kHp = 550 * kFt * kLbf;
const std::vector<double> kUnitSizes[12] = {
    {kMi, 1000, kFt, kIn, kNmi, kYd, 1, 0.01, 0.001},
    {},
    {kMi / 3600, 1000.0 / 3600, kNmi / 3600, kFt, 1, 299792458, 340.29, kFt / 60, 1.0 / 60},
    {kGal, kDryGal, kImpGal, kGal / 4, kDryGal / 4, kImpGal / 4, kGal / 8, kDryGal / 8, kImpGal / 8, kGal / 16,
     2.5e-4, kGal / 32, kImpGal / 32, kGal / 128, kImpGal / 160, kFt * kFt * kFt, kIn * kIn * kIn, 1e-3, 1e-5,
     1e-6, 1, 1e-6, 1e-9},
    {kGal, kImpGal, kGal / 4, kImpGal / 4, kGal / 16, 2.5e-4, 1e-6, kGal / 128, kImpGal / 160, kGal / 256, kGal / 768, 1e-3},
    {0.125, 1, 1024, 1048576, 1073741824, 1099511627776, 1125899906842624, 1152921504606846976},
    {43560 * kFt * kFt, 5280 * 5280 * kFt * kFt, kYd * kYd, kFt * kFt, kIn * kIn, 1e4, 1e6, 1, 1e-4},
    {1, 4.184, 4184, 3.6e6, 3600, 1, kBtu, 1e5 * kBtu, kFt * kLbf, 3600 * kHp, kG0},
    {1, 1e3, 1e6, 1e9, 4.1868 / 3600, 4.1868 / 60, 4.1868, kBtu / 3600, kBtu / 60, kBtu, kHp, 735.49875, kFt * kLbf / 60},
    {1, 1000, kLb * 1000 / 16, kLb * 1000, 1e6, 2000 * kLb * 1000, 2240 * kLb * 1000, 14 * kLb * 1000, 100 * kLb * 1000,
     112 * kLb * 1000},
    {1, 1e3, 1e6, kLbf, 1e3 * kG0, 2000 * kLbf, 2240 * kLbf, kG0},
    {kG0, kG0 * 1e4, kG0 * 1e6, 2000 * kLbf / (kFt * kFt), 2000 * kLbf / (kIn * kIn), 2240 * kLbf / (kFt * kFt),
     2240 * kLbf / (kIn * kIn), 1e3 * kG0, 1e7 * kG0, 1, 1e4, 1e6, 1e5, 100, 1, 101325, 133.322387415,
     kLbf / (kFt * kFt), kLbf / (kIn * kIn), 100},
};
// Every conversion between two units of a category is the ratio of their
// definitions to double precision (a few units in the last place).
TEST(UnitFactors, EveryFactorMatchesItsDefinition)
{
    CUnitConverter converter(UnitLibPath());
    for (int category = 0; category < 12; ++category) {
        const std::vector<double>& size = kUnitSizes[category];
        for (size_t from = 0; from < size.size(); ++from)
            for (size_t to = 0; to < size.size(); ++to) {
                const double exact = size[from] / size[to];
                converter.SetCategory(category);
                converter.SetFromUnit(static_cast<int>(from));
                converter.SetToUnit(static_cast<int>(to));
                EXPECT_NEAR(converter.ConvertValue(1), exact, 4e-16 * exact)
                    << "category " << category << ", " << from << " to " << to;
            }
    }
}

// The factors that were rounded, each through one pair, to the 12 digits shown.
TEST(UnitFactors, CorrectedFactorsConvertToTwelveDigits)
{
    const struct { int category; std::vector<std::pair<int, int>> pairs; } rows[] = {
        {0, {{1, 2}, {1, 3}, {1, 5}, {2, 4}, {4, 0}, {5, 4}, {6, 0}, {6, 2}, {6, 3}, {6, 4}, {6, 5}, {7, 2}, {7, 3},
             {7, 5}, {8, 2}, {8, 3}, {8, 5}}},
        {2, {{0, 3}, {1, 5}, {2, 0}, {2, 3}, {2, 7}, {3, 6}, {4, 2}, {4, 3}, {4, 7}, {5, 6}, {6, 3}, {6, 5}, {6, 7},
             {7, 6}, {8, 2}, {8, 3}, {8, 7}}},
        {3, {{0, 1}, {0, 2}, {0, 4}, {0, 5}, {0, 7}, {0, 8}, {0, 10}, {0, 12}, {0, 14}, {0, 15}, {0, 17}, {0, 18},
             {0, 19}, {0, 20}, {0, 21}, {0, 22}}},
        {4, {{0, 1}, {0, 3}, {0, 5}, {0, 6}, {0, 8}, {0, 11}}},
        {7, {{0, 1}, {0, 2}, {0, 6}, {0, 7}, {0, 8}, {0, 9}, {0, 10}}},
        {8, {{0, 6}, {0, 7}, {0, 8}, {0, 9}, {0, 10}, {0, 11}, {0, 12}}},
        {9, {{0, 2}, {0, 3}, {0, 5}, {0, 6}, {0, 9}}},
        {10, {{2, 3}, {2, 5}, {2, 6}}},
        {11, {{8, 3}, {8, 4}, {8, 5}, {8, 6}, {8, 16}, {8, 17}, {8, 18}}},
    };
    CUnitConverter converter(UnitLibPath());
    for (const auto& row : rows)
        for (const auto& [from, to] : row.pairs) {
            converter.SetCategory(row.category);
            converter.SetFromUnit(from);
            converter.SetToUnit(to);
            std::string out;
            converter.Convert("1", out);
            const std::vector<double>& size = kUnitSizes[row.category];
            EXPECT_EQ(out, FormatDouble(size[from] / size[to], 12))
                << "category " << row.category << ", " << from << " to " << to;
        }
}

TEST(UnitConverter, ConvertPartSplitsMantissaAndExponent)
{
    CUnitConverter converter(UnitLibPath());
    converter.SetCategory(5);
    converter.SetFromUnit(7);
    converter.SetToUnit(1);
    struct { int part; const char* expected; } parts[] = {
        {0, "1.15292150461e+018"}, {1, "1.152921504"}, {2, "018"}};
    for (auto& p : parts) {
        std::string out;
        EXPECT_EQ(converter.ConvertPart(&out, "1", p.part), 1);
        EXPECT_EQ(out, p.expected) << "part " << p.part;
    }
    EXPECT_EQ(converter.ConvertPart(nullptr, "1", 0), 0);
}

TEST(UnitConverter, CategoriesAndUnitSelection)
{
    CUnitConverter converter(UnitLibPath());
    EXPECT_EQ(converter.Category(), 0);
    EXPECT_EQ(converter.FromUnit(), 0);
    EXPECT_EQ(converter.ToUnit(), 1);
    EXPECT_EQ(converter.CategoryCount(), 12);

    const int kUnitCounts[13] = {9, 3, 9, 23, 12, 8, 9, 11, 13, 10, 8, 20, 0};
    for (int c = 0; c <= 12; ++c) {
        converter.SetFromUnit(2);
        converter.SetToUnit(0);
        ASSERT_EQ(converter.SetCategory(c), 1);
        EXPECT_EQ(converter.UnitCount(), kUnitCounts[c]) << c;
        EXPECT_EQ(converter.FromUnit(), 0) << c;
        EXPECT_EQ(converter.ToUnit(), 1) << c;
        EXPECT_EQ(converter.SetFromUnit(kUnitCounts[c]), 0) << "one past the last unit";
        EXPECT_EQ(converter.FromUnit(), 0);
    }
    converter.SetCategory(3);
    for (int bad : {-1, 13, 100}) {
        EXPECT_EQ(converter.SetCategory(bad), 0);
        EXPECT_EQ(converter.Category(), 3);
    }
    EXPECT_EQ(converter.SetToUnit(-1), 0);
    EXPECT_EQ(converter.ToUnit(), 1);
}

struct NameRow {
    int category, unit;
    const char* name;
    const char* abbreviation;
};

// The string table keeps some units away from their plain ids.
const NameRow kEnglishNames[] = {
    {0, 0, "mile", "mi"},
    {0, 1, "kilometre", "km"},
    {0, 5, "yard", "yd"},
    {0, 6, "metre", "m"},
    {1, 0, "Celsius", "\xC2\xB0" "C"},
    {5, 0, "bit", "bit"},
    {5, 1, "byte", "byte"},
    {5, 2, "kilobyte", "KB"},
    {11, 4, "ton-force per square inch", "sh tnf/in\xC2\xB2"},
    {11, 6, "ton-force per square inch", "long tnf/in\xC2\xB2"},
    {11, 19, "hectopascal", "hPa"},
};

TEST(UnitConverter, NamesComeFromTheStringTable)
{
    CUnitConverter converter(UnitLibPath());
    for (const NameRow& row : kEnglishNames) {
        converter.SetCategory(row.category);
        std::string name, abbreviation;
        EXPECT_EQ(converter.UnitName(row.unit, name), 1);
        EXPECT_EQ(converter.UnitAbbreviation(row.unit, abbreviation), 1);
        EXPECT_EQ(name, row.name);
        EXPECT_EQ(abbreviation, row.abbreviation);
    }
    converter.SetCategory(0);
    converter.SetFromUnit(0);
    converter.SetToUnit(1);
    std::string from, to, name;
    converter.FromAbbreviation(from);
    converter.ToAbbreviation(to);
    EXPECT_EQ(from + ">" + to, "mi>km");
    EXPECT_EQ(converter.CategoryName(2, name), 1);
    EXPECT_EQ(name, "Speed");
    EXPECT_EQ(converter.UnitName(9, name), 0);
    EXPECT_EQ(name, "");
}

TEST(UnitConverter, EveryUnitHasANameInEveryLanguage)
{
    CMemoryRegistry registry;
    for (int language : {9, 12, 7, 10, 16, 3, 22, 4}) {
        SetLanguage(language, registry);
        CUnitConverter converter(UnitLibPath());
        for (int c = 0; c < 12; ++c) {
            converter.SetCategory(c);
            for (int u = 0; u < converter.UnitCount(); ++u) {
                std::string name, abbreviation;
                converter.UnitName(u, name);
                converter.UnitAbbreviation(u, abbreviation);
                EXPECT_FALSE(name.empty()) << language << " " << c << " " << u;
                EXPECT_FALSE(abbreviation.empty()) << language << " " << c << " " << u;
            }
        }
    }
    SetLanguage(7, registry);
    CUnitConverter german(UnitLibPath());
    std::string name;
    german.UnitName(1, name);
    EXPECT_EQ(name, "Kilometer");
    ResetLanguage();
}

TEST(UnitConverter, WithoutTheNamesFileConversionsStillWork)
{
    CUnitConverter converter("/nonexistent/UnitLib.txt");
    std::string name, out;
    converter.UnitName(0, name);
    EXPECT_EQ(name, "");
    converter.SetCategory(3);
    converter.SetFromUnit(0);
    converter.SetToUnit(3);
    converter.Convert("2", out);
    EXPECT_EQ(out, "8");
}

} // namespace
