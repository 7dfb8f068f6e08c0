// Key sequences and what the display shows afterwards, mode by mode.
#include "tests/calculator/KeyDriver.h"

#include <gtest/gtest.h>

namespace {

struct KeyCase {
    int mode;
    const char* keys;
    const char* display;
    const char* sign;   // null: not checked
};

class ModeKeys : public ::testing::TestWithParam<KeyCase> {
protected:
    void SetUp() override { ResetSharedState(); }
};

TEST_P(ModeKeys, ShowsExpectedDisplay)
{
    const KeyCase& c = GetParam();
    CCalcController calc;
    calc.SetCalcMode(c.mode);
    PressKeys(calc, c.keys);
    EXPECT_EQ(DisplayOf(calc), c.display) << "mode " << c.mode << ": " << c.keys;
    if (c.sign) { EXPECT_EQ(calc.GetSignText(), c.sign) << "mode " << c.mode << ": " << c.keys; }
}

const KeyCase kAlgebraic[] = {
    {1, "2 + 3 * 4 =", "14", "="},
    {1, "6 + * 2 =", "12", nullptr},
    {1, "200 + 10 %", "20", nullptr},
    {1, "200 + 10 % =", "220", nullptr},
    {1, "0 0", "0", nullptr},
    {1, "0 7", "7", nullptr},
    {1, ". 5", "0.5", nullptr},
    {1, "1 . 5 .", "1.5", nullptr},
    {1, "30 sin", "0.5", ""},
    {1, "5 pm", "-5", nullptr},
    {1, "2 +", "", "+"},
    {1, "2 + =", "2", nullptr},
    {1, "2 * ( 3 + 4 =", "14", nullptr},
    {1, "( 2 + 3 ) * 2 =", "10", nullptr},
    {1, "( 2 + 3 )", "5", ")"},
    // After ")" the bracket's value is shown: a digit starts a new number.
    {1, "( 2 + 3 ) 4", "4", nullptr},
    {1, "AC (", "0", "("},
    {1, "1 / 0 =", "Infinity", nullptr},
    {1, "1 - 2 = sqrt", "Imaginary", nullptr},
    {1, "1 / 0 = AC", "0", ""},
    {1, "12 BS", "1", nullptr},
    {1, "12 + 5 CE 7 =", "19", nullptr},
    {1, "2 ^ 10 =", "1024", nullptr},
    {1, "7 mod 4 =", "3", nullptr},
    // A 20-character result does not block the next number.
    {1, "1 / 7 / 100 =", "1.42857142857143e-003", nullptr},
    {1, "1 / 7 / 100 = 5", "5", nullptr},
    {1, "2 = 3", "3", ""},
    {1, "3 + K0 =", "6.14159265358979", nullptr},
    {1, "180 angle", "3.14159265358979", nullptr},
    // A converted or percentage value is replaced, not extended, by digits.
    {1, "180 angle 5", "5", nullptr},
    {1, "200 + 10 % 5 =", "205", nullptr},
    // ... but "%" keeps the state: a second "%" is again of the 200, and
    // backspace edits the percentage.
    {1, "200 + 10 % %", "40", nullptr},
    {1, "200 + 10 % % =", "240", nullptr},
    {1, "200 + 10 % BS", "2", nullptr},
    {1, "0.1 + 0.2 =", "0.3", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Algebraic, ModeKeys, ::testing::ValuesIn(kAlgebraic));

const KeyCase kDal[] = {
    {2, "sin 30 + 1 =", "1.5", "="},
    {2, "2 sin 30 =", "1", nullptr},
    {2, "( sin 30 ) * 2 =", "1", nullptr},
    {2, "sin", "", "sin"},
    {2, "sin sin 90 =", "1.74524064372835e-002", nullptr},
    {2, "2 + 3 * 4 =", "14", nullptr},
    {2, "16 sqrt", "4", nullptr},
    {2, "2 = sin 30 =", "0.5", nullptr},
    {2, "200 + 10 % =", "220", nullptr},
    {2, "sin ( 30 ) =", "0.5", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Dal, ModeKeys, ::testing::ValuesIn(kDal));

const KeyCase kChain[] = {
    {3, "2 + 3 * 4 =", "20", "="},
    {3, "2 + 3 *", "5", "\xC3\x97"},
    {3, "2 + 3 =", "5", nullptr},
    {3, "2 + 3 = =", "8", nullptr},
    {3, "2 + 3 = = =", "11", nullptr},
    {3, "10 - 4 = =", "2", nullptr},
    {3, "2 + =", "2", nullptr},
    {3, "2 + = =", "4", nullptr},
    {3, "2 * ( 3 + 4 ) =", "14", nullptr},
    {3, "2 ( 3 + 4 ) =", "14", nullptr},
    {3, "6 + * 2 =", "12", nullptr},
    {3, "9 sqrt + 1 =", "4", nullptr},
    {3, "200 + 10 % =", "220", nullptr},
    {3, "50 % 3", "3", nullptr},
    {3, "200 + 10 % %", "40", nullptr},
    {3, "200 + 10 % BS", "2", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Chain, ModeKeys, ::testing::ValuesIn(kChain));

const KeyCase kRpn[] = {
    {4, "3 ENTER 4 +", "7", ""},
    {4, "2 ENTER 3 ^", "8", nullptr},
    {4, "5 ENTER 3 + 2", "2", nullptr},
    {4, "9 sqrt", "3", nullptr},
    {4, "", "0", ""},
    {4, "50 %", "0.5", nullptr},
    {4, "3 ENTER 4 swap", "3", nullptr},
    {4, "12 ENTER 4 /", "3", nullptr},
    {4, "1 ENTER 2 -", "-1", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Rpn, ModeKeys, ::testing::ValuesIn(kRpn));

const KeyCase kExpression[] = {
    {0, "2 + 3 * 4 =", "14", "2+3\xC3\x97" "4"},
    {0, "( 2 + 3 =", "5", "(2+3)"},
    {0, "2 sqrd =", "4", "2\xC2\xB2"},
    {0, "2 inv =", "0.5", "2-\xC2\xB9"},
    {0, "5 - 3 pm", "0", "5--3"},
    {0, "5 - 3 pm pm", "0", "5-3"},
    {0, "3 pm", "0", "-3"},
    {0, "2 * pm 3 =", "-6", "2\xC3\x97-3"},
    {0, "+ 2", "0", "2"},
    {0, "2 + * 3", "0", "2+3"},
    {0, "( - 2 ) =", "-2", "(-2)"},
    {0, "( + 2", "0", "(2"},
    {0, "0 0 5", "0", "5"},
    {0, ". 5 . 2", "0", "0.52"},
    {0, "2 ( 3", "0", "23"},
    {0, "( 2 ) 3", "0", "(2)"},
    {0, "2 )", "0", "2"},
    {0, "sin 30 ) =", "0.5", "sin(30)"},
    {0, "2 + 3 = * 2 =", "10", "5\xC3\x97" "2"},
    {0, "2 + 3 = 4", "5", "4"},
    // "%" takes the hundredth of the shown result, as in every mode, and
    // leaves the line alone.
    {0, "200 + % 10 =", "210", nullptr},
    {0, "50 = %", "0.5", "50"},
    {0, "50 = % + 1 =", "1.5", "0.5+1"},
    // "=" on an empty line gives 0, and the line restarts from it.
    {0, "8 = BS =", "0", ""},
    {0, "= +", "0", "0+"},
    {0, "= + 2 =", "2", "0+2"},
    {0, "K0 * 2 =", "6.28318530717959", nullptr},
    {0, "2 + 3 BS BS", "0", "2"},
    {0, "2 + 3 = AC", "0", ""},
};
INSTANTIATE_TEST_SUITE_P(Expression, ModeKeys, ::testing::ValuesIn(kExpression));

// Presses that must be refused, counted by the accepted total.
struct RefusalCase {
    int mode;
    const char* keys;
    int accepted;
};

class ModeRefusals : public ::testing::TestWithParam<RefusalCase> {
protected:
    void SetUp() override { ResetSharedState(); }
};

TEST_P(ModeRefusals, AcceptsOnlyValidPresses)
{
    const RefusalCase& c = GetParam();
    CCalcController calc;
    calc.SetCalcMode(c.mode);
    EXPECT_EQ(PressKeys(calc, c.keys), c.accepted) << "mode " << c.mode << ": " << c.keys;
}

const RefusalCase kRefusals[] = {
    // An operator right after clear all or "(" is refused in the keyed modes.
    {1, "AC +", 1}, {2, "AC +", 1}, {3, "AC +", 1},
    {1, "( +", 1},  {2, "( +", 1},  {3, "( +", 0},
    // "(" after clear all: Algebraic and D.A.L. accept, Chain refuses.
    {1, "AC (", 2}, {2, "AC (", 2}, {3, "AC (", 1},
    {3, "( (", 0},  {1, "( (", 2},
    {2, "sin +", 1},
    {1, ")", 0},    {1, "( 2 + )", 3},
    {1, "#A", 0},   {1, "1 . .", 2},
    {0, "+", 0},    {0, "sin 30 sin", 3},
    {4, "swap rollup rolldown drop", 4},
    {1, "swap", 0},
    {1, "LASTY", 0}, {4, "LASTY", 1},
    {1, "copyexpr", 0}, {0, "copyexpr", 1},
    {1, "4,17", 0}, {1, "9,3", 0}, {1, "10,37", 0}, {1, "12,0", 0},
};
INSTANTIATE_TEST_SUITE_P(Refused, ModeRefusals, ::testing::ValuesIn(kRefusals));

class Modes : public ::testing::Test {
protected:
    void SetUp() override { ResetSharedState(); }
};

TEST_F(Modes, DigitKeysStopAtTwentyCharacters)
{
    for (int mode : {1, 2, 3, 4}) {
        CCalcController calc;
        calc.SetCalcMode(mode);
        EXPECT_EQ(PressKeys(calc, "1234567890123456789012"), 20) << "mode " << mode;
        EXPECT_EQ(calc.ActiveMode().GetDisplayText(), "12345678901234567890");
    }
}

TEST_F(Modes, TwentiethLevelOfParenthesesIsRefused)
{
    for (int mode : {1, 2}) {
        CCalcController calc;
        calc.SetCalcMode(mode);
        for (int i = 0; i < 19; ++i) EXPECT_EQ(calc.Dispatch(3, 0), 1) << "level " << i + 1;
        EXPECT_EQ(calc.Dispatch(3, 0), 0);
    }
    CCalcController chain;
    chain.SetCalcMode(3);
    PressKeys(chain, "1");
    for (int i = 0; i < 19; ++i) EXPECT_EQ(PressKeys(chain, "( 1"), 2) << "level " << i + 1;
    EXPECT_EQ(chain.Dispatch(3, 0), 0);
}

TEST_F(Modes, ChainRepeatedEqualsOffRefusesSecondEquals)
{
    CCalcController calc;
    calc.SetCalcMode(3);
    calc.SetRepeatedEquals(0);
    PressKeys(calc, "2 + 3 =");
    EXPECT_EQ(calc.ActiveMode().Equals(0), 0);
    EXPECT_EQ(DisplayOf(calc), "5");
}

TEST_F(Modes, EachModeKeepsItsOwnEntry)
{
    CCalcController calc;
    calc.SetCalcMode(1);
    PressKeys(calc, "12 +");
    calc.SetCalcMode(4);
    PressKeys(calc, "7");
    calc.SetCalcMode(1);
    PressKeys(calc, "3 =");
    EXPECT_EQ(DisplayOf(calc), "15");
    calc.SetCalcMode(4);
    EXPECT_EQ(DisplayOf(calc), "7");
}

TEST_F(Modes, ExpressionHistoryKeepsThirtyPairsAndSecondClearEmptiesIt)
{
    CCalcController calc;
    calc.SetCalcMode(0);
    for (int i = 1; i <= 32; ++i) PressKeys(calc, std::to_string(i) + " + 1 =");
    CCalcMode& mode = calc.ActiveMode();
    ASSERT_EQ(mode.GetHistoryCount(), 30u);
    EXPECT_EQ(mode.GetHistoryItem(0).first, "3+1");
    EXPECT_EQ(mode.GetHistoryItem(29).second, "33");
    PressKeys(calc, "=");
    EXPECT_EQ(mode.GetHistoryCount(), 30u);   // the same pair is not repeated
    PressKeys(calc, "AC");
    EXPECT_EQ(mode.GetHistoryCount(), 30u);
    PressKeys(calc, "AC");
    EXPECT_EQ(mode.GetHistoryCount(), 0u);
}

TEST_F(Modes, ExpressionLineStopsAtItsCapacity)
{
    CCalcController calc;
    calc.SetCalcMode(0);
    for (int i = 0; i < 200; ++i) PressKeys(calc, "1 +");
    EXPECT_EQ(calc.ActiveMode().GetSignText().size(), 256u);
}

}  // namespace
