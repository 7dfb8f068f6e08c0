// Number bases at the edges of an evaluation: input digits to decimal, results
// wrapped to a 32-bit word in the output base.
#include "tests/engine/EngineTestSupport.h"

namespace {

struct SBaseCase {
    const char* expr;
    int inBase;
    int outBase;
    const char* text;
};

class EngineBaseTest : public EngineTest {
protected:
    void ExpectTable(const SBaseCase* begin, const SBaseCase* end)
    {
        for (const SBaseCase* c = begin; c != end; ++c) {
            std::string result;
            engine->EvaluateInBases(c->expr, result, c->inBase, c->outBase);
            EXPECT_EQ(result, c->text) << c->expr << " from " << c->inBase << " to " << c->outBase;
        }
    }
};

TEST_F(EngineBaseTest, EvaluateUsesTheCurrentBase)
{
    const struct {
        const char* expr;
        int base;
        const char* text;
    } cases[] = {
        {"1010+1", 2, "1011"},
        {"FF", 16, "FF"},
        {"0-1", 16, "FFFFFFFF"},
        {"0-1", 2, "11111111111111111111111111111111"},
        {"7\xF7" "2", 16, "3"},
        {"10", 8, "10"},
        {"0", 16, "0"},
        {"100000000", 16, "0"},
        {"ZZ", 36, "ZZ"},
        {"-FF", 16, "FFFFFF01"},
        {"-FF+1", 16, "FFFFFF02"},
        {"1/0", 16, "infinity"},
        {"0/0", 2, "imaginary"},
        {"", 16, "0"},
        {"9", 2, "1001"},
        {"12", 2, "100"},
        // Keypad signs are replaced before the digits are read in the base.
        {"11\xB2", 2, "1001"},
        {"3\xD7" "A", 16, "1E"},
        {"10-\xB9", 2, "0"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(engine->SetBase(c.base), 1);
        EXPECT_EQ(Eval(c.expr), c.text) << c.expr << " in base " << c.base;
    }
}

TEST_F(EngineBaseTest, CarryingADisplayBetweenBases)
{
    const SBaseCase cases[] = {
        {"255", 10, 16, "FF"},
        {"FF", 16, 2, "11111111"},
        {"FF", 16, 10, "255"},
        {"11111111", 2, 10, "255"},
        {"2.5", 10, 16, "2"},
        {"-2.5", 10, 16, "FFFFFFFE"},
        {"sin(1E)", 16, 10, "0.5"},
        {"FFFFFFFFFFFFFFFFFFFFFF", 16, 10, "9.22337203685478e+018"},
        {"FFFFFFFFFFFFFFFFFFFFFF", 16, 16, "0"},
        {"00000000000000000001", 2, 10, "1"},
    };
    ExpectTable(std::begin(cases), std::end(cases));
}

TEST_F(EngineBaseTest, WrapIntoTheWord)
{
    const SBaseCase cases[] = {
        {"4294967295", 10, 16, "FFFFFFFF"},
        {"4294967296", 10, 16, "0"},
        {"4294967297", 10, 16, "1"},
        {"42949672960005", 10, 16, "5"},       // 10000 wraps
        {"42953967927301", 10, 16, "0"},       // would need 10001
        {"-42949672959999", 10, 16, "1"},
        {"-42949672960001", 10, 16, "0"},
        {"1e19", 10, 16, "0"},                  // beyond 2^60
        {"-1e19", 10, 16, "0"},
    };
    ExpectTable(std::begin(cases), std::end(cases));
}

TEST_F(EngineBaseTest, RefusedBases)
{
    const SBaseCase cases[] = {
        {"1", 1, 10, "syntax error"},
        {"1", 10, 37, "syntax error"},
        {"1", 0, 0, "syntax error"},
        {"1", 2, 36, "1"},
    };
    ExpectTable(std::begin(cases), std::end(cases));
}

TEST_F(EngineBaseTest, LongBinaryTextShrinksBelowTheLimit)
{
    // 300 base-2 characters become a short decimal text.
    std::string text;
    for (int i = 0; i < 30; ++i) text += i ? "+111111111" : "111111111";
    ASSERT_GT(text.size(), 255u);
    std::string result;
    EXPECT_EQ(engine->EvaluateInBases(text, result, 2, 10), 30.0 * 511);
    EXPECT_EQ(engine->EvaluateInBases(std::string(5000, '1'), result, 2, 10), 0.0);
    EXPECT_EQ(result, "syntax error");
}

}
