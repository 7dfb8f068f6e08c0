// Result texts, syntax faults, preparation of the keypad signs, capacities and
// the engine's own settings.
#include "tests/engine/EngineTestSupport.h"

namespace {

TEST_F(EngineTest, DecimalResultTexts)
{
    const SExprCase cases[] = {
        {"", "0"},
        {"0", "0"},
        {"0.05", "0.05"},
        {"0.01", "0.01"},
        {"0.1", "0.1"},
        {"0.00001", "0.00001"},
        {"0.0000001", "0.0000001"},
        {"0.00012345", "0.00012345"},
        {"0.00000015", "0.00000015"},
        {"0.000000123456789", "1.23456789e-007"},
        {"1e-10", "0.0000000001"},
        {"1e-11", "1.e-011"},
        {"1e-20", "1.e-020"},
        {"1e20", "1.e+020"},
        {"1e100", "1.e+100"},
        {"123456789012345678", "1.23456789012346e+017"},
        {"999999999999999", "999999999999999"},
        {"1e15", "1.e+015"},
        {"999999999999999.5", "1.e+015"},
        {"0.099999999999999999", "0.1"},
        {"2.50", "2.5"},
        {"12.", "12"},
        {"2/3", "0.666666666666667"},
        {"1/3", "0.333333333333333"},
        {"0-2.5", "-2.5"},
        {"-1e20", "-1.e+020"},
        {"-0.00001", "-0.00001"},
        {"0-0", "0"},
        {"-0", "0"},
        {"12.5*(3+sin(30))", "43.75"},
    };
    EXPECT_TABLE(cases, Eval);
}

TEST_F(EngineTest, ErrorWords)
{
    const SExprCase cases[] = {
        {"1/0", "infinity"},
        {"-1/0", "infinity"},
        {"1e999", "infinity"},
        {"1e308*10", "infinity"},
        {"sqrt(-1)", "imaginary"},
        {"0/0", "imaginary"},
        {"ln(-1)", "imaginary"},
    };
    EXPECT_TABLE(cases, Eval);
}

TEST_F(EngineTest, SyntaxFaults)
{
    const SExprCase cases[] = {
        {"5+", "syntax error"},      {"5-", "syntax error"},     {"(5", "syntax error"},
        {"5)", "syntax error"},      {"()", "syntax error"},     {"sin", "syntax error"},
        {"sin 30", "syntax error"},  {"sin30", "syntax error"},  {"sin(", "syntax error"},
        {"1e", "syntax error"},      {"1e+", "syntax error"},    {".", "syntax error"},
        {"2**3", "syntax error"},    {"+5", "syntax error"},     {"3(4)", "syntax error"},
        {"1e1000", "syntax error"},  {"1 + 2", "syntax error"},  {"1 ", "syntax error"},
        {"foo(1)", "syntax error"},  {"E5", "syntax error"},     {"pi2", "syntax error"},
        {"2pi", "syntax error"},     {"B", "syntax error"},      {"1\xB9", "syntax error"},
        {"1,5", "syntax error"},
    };
    EXPECT_TABLE(cases, Eval);
    // A zero byte inside the text is a character like any other.
    EXPECT_EQ(Eval(std::string("1\0+1", 4)), "syntax error");
}

TEST_F(EngineTest, SyntaxFaultReturnsFirstNumber)
{
    std::string result;
    EXPECT_EQ(engine->Evaluate("5+", result), 5.0);
    EXPECT_EQ(engine->Evaluate("sin", result), 0.0);
    EXPECT_EQ(result, "syntax error");
}

TEST_F(EngineTest, KeypadSignsArePrepared)
{
    const SExprCase cases[] = {
        {"6\xF7" "4", "1.5"},
        {"6/4", "1.5"},
        {"3\xD7" "4", "12"},
        {"3\xB2", "9"},
        {"2\xB3", "8"},
        {"2-\xB9", "0.5"},
        {"2\xB2\xB2", "16"},
        {"(1+1)-\xB9-\xB9", "2"},
        {"12.5\xD7(3+sin(30))", "43.75"},
    };
    EXPECT_TABLE(cases, Eval);
}

TEST_F(EngineTest, ResultMayBeTheExpressionItself)
{
    std::string text = "1+2";
    EXPECT_EQ(engine->Evaluate(text, text), 3.0);
    EXPECT_EQ(text, "3");
}

TEST_F(EngineTest, ExpressionCapacity)
{
    std::string ones = "1";
    while (ones.size() < 255) ones += "+1";
    ASSERT_EQ(ones.size(), 255u);
    EXPECT_EQ(Eval(ones), "128");
    EXPECT_EQ(Eval(ones + "+1"), "syntax error");

    // The limit holds after the signs are replaced: "\xB2" becomes four characters.
    std::string squares(252, '-');
    EXPECT_EQ(Eval(squares + "3"), "3");
    EXPECT_EQ(Eval(squares.substr(0, 251) + "3\xB2"), "syntax error");

    // 128 one-character literals fill every number slot.
    std::string es = "e";
    while (es.size() < 255) es += "+e";
    std::string result;
    EXPECT_NEAR(engine->Evaluate(es, result), 128 * 2.718281828459045, 1e-9);

    std::string nested = std::string(127, '(') + "1" + std::string(127, ')');
    EXPECT_EQ(Eval(nested), "1");
}

TEST_F(EngineTest, NothingLeaksBetweenEvaluations)
{
    EXPECT_EQ(Eval("200+pct(10)"), "220");
    EXPECT_EQ(Eval("pct(10)"), "0.1");
    EXPECT_EQ(Eval("5+"), "syntax error");
    EXPECT_EQ(Eval(""), "0");
}

TEST_F(EngineTest, BaseSettingRefusesOutOfRange)
{
    const struct {
        int base;
        int accepted;
        int after;
    } cases[] = {{1, 0, 10}, {37, 0, 10}, {0, 0, 10}, {-16, 0, 10}, {2, 1, 2}, {36, 1, 36}, {16, 1, 16}};
    for (const auto& c : cases) {
        engine->SetBase(10);
        EXPECT_EQ(engine->SetBase(c.base), c.accepted) << c.base;
        EXPECT_EQ(engine->GetBase(), c.after) << c.base;
    }
}

TEST_F(EngineTest, AngleModeCycle)
{
    const struct {
        int from;
        int request;
        int after;
    } cases[] = {{0, 1, 1}, {0, 2, 2}, {2, 0, 0}, {0, 3, 1}, {1, 3, 2}, {2, 3, 0}, {1, 7, 1}, {2, -1, 2}};
    for (const auto& c : cases) {
        engine->SetAngleMode(c.from);
        EXPECT_EQ(engine->SetAngleMode(c.request), 1);
        EXPECT_EQ(engine->GetAngleMode(), c.after) << c.from << " " << c.request;
    }
}

TEST_F(EngineTest, ConvertAngleTextGoesToTheNextUnit)
{
    const struct {
        int mode;
        const char* value;
        const char* text;
    } cases[] = {
        {0, "180", "3.14159265358979"},
        {0, "-90", "-1.5707963267949"},
        {1, "1", "63.6619772367581"},
        {1, "3.141592653589793238", "200"},
        {2, "100", "90"},
        {2, "", "0"},
    };
    for (const auto& c : cases) {
        engine->SetAngleMode(c.mode);
        std::string value = c.value;
        std::string result;
        EXPECT_EQ(engine->ConvertAngleText(value, result), 1);
        EXPECT_EQ(result, c.text) << c.mode << " " << c.value;
        EXPECT_EQ(engine->GetAngleMode(), c.mode);
    }
}

TEST_F(EngineTest, ConvertAngleTextEdges)
{
    std::string empty;
    std::string result = "untouched";
    ASSERT_EQ(engine->ConvertAngleText(empty, result), 1);
    EXPECT_EQ(empty, "0");
    EXPECT_EQ(result, "0");

    std::string tooLong(33, '1');
    result = "untouched";
    EXPECT_EQ(engine->ConvertAngleText(tooLong, result), 0);
    EXPECT_EQ(result, "untouched");

    std::string longest(32, '1');
    EXPECT_EQ(engine->ConvertAngleText(longest, result), 1);
    EXPECT_NE(result, "untouched");
}

TEST(EngineInstance, SharedUntilReleased)
{
    CCalcEngine* first = CCalcEngine::GetInstance();
    EXPECT_EQ(CCalcEngine::GetInstance(), first);
    first->SetBase(16);
    CCalcEngine::ReleaseInstance();
    CCalcEngine* fresh = CCalcEngine::GetInstance();
    EXPECT_EQ(fresh->GetBase(), 10);
    EXPECT_EQ(fresh->GetAngleMode(), 0);
    CCalcEngine::ReleaseInstance();
    CCalcEngine::ReleaseInstance();
}

}
