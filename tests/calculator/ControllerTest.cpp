// The controller's own work: the R.P.N. stack, memory registers, answer,
// bases, clipboard, refused presses and the settings it is handed.
#include "tests/calculator/KeyDriver.h"

#include "calculator/NumberText.h"
#include "engine/CalcEngine.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingMessageBox : public IMessageBox {
public:
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageKind, MessageButtons) override
    {
        shown.push_back({text, caption});
        return MessageAnswer::Ok;
    }
    std::vector<std::pair<std::string, std::string>> shown;
};

class FakeClipboard : public IClipboard {
public:
    int SetText(const std::string& t) override
    {
        text = t;
        return 1;
    }
    int GetText(std::string& t) override
    {
        t = text;
        return text.empty() ? 0 : 1;
    }
    std::string text;
};

class Controller : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        SetMessageBoxService(&messages);
        SetClipboardService(&clipboard);
    }
    void TearDown() override
    {
        SetClipboardService(nullptr);
        ResetSharedState();
    }
    // Top of the stack first: T, Z, Y, X for size 4.
    static std::vector<std::string> Stack(CCalcController& calc)
    {
        CRpnMode& rpn = calc.Rpn();
        std::vector<std::string> levels;
        for (int i = rpn.GetStackSize() - 2; i >= 0; --i) levels.push_back(rpn.GetRegister(i));
        levels.push_back(rpn.GetDisplayText());
        return levels;
    }
    static CCalcController& Rpn(CCalcController& calc)
    {
        calc.SetCalcMode(kModeRpn);
        return calc;
    }

    RecordingMessageBox messages;
    FakeClipboard clipboard;
};

struct StackCase {
    const char* keys;
    std::vector<std::string> stack;   // T, Z, Y, X
};

TEST_F(Controller, RpnStackMovements)
{
    const StackCase cases[] = {
        {"1 ENTER 2 ENTER 3 ENTER 4 ENTER", {"2", "3", "4", "4"}},
        {"5 ENTER 3 + 2", {"0", "0", "8", "2"}},
        {"5 ENTER 3", {"0", "0", "5", "3"}},
        {"3 ENTER 4 +", {"0", "0", "0", "7"}},
        {"1 ENTER 2 ENTER 3 ENTER 4 drop", {"1", "1", "2", "4"}},
        {"1 ENTER 2 ENTER 3 ENTER 4 swap", {"1", "2", "4", "3"}},
        {"1 ENTER 2 ENTER 3 ENTER 4 rolldown", {"4", "1", "2", "3"}},
        {"1 ENTER 2 ENTER 3 ENTER 4 rollup", {"2", "3", "4", "1"}},
        {"1 ENTER 2 ENTER 3 ENTER 4 ( )", {"3", "1", "2", "4"}},
        // After a stack movement the next digit lifts, it does not extend X.
        {"3 ENTER 4 swap 5", {"0", "4", "3", "5"}},
        // A refused digit leaves the stack alone.
        {"5 ENTER 3 + #A", {"0", "0", "0", "8"}},
        {"9 sqrt 2", {"0", "0", "3", "2"}},
        {"50 % 3", {"0", "0", "0.5", "3"}},
        {"2 ENTER 50 % +", {"0", "0", "0", "2.5"}},
        {"AC ENTER", {"0", "0", "0", "0"}},
        {"1 ENTER 2 ENTER 3 AC", {"0", "0", "0", "0"}},
    };
    for (const StackCase& c : cases) {
        CCalcController calc;
        PressKeys(Rpn(calc), c.keys);
        EXPECT_EQ(Stack(calc), c.stack) << c.keys;
    }
}

TEST_F(Controller, RpnSavedYIsRecalled)
{
    CCalcController calc;
    PressKeys(Rpn(calc), "6 ENTER 2 / LASTY");
    EXPECT_EQ(DisplayOf(calc), "6");
}

TEST_F(Controller, RpnShowStackListsLevelsFromTheTop)
{
    struct {
        int size;
        const char* keys;
        const char* caption;
        const char* text;
    } cases[] = {
        {3, "1 ENTER 2", "Stack Size is:  3", "Z: 0\nY: 1\nX: 2\n"},
        {4, "1 ENTER 2", "Stack Size is:  4", "T: 0\nZ: 0\nY: 1\nX: 2\n"},
        {6, "7", "Stack Size is:  6", "6: 0\n5: 0\nT: 0\nZ: 0\nY: 0\nX: 7\n"},
    };
    for (const auto& c : cases) {
        CCalcController calc;
        calc.SetStackSize(c.size);
        PressKeys(Rpn(calc), c.keys);
        calc.ShowStack();
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().second, c.caption);
        EXPECT_EQ(messages.shown.back().first, c.text);
    }
}

TEST_F(Controller, StackSizeOutsideThreeToTwentyIsIgnored)
{
    CCalcController calc;
    for (int size : {2, 21, 25, -1}) {
        calc.SetStackSize(size);
        EXPECT_EQ(calc.StackSize(), 4) << size;
    }
    calc.SetStackSize(20);
    EXPECT_EQ(calc.StackSize(), 20);
}

TEST_F(Controller, BaseTwoRefusesPowerAndSineButNotPlusOrSignChange)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    PressKeys(calc, "base2 101");
    EXPECT_EQ(calc.Dispatch(1, 4), 0);    // ^
    EXPECT_EQ(calc.Dispatch(2, 1), 0);    // sin(
    EXPECT_EQ(calc.Dispatch(0, 2), 0);    // the digit 2
    EXPECT_EQ(calc.Dispatch(0, 16), 0);   // the point
    EXPECT_EQ(calc.Dispatch(6, 0), 0);    // a constant
    EXPECT_EQ(calc.Dispatch(1, 0), 1);    // +
    EXPECT_EQ(PressKeys(calc, "1 ="), 2);
    EXPECT_EQ(DisplayOf(calc), "110");
    EXPECT_EQ(calc.Dispatch(2, 18), 1);   // pm
    EXPECT_EQ(DisplayOf(calc), "11111111111111111111111111111010");
}

TEST_F(Controller, BaseChangeCarriesTheShownValue)
{
    struct {
        const char* keys;
        const char* display;
    } cases[] = {
        {"255 base16", "FF"},
        {"255 base16 base2", "11111111"},
        {"base16 #FF base10", "255"},
        {"255 base10", "255"},
        {"base8 17 + 1 = base10", "16"},
        // Pending operands keep their value across the change.
        {"12 + base16 1 =", "D"},
        {"2 * ( 3 + base16 #A =", "1A"},
        {"base16 #FF + base10 1 =", "256"},
        {"1.5 + 1 * base2 1 =", "10"},
        // A pending letter operator has no spelling in another base: the change is refused.
        {"2 1,5 3 + base16 1 =", "2001"},
        {"2 1,5 3 + base2 1 =", "2001"},
        {"2 1,5 3 = base16", "7D0"},
    };
    for (const auto& c : cases) {
        ResetSharedState();
        CCalcController calc;
        calc.SetCalcMode(kModeAlgebraic);
        EXPECT_GT(PressKeys(calc, c.keys), 0);
        EXPECT_EQ(DisplayOf(calc), c.display) << c.keys;
    }
    ResetSharedState();
    CCalcController chain;
    chain.SetCalcMode(kModeChain);
    PressKeys(chain, "12 + base16 1 =");
    EXPECT_EQ(DisplayOf(chain), "D");
    ResetSharedState();
    CCalcController chainLetter;
    chainLetter.SetCalcMode(kModeChain);
    EXPECT_EQ(PressKeys(chainLetter, "2 1,5 base16"), 2);
    EXPECT_EQ(PressKeys(chainLetter, "3 ="), 2);
    EXPECT_EQ(DisplayOf(chainLetter), "2000");
    EXPECT_EQ(PressKeys(chainLetter, "base16 ="), 2);
    EXPECT_EQ(DisplayOf(chainLetter), "7D0");
    ResetSharedState();
    CCalcController rpn;
    PressKeys(Rpn(rpn), "10 ENTER 11 base16");
    EXPECT_EQ(Stack(rpn), (std::vector<std::string>{"0", "0", "A", "B"}));
}

TEST_F(Controller, MemoryRegistersKeepDecimalText)
{
    struct {
        const char* keys;
        const char* display;
        int reg;
        const char* memory;
    } cases[] = {
        {"5 STO0 base16 RCL0", "5", 0, "5"},
        {"base16 #FF STO3 base10 AC RCL3", "255", 3, "255"},
        {"5 MEM2 MEM2", "5", 2, "10"},
        {"7 M+ 3 M-", "3", 0, "4"},
        {"7 M+ MC", "7", 0, ""},
        {"7 M+ 4,24", "7", 0, "14"},
        {"AC RCL1", "0", 1, ""},
        {"6 mode4 MEM5 AC mode3 MEM5", "6", 5, "6"},
        {"6 STO1 2 mode0 MEM1", "2", 1, "4"},
        // Modes 1 and 2 add to register 0 whatever register the key names.
        {"6 mode1 MEM4", "6", 0, "6"},
        // An empty display counts as 0 in a sum.
        {"2 + M+", "", 0, "0"},
        {"1.5 STO7", "1.5", 7, "1.5"},
        // An error display is no value: MS, M+ and M- leave the register as it was.
        {"5 STO2 1 / 0 = STO2", "Infinity", 2, "5"},
        {"1 / 0 = 4,24 AC 4,8", "0", 0, ""},
        {"3 M+ 1 / 0 = M+ AC 5 M+ RCL0", "8", 0, "8"},
        {"3 M+ 0 - 1 = sqrt M- RCL0", "3", 0, "3"},
        {"4 MEM6 1 / 0 = MEM6 mode4 MEM6 mode0 MEM6", "Infinity", 6, "4"},
    };
    for (const auto& c : cases) {
        ResetSharedState();
        CCalcController calc;
        calc.SetCalcMode(kModeAlgebraic);
        PressKeys(calc, c.keys);
        EXPECT_EQ(DisplayOf(calc), c.display) << c.keys;
        EXPECT_EQ(calc.MemoryText(c.reg), c.memory) << c.keys;
        EXPECT_EQ(calc.GetMemoryMode(), kMemAdd) << c.keys;
    }
}

// What a settings file hands over must be a number, or the register stays
// empty; a sum beyond the range of numbers is refused like an error display.
TEST_F(Controller, RegistersHoldOnlyNumbers)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    const std::pair<const char*, const char*> stored[] = {
        {"syntax error", ""}, {"infinity", ""}, {"Imaginary", ""}, {"12abc", ""},
        {"-1.5e-007", "-1.5e-007"}, {"42", "42"}, {"1e+308", "1e+308"},
    };
    for (const auto& [text, kept] : stored) {
        calc.SetMemoryText(5, text);
        EXPECT_EQ(calc.MemoryText(5), kept) << text;
    }
    PressKeys(calc, "AC RCL5 M+ STO6 M+");
    EXPECT_EQ(calc.MemoryText(0), "1.e+308");
    EXPECT_EQ(calc.Dispatch(4, 33), 0);
    EXPECT_EQ(calc.MemoryText(0), "1.e+308");
    PressKeys(calc, "AC 7 STO3 AC RCL3");
    EXPECT_EQ(DisplayOf(calc), "7");
}

TEST_F(Controller, StoredValueIsShownSoTheNextDigitStartsANewNumber)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    PressKeys(calc, "12 STO0 3");
    EXPECT_EQ(DisplayOf(calc), "3");
}

TEST_F(Controller, MemoryOperationModeChanges)
{
    // from, id, to
    const int cases[][3] = {
        {0, 0, 5}, {1, 0, 2}, {2, 0, 1}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0},
        {0, 1, 2}, {1, 1, 5}, {2, 1, 0}, {3, 1, 1}, {4, 1, 1}, {5, 1, 1},
        {5, 3, 3}, {3, 3, 5}, {5, 4, 4}, {4, 4, 5}, {5, 5, 5}, {0, 5, 5}, {3, 9, 5}, {2, 2, 5},
    };
    // Key presses that reach each starting mode from the initial 5.
    const char* reach[6] = {"mode0", "mode1", "mode0 mode1", "mode3", "mode4", ""};
    for (const auto& c : cases) {
        CCalcController calc;
        PressKeys(calc, reach[c[0]]);
        ASSERT_EQ(calc.GetMemoryMode(), c[0]);
        EXPECT_EQ(calc.Dispatch(7, c[1]), 1);
        EXPECT_EQ(calc.GetMemoryMode(), c[2]) << "from " << c[0] << " id " << c[1];
    }
}

TEST_F(Controller, FunctionAndClearKeysResetTheMemoryOperationMode)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    PressKeys(calc, "9 mode4 sqrt");
    EXPECT_EQ(calc.GetMemoryMode(), kMemAdd);
    PressKeys(calc, "mode4 BS");
    EXPECT_EQ(calc.GetMemoryMode(), kMemStore);
    PressKeys(calc, "CE");
    EXPECT_EQ(calc.GetMemoryMode(), kMemAdd);
}

TEST_F(Controller, MemoryInUseIgnoresEmptyAndZero)
{
    CCalcController calc;
    calc.SetMemoryText(0, "0");
    calc.SetMemoryText(1, "");
    calc.SetMemoryText(2, "0.5");
    EXPECT_EQ(calc.IsMemoryInUse(0), 0);
    EXPECT_EQ(calc.IsMemoryInUse(1), 0);
    EXPECT_EQ(calc.IsMemoryInUse(2), 1);
    EXPECT_EQ(calc.IsMemoryInUse(8), 0);
}

TEST_F(Controller, AnswerRegisterHoldsTheLastEqualsResult)
{
    struct {
        int mode;
        const char* keys;
        const char* display;
    } cases[] = {
        {kModeAlgebraic, "2 + 3 = AC ANS", "5"},
        {kModeAlgebraic, "ANS", "0"},
        {kModeChain, "1 + 1 = 4 ANS * 2 =", "4"},
        {kModeExpression, "2 * 3 = AC ANS + 1 =", "7"},
        {kModeRpn, "8 ENTER ANS", "8"},
        // An error is no answer: the one before it stays.
        {kModeAlgebraic, "5 = 1 / 0 = AC ANS", "5"},
        {kModeChain, "3 + 4 = 1 / 0 = AC ANS", "7"},
    };
    for (const auto& c : cases) {
        CCalcController calc;
        calc.SetCalcMode(c.mode);
        PressKeys(calc, c.keys);
        EXPECT_EQ(DisplayOf(calc), c.display) << c.keys;
    }
}

TEST_F(Controller, ConstantsEvaluateIntoTheEntry)
{
    struct {
        int id;
        const char* display;
    } cases[] = {
        {0, "3.14159265358979"}, {2, "299792458"}, {15, "1.25663706143592e-006"}, {19, "1.67377e-027"},
    };
    for (const auto& c : cases) {
        CCalcController calc;
        calc.SetCalcMode(kModeAlgebraic);
        EXPECT_EQ(calc.Dispatch(6, c.id), 1);
        EXPECT_EQ(DisplayOf(calc), c.display) << c.id;
    }
}

TEST_F(Controller, ThirdRefusalInARowShowsTheMessageOnce)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    PressKeys(calc, "swap swap");
    EXPECT_TRUE(messages.shown.empty());
    PressKeys(calc, "swap");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].second, "Invalid button press");
    EXPECT_NE(messages.shown[0].first.find("not available"), std::string::npos);
    EXPECT_NE(messages.shown[0].first.find("Calculator Mode"), std::string::npos);  // what to do about it
    EXPECT_EQ(calc.GetRefusedCount(), 0);
    PressKeys(calc, "swap swap 1 swap swap");
    EXPECT_EQ(messages.shown.size(), 1u);
    PressKeys(calc, "12,0");
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(Controller, KeyboardOperationsAreNotCounted)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(calc.StackCommand(0), 0);
    EXPECT_EQ(calc.GetRefusedCount(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Controller, ClipboardCopiesPlainTextAndPastesUpToThirtyTwoCharacters)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    CNumberText::GetInstance()->SetNotation(kNotationScientific);
    PressKeys(calc, "1234.5 copy");
    EXPECT_EQ(clipboard.text, "1234.5");

    clipboard.text = " 42\n";
    PressKeys(calc, "paste");
    EXPECT_EQ(calc.ActiveMode().GetDisplayText(), "42");
    clipboard.text = std::string(32, '7');
    PressKeys(calc, "paste");
    EXPECT_EQ(calc.ActiveMode().GetDisplayText(), std::string(32, '7'));
    clipboard.text.clear();
    PressKeys(calc, "AC 5");
    EXPECT_EQ(calc.Dispatch(9, 2), 1);
    EXPECT_EQ(DisplayOf(calc), "5");
}

// Only a whole number of the current base is pasted; anything else is a
// refused press that leaves the entry alone.
TEST_F(Controller, PasteTakesOnlyANumberOfTheBase)
{
    RegionalData english;
    english.decimalSeparator = ".";
    english.thousandSeparator = ",";
    RegionalData german = english;
    german.decimalSeparator = ",";
    german.thousandSeparator = ".";
    RegionalData french = german;
    french.thousandSeparator = "\xE2\x80\xAF";   // narrow no-break space
    const struct {
        const RegionalData* locale;
        int base;
        std::string pasted;
        const char* entry;   // nullptr: refused
    } cases[] = {
        {&english, 10, "1,234.56", "1234.56"},
        {&english, 10, "  -12 345.5e-3\r\n", "-12345.5e-3"},
        {&english, 10, "+2.5E+021", "2.5e+021"},
        {&english, 10, "1e+021", "1e+021"},
        {&english, 10, "1,234", "1234"},
        {&english, 10, "1.5", "1.5"},
        {&german, 10, "1.234.567,5", "1234567.5"},
        {&german, 10, "0,25", "0.25"},
        {&german, 10, "1.5", "1.5"},   // the form Tallix copies
        {&french, 10, "1\xE2\x80\xAF" "234,5", "1234.5"},
        {&english, 16, "ff ff", "FFFF"},
        {&english, 16, "-1A", "-1A"},
        {&english, 2, "1010 1010", "10101010"},
        {&english, 2, std::string(32, '1'), "11111111111111111111111111111111"},
        {&english, 10, "hello world", nullptr},
        {&english, 10, "\xC3\xA9\xE2\x82\xAC" "7", nullptr},
        {&english, 10, "1,2", nullptr},
        {&english, 10, "1.2.3", nullptr},
        {&english, 10, "1,234.5,6", nullptr},
        {&english, 10, ",5", nullptr},
        {&english, 10, "--5", nullptr},
        {&english, 10, "5-", nullptr},
        {&english, 10, "1e", nullptr},
        {&english, 10, "e5", nullptr},
        {&english, 10, "1e999", nullptr},
        {&english, 10, "0x10", nullptr},
        {&english, 10, "12+3", nullptr},
        {&english, 10, std::string(10000, '9'), nullptr},
        {&english, 10, std::string(33, '9'), nullptr},
        {&english, 16, "FG", nullptr},
        {&english, 16, "1.5", nullptr},
        {&english, 8, "9", nullptr},
        {&english, 2, std::string(33, '1'), nullptr},
    };
    for (const auto& c : cases) {
        ResetSharedState();
        CNumberText::GetInstance()->SetLocaleData(*c.locale);
        CCalcController calc;
        calc.SetCalcMode(kModeAlgebraic);
        calc.SetCalcBase(c.base);
        PressKeys(calc, "1");
        clipboard.text = c.pasted;
        EXPECT_EQ(calc.ClipboardCommand(2), c.entry ? 1 : 0) << c.pasted.substr(0, 40);
        EXPECT_EQ(calc.ActiveMode().GetDisplayText(), c.entry ? c.entry : "1") << c.pasted.substr(0, 40);
    }
    // With the decimal comma on, "," is the point whatever the locale.
    ResetSharedState();
    CNumberText::GetInstance()->SetLocaleData(english);
    CNumberText::GetInstance()->SetDecimalComma(1);
    CCalcController calc;
    calc.SetCalcMode(kModeExpression);
    clipboard.text = "2,5";
    EXPECT_EQ(calc.ClipboardCommand(2), 1);
    PressKeys(calc, "=");
    EXPECT_EQ(DisplayOf(calc), "2,5");
}

TEST_F(Controller, CopyingTheExpressionLineHonoursTheDecimalComma)
{
    CCalcController calc;
    calc.SetCalcMode(kModeExpression);
    PressKeys(calc, "1.5 * 2");
    CNumberText::GetInstance()->SetDecimalComma(1);
    EXPECT_EQ(calc.Dispatch(9, 1), 1);
    EXPECT_EQ(clipboard.text, "1,5\xC3\x97" "2");
    calc.SetCalcMode(kModeAlgebraic);
    EXPECT_EQ(calc.Dispatch(9, 1), 0);
}

TEST_F(Controller, DecimalCommaAppliesToTheDisplay)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    CNumberText::GetInstance()->SetDecimalComma(1);
    PressKeys(calc, "2.5");
    EXPECT_EQ(DisplayOf(calc), "2,5");
}

TEST_F(Controller, SettingsAreHandedOverAndAskedBack)
{
    CCalcController calc;
    EXPECT_EQ(calc.CalcMode(), kModeChain);   // until the settings arrive
    calc.SetCalcBase(16);
    calc.SetNotation(2);
    calc.SetRepeatedEquals(0);
    calc.SetCalcMode(4);
    calc.SetStackSize(12);
    calc.SetMemoryText(4, "12.5");
    EXPECT_EQ(calc.CalcBase(), 16);
    EXPECT_EQ(calc.Notation(), 2);
    EXPECT_EQ(calc.RepeatedEquals(), 0);
    EXPECT_EQ(calc.CalcMode(), 4);
    EXPECT_EQ(calc.StackSize(), 12);
    EXPECT_EQ(calc.MemoryText(4), "12.5");
    // Out-of-range values leave the owner's own value.
    calc.SetCalcBase(37);
    calc.SetNotation(4);
    calc.SetCalcMode(5);
    EXPECT_EQ(calc.CalcBase(), 16);
    EXPECT_EQ(calc.Notation(), 2);
    EXPECT_EQ(calc.CalcMode(), 4);
}

TEST_F(Controller, ErrorInXMakesTheNextOperationASyntaxError)
{
    CCalcController calc;
    PressKeys(Rpn(calc), "1 ENTER 0 /");
    EXPECT_EQ(DisplayOf(calc), "Infinity");
    PressKeys(calc, "AC 1 pm sqrt");
    EXPECT_EQ(DisplayOf(calc), "Imaginary");
    PressKeys(calc, "2 +");
    EXPECT_EQ(DisplayOf(calc), "Syntax Error");
}

}  // namespace

namespace {

TEST(ConvertNumbers, RewritesNumbersButNotNames)
{
    ResetSharedState();
    struct {
        const char* text;
        int from, to;
        const char* out;
    } cases[] = {
        {"12+3\xD7(", 10, 16, "C+3\xD7("},
        {"log2(8)+1", 10, 2, "log2(1000)+1"},
        {"1.5e-007+2", 10, 16, "0+2"},
        {"FF+pm(A)", 16, 10, "255+pm(10)"},
        {"e^(2)", 10, 16, "e^(2)"},
        {"", 10, 16, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ConvertNumbers(c.text, c.from, c.to), c.out) << c.text;
}

}  // namespace
