#include "conversions/FormatDouble.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace {

struct FormatRow {
    double value;
    int digits;
    const char* expected;
};

const FormatRow kFormats[] = {
    {0, 12, "0"},
    {-0.0, 12, "0"},
    {1, 12, "1"},
    {1.5, 12, "1.5"},
    {-1.5, 12, "-1.5"},
    {100, 12, "100"},
    {0.1, 12, "0.1"},
    {0.0001, 12, "0.0001"},
    {0.000015, 12, "0.000015"},                 // written out from 1.5e-005
    {-0.000015, 12, "-0.000015"},
    {1.23456789012e-5, 12, "1.23456789012e-005"}, // too long to write out
    {1e-8, 12, "0.00000001"},
    {1e-10, 12, "1e-010"},                      // 0.0000000001 would be longer than the digits allow
    {1e-12, 12, "1e-012"},
    {1.5e-100, 12, "1.5e-100"},
    {123456789012.0, 12, "123456789012"},
    {1234567890123.0, 12, "1.23456789012e+012"},
    {1.152921504606847e18, 12, "1.15292150461e+018"},
    {1e300, 12, "1e+300"},
    {83.33333333333333, 15, "83.3333333333333"},
    {2.0 / 3.0, 15, "0.666666666666667"},
    {1e15, 15, "1e+015"},
    {123456789012345.0, 15, "123456789012345"},
    {std::numeric_limits<double>::infinity(), 12, "inf"},
};

TEST(FormatDouble, FormatDoubleWritesTheProgramsNumbers)
{
    for (const FormatRow& row : kFormats)
        EXPECT_EQ(FormatDouble(row.value, row.digits), row.expected) << row.value;
}

TEST(FormatDouble, FormatDoubleIgnoresACommaLocale)
{
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    std::string restore = saved ? saved : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    for (const FormatRow& row : kFormats)
        EXPECT_EQ(FormatDouble(row.value, row.digits), row.expected) << row.value;
    std::setlocale(LC_NUMERIC, restore.c_str());
}

struct PartRow {
    const char* text;
    const char* mantissa;
    const char* exponent;
};

const PartRow kParts[] = {
    {"1.15292150461e+018", "1.152921504", "018"},
    {"1.5e-100", "1.5", "-100"},
    {"1.23456789012e-005", "1.234567890", "-005"},
    {"1e+300", "1", "300"},
    {"12.5", "12.5", ""},
    {"-3", "-3", ""},
    {"", "", ""},
};

TEST(FormatDouble, ResultPartSplitsAtTheExponent)
{
    for (const PartRow& row : kParts) {
        EXPECT_EQ(ResultPart(row.text, 0), row.text);
        EXPECT_EQ(ResultPart(row.text, 1), row.mantissa) << row.text;
        EXPECT_EQ(ResultPart(row.text, 2), row.exponent) << row.text;
    }
}

TEST(FormatDouble, ReadNumberTakesTheLeadingNumberWhateverTheLocale)
{
    struct { const char* text; double value; } rows[] = {
        {"1.5", 1.5}, {"  -2.25e2xyz", -225}, {"abc", 0}, {"", 0}, {".5", 0.5}, {"1,5", 1}};
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    std::string restore = saved ? saved : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // a comma locale, when installed
    for (auto& row : rows) EXPECT_DOUBLE_EQ(ReadNumber(row.text), row.value) << row.text;
    EXPECT_EQ(ReadNumber(nullptr), 0);
    std::setlocale(LC_NUMERIC, restore.c_str());
}

} // namespace
