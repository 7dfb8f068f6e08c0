#include "conversions/UnitConverter.h"
#include "platform/Registry.h"
#include "settings/Language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
    {0, 6, 0, "1", "0.000621371"},          // the stored entry, not 1 / 1609.344
    {0, 1, 0, "1.609344", "0.999999999618"}, // the round trip need not come back
    {0, 6, 6, "0.00001", "0.00001"},        // small values are written out
    {0, 0, 1, "-2", "-3.218688"},
    {0, 0, 1, "12abc", "19.312128"},        // the leading number counts
    {0, 0, 1, "abc", "0"},
    {0, 0, 1, "", "0"},
    {0, 0, 1, "1e3", "1609.344"},
    {1, 0, 1, "100", "212"},                // Celsius to Fahrenheit
    {1, 0, 2, "-300", "0"},                 // raised to absolute zero first
    {1, 1, 2, "32", "273.15"},
    {1, 2, 1, "0", "-459.67"},
    {1, 2, 0, "300", "26.85"},
    {1, 1, 0, "212", "100"},
    {1, 1, 0, "-1000", "-273.15"},
    {1, 0, 0, "-300", "-300"},              // same unit: not raised
    {2, 0, 4, "1", "0.44704"},              // mph to m/s
    {2, 5, 4, "1", "299792458"},
    {3, 0, 17, "1", "3.7854118"},           // US gallon to litre
    {3, 17, 0, "3.7854118", "1"},
    {4, 9, 10, "1", "3"},                   // tablespoon to teaspoon
    {5, 2, 0, "1", "8192"},                 // kilobyte to bits
    {5, 7, 1, "1", "1.15292150461e+018"},   // exabyte to bytes
    {5, 1, 7, "1", "8.67361737988e-019"},
    {6, 0, 3, "1", "43560"},                // acre to square feet
    {6, 7, 3, "2", "21.527820832"},
    {7, 3, 0, "1", "3600000"},              // kilowatt-hour to joules
    {8, 10, 0, "1", "745.712155108"},       // horsepower to watts
    {9, 1, 3, "1", "2.2046"},               // kilogram to pounds
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
        converter.Convert(row.value, out);
        EXPECT_EQ(out, row.expected);
        EXPECT_EQ(converter.ResultText(), row.expected);
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
