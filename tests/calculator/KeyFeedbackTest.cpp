// What a screen reader hears after each key: results even when the number
// did not change, the state the display shows only as signs, and why a key
// did nothing.
#include "calculator/KeyFeedback.h"

#include "platform/MessageBox.h"
#include "tests/calculator/KeyDriver.h"

#include <gtest/gtest.h>

namespace {

class SilentMessageBox : public IMessageBox {
public:
    MessageAnswer Show(const std::string&, const std::string&, MessageKind, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};

class KeyFeedback : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        SetMessageBoxService(&messages);
    }
    void TearDown() override
    {
        SetMessageBoxService(nullptr);
        ResetSharedState();
    }
    // Every key through the feedback, as skin presses or typed keys; what
    // the last one said.
    static std::string Heard(CCalcController& calc, const std::string& script, bool typed = false)
    {
        CKeyFeedback feedback(calc);
        std::string said;
        for (const KeyPress& key : ParseKeys(script)) {
            feedback.Before(DisplayOf(calc));
            const int accepted = calc.Dispatch(key.type, key.id);
            said = feedback.After(key.type, key.id, accepted, typed, DisplayOf(calc));
        }
        return said;
    }
    SilentMessageBox messages;
};

struct Row {
    int mode;
    const char* keys;
    const char* heard;
};

TEST_F(KeyFeedback, ResultsAreSpokenEvenWhenTheNumberStays)
{
    const Row rows[] = {
        {kModeAlgebraic, "4 / 2 =", "2"},
        {kModeAlgebraic, "10 - 5 =", "5"},
        {kModeAlgebraic, "5 = =", "5"},
        {kModeAlgebraic, "4 sqrd sqrt", "4"},
        {kModeAlgebraic, "7 STO0 RCL0", "7"},
        {kModeAlgebraic, "AC AC", "0"},
        {kModeRpn, "3 ENTER", "3"},
        {kModeRpn, "3 ENTER 3 swap", "3"},
    };
    for (const Row& row : rows) {
        CCalcController calc;
        calc.SetCalcMode(row.mode);
        EXPECT_EQ(Heard(calc, row.keys), row.heard) << row.keys;
        ResetSharedState();
    }
}

TEST_F(KeyFeedback, SignsThatChangedAreNamed)
{
    const Row rows[] = {
        {kModeAlgebraic, "drg", "radians"},
        {kModeAlgebraic, "drg drg", "grads"},
        {kModeAlgebraic, "42 mode4", "memory mode: store"},
        {kModeAlgebraic, "42 mode4 mode4", "memory mode: add"},
        {kModeAlgebraic, "42 mode4 MEM1", "memory 2 stored: 42"},
        {kModeAlgebraic, "42 STO7", "memory 8 stored: 42"},
        {kModeAlgebraic, "42 M+ M+", "memory 1: 84"},
        {kModeAlgebraic, "42 M+ MC", "memory 1 cleared"},
        {kModeAlgebraic, "42 STO0 AC mode3 MEM0", "42"},  // a recall speaks the value
        {kModeAlgebraic, "2 + (", "open parenthesis"},
        {kModeAlgebraic, "2 1,5", "exponent"},
        {kModeAlgebraic, "12 base2", "binary, 1100"},
    };
    for (const Row& row : rows) {
        CCalcController calc;
        calc.SetCalcMode(row.mode);
        EXPECT_EQ(Heard(calc, row.keys), row.heard) << row.keys;
        ResetSharedState();
    }
}

TEST_F(KeyFeedback, TypedKeysAreLeftToTheReadersEcho)
{
    for (const char* keys : {"2 +", "2 + (", "12"}) {
        CCalcController calc;
        calc.SetCalcMode(kModeAlgebraic);
        EXPECT_EQ(Heard(calc, keys, true), "") << keys;
    }
}

TEST_F(KeyFeedback, RefusalsSayWhyOnce)
{
    const Row rows[] = {
        {kModeAlgebraic, "base2 sin", "not available in base 2"},
        {kModeAlgebraic, "#A", "not available in base 10"},
        {kModeAlgebraic, "swap", "only in R.P.N. mode"},
        {kModeAlgebraic, "11111111111111111111 1", "no more digits: 20 at most"},
        {kModeAlgebraic, "1 / 0 = M+", "the display shows no number"},
        {kModeAlgebraic, "12,0", "not a calculator key"},
        {kModeAlgebraic, "0 0", ""},                       // the display shows the 0 already
        {kModeAlgebraic, "base2 sin cos", ""},             // the same reason again
        {kModeAlgebraic, "base2 sin 1 cos", "not available in base 2"},
    };
    for (const Row& row : rows) {
        CCalcController calc;
        calc.SetCalcMode(row.mode);
        EXPECT_EQ(Heard(calc, row.keys), row.heard) << row.keys;
        ResetSharedState();
    }
}

TEST_F(KeyFeedback, StackFromXUp)
{
    CCalcController calc;
    calc.SetCalcMode(kModeRpn);
    PressKeys(calc, "3 ENTER 5");
    EXPECT_EQ(StackWords(calc, "5"), "X: 5, Y: 3, Z: 0, T: 0");
    calc.SetStackSize(5);
    EXPECT_EQ(StackWords(calc, ""), "Y: 3, Z: 0, T: 0, 5: 0");
    calc.SetCalcMode(kModeAlgebraic);
    EXPECT_EQ(StackWords(calc, "5"), "");
}

TEST_F(KeyFeedback, MemoryModeKeysCheckedWhileInEffect)
{
    const struct {
        int id, mode, on;
    } rows[] = {{0, 0, 1}, {0, 5, 0}, {1, 2, 1}, {1, 5, 0}, {3, 3, 1}, {4, 3, 0}, {4, 4, 1}, {5, 5, 1}, {5, 4, 0}};
    for (const auto& row : rows) EXPECT_EQ(MemoryModeKeyOn(row.id, row.mode), row.on) << row.id << " " << row.mode;
}

}  // namespace
