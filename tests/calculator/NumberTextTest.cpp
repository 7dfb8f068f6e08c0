// Display text from result text: notations, tidy and split, width, error
// words, regional separators (injected and from real glibc locales), and
// currency amounts.
#include "calculator/NumberText.h"
#include "platform/RegionalFormat.h"

#include <gtest/gtest.h>

namespace {

class NumberTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        text = CNumberText::GetInstance();
        text->SetNotation(0);
        text->SetRegionalNumberFormat(0);
        text->SetDecimalComma(0);
        text->SetLocaleData(RegionalData());
    }
    void TearDown() override { SetUp(); }

    CNumberText* text = nullptr;
    std::string full, mantissa, exponent;
};

RegionalData Locale(const char* decimal, const char* thousands, int grouping = 3)
{
    RegionalData d;
    d.decimalSeparator = decimal;
    d.thousandSeparator = thousands;
    d.grouping = grouping;
    return d;
}

struct NotationCase {
    const char* value;
    int notation;
    const char* mantissa;
    const char* exponent;
};

TEST_F(NumberTextTest, NotationsSplitMantissaAndExponent)
{
    const NotationCase cases[] = {
        {"123.45", kNotationScientific, "1.2345", "002"},
        {"0.05", kNotationScientific, "5", "-002"},
        {"7", kNotationScientific, "7", ""},
        {"0", kNotationScientific, "0", ""},
        // A typed zero shows as typed, as in Normal notation.
        {"0.0", kNotationScientific, "0.0", ""},
        {"-0.00", kNotationScientific, "-0.00", ""},
        {"0.000", kNotationEngineering, "0.000", ""},
        {"0.0", kNotationNormal, "0.0", ""},
        {"-123.45", kNotationScientific, "-1.2345", "002"},
        {"1.5e-007", kNotationScientific, "1.5", "-007"},
        {"12345.6789", kNotationEngineering, "12.3456789", "003"},
        {"1000", kNotationEngineering, "1", "003"},
        {"0.00012345", kNotationEngineering, "123.45", "-006"},
        {"0.5", kNotationEngineering, "500", "-003"},
        {"-12345", kNotationEngineering, "-12.345", "003"},
        {"100000", kNotationEngineering, "100", "003"},
        {"12", kNotationEngineering, "12", ""},
        {"1.23456789e-007", kNotationFixed, "0.00000012345", ""},
        {"1234.56789012345", kNotationFixed, "1234.56789012", ""},
        {"-1234.56789012345", kNotationFixed, "-1234.56789012", ""},
        {"5", kNotationFixed, "5", ""},
        {"1.e+020", kNotationFixed, "1", "020"},
        {"1.e+020", kNotationNormal, "1", "020"},
        {"50000000000000", kNotationNormal, "5", "013"},
        {"-50000000000000", kNotationNormal, "-50000000000000", ""},
        {"10000000000000", kNotationNormal, "10000000000000", ""},
        {"2.5", kNotationNormal, "2.5", ""},
        {"1.23456789012346e+015", kNotationNormal, "1.23456789012346", "015"},
        {"syntax error", kNotationNormal, "Syntax Error", ""},
        {"syntax error", kNotationEngineering, "Syntax Error", ""},
        {"infinity", kNotationScientific, "Infinity", ""},
        {"imaginary", kNotationFixed, "Imaginary", ""},
    };
    for (const NotationCase& c : cases) {
        text->SetNotation(c.notation);
        text->FormatDisplay(c.value, full, mantissa, exponent, 0, 20);
        EXPECT_EQ(mantissa, c.mantissa) << c.value << " notation " << c.notation;
        EXPECT_EQ(exponent, c.exponent) << c.value << " notation " << c.notation;
    }
}

TEST_F(NumberTextTest, FullTextJoinsMantissaAndSignedExponent)
{
    const NotationCase cases[] = {
        {"123.45", kNotationScientific, "1.2345e+002", ""},
        {"0.05", kNotationScientific, "5e-002", ""},
        {"2.5", kNotationNormal, "2.5", ""},
    };
    for (const NotationCase& c : cases) {
        text->SetNotation(c.notation);
        text->FormatDisplay(c.value, full, mantissa, exponent, 0, 20);
        EXPECT_EQ(full, c.mantissa) << c.value;
    }
}

TEST_F(NumberTextTest, MantissaIsCutToTheWidth)
{
    text->FormatDisplay("-0.000123456789012345", full, mantissa, exponent, 0, 20);
    EXPECT_EQ(mantissa, "-0.00012345678901234");
    text->SetNotation(kNotationScientific);
    text->FormatDisplay("-1.23456789012346e+015", full, mantissa, exponent, 0, 20);
    EXPECT_EQ(mantissa, "-1.23456789012346");
    text->FormatDisplay("-1.23456789012346e+015", full, mantissa, exponent, 0, 10);
    EXPECT_EQ(mantissa, "-1.23456");
    EXPECT_EQ(full, "-1.23456e+015");
}

TEST_F(NumberTextTest, NotationSetterRefusesUnknownValues)
{
    EXPECT_EQ(text->SetNotation(3), 1);
    EXPECT_EQ(text->SetNotation(4), 0);
    EXPECT_EQ(text->SetNotation(-1), 0);
    EXPECT_EQ(text->GetNotation(), 3);
}

struct RegionalCase {
    RegionalData locale;
    const char* value;
    int width;
    const char* full;
};

TEST_F(NumberTextTest, RegionalSeparatorsFromInjectedLocaleData)
{
    const RegionalCase cases[] = {
        {Locale(".", ","), "1234567.5", 20, "1,234,567.5"},
        {Locale(",", "."), "1234567.5", 20, "1.234.567,5"},
        {Locale(",", "\xE2\x80\xAF"), "1234567.5", 20, "1\xE2\x80\xAF" "234\xE2\x80\xAF" "567,5"},
        {Locale(".", "'", 4), "1234567", 20, "123'4567"},
        {Locale(".", ","), "123", 20, "123"},
        {Locale(".", ","), "1234", 20, "1,234"},
        {Locale(".", ","), "0.5", 20, "0.5"},
        // A leading minus is no digit position: no separator right after it.
        {Locale(".", ","), "-123456", 20, "-123,456"},
        {Locale(".", ","), "-1234567", 20, "-1,234,567"},
        // Grouping needs room: n + p / 3 must not exceed the width.
        {Locale(".", ","), "1234567", 9, "1,234,567"},
        {Locale(".", ","), "1234567", 8, "1234567"},
        {Locale(",", "."), "1.e+020", 20, "1e+020"},
        {Locale(",", "."), "2.5e-007", 20, "2,5e-007"},
        {Locale(".", "", 0), "1234567", 20, "1234567"},
        {Locale(",", "."), "syntax error", 20, "Syntax Error"},
    };
    for (const RegionalCase& c : cases) {
        text->SetLocaleData(c.locale);
        text->FormatDisplay(c.value, full, mantissa, exponent, 1, c.width);
        EXPECT_EQ(full, c.full) << c.value << " width " << c.width;
        if (exponent.empty()) { EXPECT_EQ(mantissa, full) << c.value; }
    }
}

TEST_F(NumberTextTest, RegionalSeparatorsFromRealLocales)
{
    struct {
        const char* locale;
        const char* full;
    } cases[] = {
        {"en_US.UTF-8", "1,234,567.5"},
        {"de_DE.UTF-8", "1.234.567,5"},
    };
    for (const auto& c : cases) {
        RegionalData data;
        ASSERT_EQ(LoadRegionalData(c.locale, data), 1) << c.locale << " is not installed";
        text->SetLocaleData(data);
        text->FormatDisplay("1234567.5", full, mantissa, exponent, 1, 20);
        EXPECT_EQ(full, c.full) << c.locale;
        text->FormatDisplay("1234567.5", full, mantissa, exponent, 0, 20);
        EXPECT_EQ(full, "1234567.5") << c.locale;
    }
}

TEST_F(NumberTextTest, RegionalNumberFormatFlagFormatsNormalAndFixed)
{
    text->SetLocaleData(Locale(",", "."));
    text->SetRegionalNumberFormat(1);
    text->FormatDisplay("1234567.25", full, mantissa, exponent, 0, 20);
    EXPECT_EQ(full, "1.234.567,25");
    text->FormatDisplay("1234567.25", full, mantissa, exponent, 1, 20);
    EXPECT_EQ(full, "1.234.567,25");
    text->SetNotation(kNotationFixed);
    text->FormatDisplay("1234.56789012345", full, mantissa, exponent, 0, 20);
    EXPECT_EQ(full, "1.234,56789012");
    text->SetNotation(kNotationScientific);
    text->FormatDisplay("1234.5", full, mantissa, exponent, 0, 20);
    EXPECT_EQ(full, "1.2345e+003");
}

TEST_F(NumberTextTest, PlainTextIsTidiedButNotFormatted)
{
    struct {
        const char* value;
        const char* full;
        const char* mantissa;
        const char* exponent;
    } cases[] = {
        {"1.e+020", "1e+020", "1", "020"},
        {"1.50e-007", "1.5e-007", "1.5", "-007"},
        {"2.5e+000", "2.5", "2.5", ""},
        {"12.", "12", "12", ""},
        {"123456789012345678901234", "123456789012345678901234", "123456789012345678901234", ""},
        {"FF", "FF", "FF", ""},
        {"syntax error", "syntax error", "syntax error", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        text->FormatPlain(c.value, full, mantissa, exponent);
        EXPECT_EQ(full, c.full) << c.value;
        EXPECT_EQ(mantissa, c.mantissa) << c.value;
        EXPECT_EQ(exponent, c.exponent) << c.value;
    }
}

TEST_F(NumberTextTest, CheckWidthRefusesTextsLongerThanTheDisplay)
{
    text->CheckWidth(std::string(50, '1'), full, mantissa, exponent, 50);
    EXPECT_EQ(full, std::string(50, '1'));
    text->CheckWidth(std::string(51, '1'), full, mantissa, exponent, 50);
    EXPECT_EQ(full, "Display too large");
    EXPECT_EQ(mantissa, "Display too large");
    EXPECT_EQ(exponent, "");
}

TEST_F(NumberTextTest, CheckWidthTranslatesErrorWords)
{
    const char* const cases[][2] = {
        {"syntax error", "Syntax Error"}, {"infinity", "Infinity"}, {"imaginary", "Imaginary"}, {"FF", "FF"},
    };
    for (const auto& c : cases) {
        text->CheckWidth(c[0], full, mantissa, exponent, 50);
        EXPECT_EQ(full, c[1]) << c[0];
        EXPECT_EQ(mantissa, c[1]) << c[0];
    }
}

struct CurrencyCase {
    RegionalData locale;
    const char* value;
    const char* symbol;
    int regional;
    int width;
    const char* full;
};

RegionalData Currency(const char* decimal, const char* thousands, int positive, int negative)
{
    RegionalData d = Locale(decimal, thousands);
    d.positiveCurrencyOrder = positive;
    d.negativeCurrencyOrder = negative;
    return d;
}

TEST_F(NumberTextTest, CurrencyAmounts)
{
    const CurrencyCase cases[] = {
        {Currency(".", ",", 0, 1), "1234.5", "$", 1, 20, "$1,234.50"},
        {Currency(".", ",", 0, 1), "-1234.5", "$", 1, 20, "-$1,234.50"},
        {Currency(",", ".", 3, 8), "1234.5", "\x80", 1, 20, "1.234,50 \xE2\x82\xAC"},
        {Currency(",", ".", 3, 8), "-0.004", "\x80", 1, 20, "0,00 \xE2\x82\xAC"},
        {Currency(".", ",", 0, 1), "0.125", "$", 1, 0, "$0.13"},
        // Too long for the field: scientific with the symbol in front.
        {Currency(".", ",", 0, 1), "123456789012", "$", 1, 10, "$1.23456e+011"},
        {Currency(".", ",", 0, 1), "12.3456789", "$", 0, 10, "$12.345678"},
        {Currency(".", ",", 0, 1), "12.5", "EUR", 0, 20, "EUR12.5"},
        // A field wide enough for 10^15 writes it out rather than as a fraction.
        {Currency(".", ",", 0, 1), "1.e+015", "$", 0, 20, "$1000000000000000"},
        {Currency(".", ",", 0, 1), "-1.5e+015", "$", 0, 20, "$-1500000000000000"},
        {Currency(".", ",", 0, 1), "infinity", "$", 1, 20, "Infinity"},
    };
    for (const CurrencyCase& c : cases) {
        text->SetLocaleData(c.locale);
        text->FormatCurrency(c.value, c.symbol, full, mantissa, exponent, c.regional, c.width);
        EXPECT_EQ(full, c.full) << c.value << " regional " << c.regional << " width " << c.width;
    }
}

TEST(RegionalFormat, NegativeCurrencyOrders)
{
    const char* expected[16] = {
        "($1.10)", "-$1.10", "$-1.10", "$1.10-", "(1.10$)", "-1.10$", "1.10-$", "1.10$-",
        "-1.10 $", "-$ 1.10", "1.10 $-", "$ 1.10-", "$ -1.10", "1.10- $", "($ 1.10)", "(1.10 $)",
    };
    RegionalData data;
    for (int order = 0; order < 16; ++order) {
        data.negativeCurrencyOrder = order;
        std::string out;
        ASSERT_EQ(FormatCurrencyText("-1.1", "$", data, out), 1);
        EXPECT_EQ(out, expected[order]) << order;
    }
    const char* positive[4] = {"$1.10", "1.10$", "$ 1.10", "1.10 $"};
    for (int order = 0; order < 4; ++order) {
        data.positiveCurrencyOrder = order;
        std::string out;
        ASSERT_EQ(FormatCurrencyText("1.1", "$", data, out), 1);
        EXPECT_EQ(out, positive[order]) << order;
    }
    std::string out = "kept";
    data.negativeCurrencyOrder = 16;
    EXPECT_EQ(FormatCurrencyText("-1", "$", data, out), 0);
    EXPECT_EQ(out, "kept");
}

TEST(RegionalFormat, NumberFormatRoundsGroupsAndRefusesNonNumbers)
{
    struct {
        const char* value;
        int decimals;
        int leadingZero;
        const char* out;   // null: refused
    } cases[] = {
        {"2.345", 2, 1, "2.35"},
        {"9.999", 2, 1, "10.00"},
        {"999999.5", 0, 1, "1,000,000"},
        {"-0.001", 2, 1, "0.00"},
        {"0.5", 1, 0, ".5"},
        {"0.5", 1, 1, "0.5"},
        {"1.5e3", 1, 1, "1,500.0"},
        {"1.e-002", 3, 1, "0.010"},
        {"-1234567.891", 2, 1, "-1,234,567.89"},
        {"syntax error", 2, 1, nullptr},
        {"", 2, 1, nullptr},
        {"1e999", 2, 1, nullptr},
        {"12abc", 2, 1, nullptr},
    };
    for (const auto& c : cases) {
        RegionalData data;
        data.leadingZero = c.leadingZero;
        std::string out;
        int ok = FormatNumberText(c.value, c.decimals, data, out);
        EXPECT_EQ(ok, c.out ? 1 : 0) << c.value;
        if (c.out) { EXPECT_EQ(out, c.out) << c.value; }
    }
}

TEST(RegionalFormat, RealLocaleConventions)
{
    struct {
        const char* locale;
        const char* decimal;
        const char* thousands;
        const char* symbol;
        int positive;
        int negative;
    } cases[] = {
        {"en_US.UTF-8", ".", ",", "$", 0, 1},
        {"de_DE.UTF-8", ",", ".", "\xE2\x82\xAC", 3, 8},
    };
    for (const auto& c : cases) {
        RegionalData data;
        ASSERT_EQ(LoadRegionalData(c.locale, data), 1) << c.locale;
        EXPECT_EQ(data.decimalSeparator, c.decimal);
        EXPECT_EQ(data.thousandSeparator, c.thousands);
        EXPECT_EQ(data.grouping, 3);
        EXPECT_EQ(data.currencySymbol, c.symbol);
        EXPECT_EQ(data.positiveCurrencyOrder, c.positive) << c.locale;
        EXPECT_EQ(data.negativeCurrencyOrder, c.negative) << c.locale;
    }
    RegionalData missing;
    EXPECT_EQ(LoadRegionalData("xx_NOWHERE.UTF-8", missing), 0);
    EXPECT_EQ(missing.decimalSeparator, ".");
    EXPECT_EQ(missing.grouping, 0);
}

}  // namespace
