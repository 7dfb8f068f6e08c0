// Grouping of the operators and the computation behind every operator and
// function, in each angle mode where it matters.
#include "tests/engine/EngineTestSupport.h"

#include <cmath>
#include <set>

namespace {

struct SModeCase {
    const char* expr;
    int mode;   // 0 DEG, 1 RAD, 2 GRAD
    const char* text;
};

class EngineOperatorTest : public EngineTest {
protected:
    void ExpectModeTable(const SModeCase* begin, const SModeCase* end)
    {
        for (const SModeCase* c = begin; c != end; ++c) {
            engine->SetAngleMode(c->mode);
            EXPECT_EQ(Eval(c->expr), c->text) << c->expr << " in mode " << c->mode;
        }
    }
    double Value(const char* expr)
    {
        std::string result;
        return engine->Evaluate(expr, result);
    }
};

TEST_F(EngineOperatorTest, PrecedenceAndGrouping)
{
    const SExprCase cases[] = {
        {"2^3^2", "64"},       {"-2^2", "4"},          {"2^-2", "0.25"},
        {"--5", "5"},          {"---5", "-5"},         {"10%4*2", "4"},
        {"2E3", "2000"},       {"2e3", "2000"},        {".5+5.", "5.5"},
        {"1&3|4", "1"},        {"8-4+2", "6"},         {"8/4*2", "4"},
        {"2^3E1", "1073741824"}, {"3E2^2", "90000"},   {"1+2&3", "3"},
        {"5%3^2", "4"},        {"2^3%2", "2"},         {"sin(30)^2", "0.25"},
        {"-(2+3)*2", "-10"},   {"2*-3", "-6"},         {"((((((((((1+2))))))))))*3", "9"},
        {"1A5", "1"},          {"A", "0"},             {"1e5A", "100000"},
        {"pi", "3.14159265358979"}, {"e", "2.71828182845905"}, {"-e", "-2.71828182845905"},
    };
    EXPECT_TABLE(cases, Eval);
}

TEST_F(EngineOperatorTest, TrigonometryAndSnapping)
{
    const SModeCase cases[] = {
        {"sin(180)", 0, "0"},          {"cos(90)", 0, "0"},
        {"sin(200)", 2, "0"},          {"tan(45)", 0, "1"},
        {"sin(30)", 0, "0.5"},         {"cos(100)", 2, "0"},
        {"sin(pi)", 1, "0"},           {"tan(50)", 2, "1"},
        {"acos(0)", 0, "90"},          {"asin(1)", 1, "1.5707963267949"},
        {"atan(1)", 2, "50"},          {"acos(1)", 0, "0"},
        {"sin(0.000000000009)", 1, "0"},
        {"sin(0.00000000001)", 1, "1.e-011"},
        {"sin(-0.00000000005)", 1, "0"},
        {"sin(-0.0000000002)", 1, "-0.0000000002"},
        {"asin(2)", 0, "imaginary"},   {"asin(2)", 1, "imaginary"},
        {"1X90", 0, "6.12323399573677e-017"},
        {"1Y90", 0, "1"},              {"2X0", 2, "2"},
        {"2<2", 0, "45"},              {"1<-1", 0, "315"},
        {"-1<-1", 0, "225"},           {"0<1", 1, "1.5707963267949"},
        {"1<1", 2, "50"},
        {"3R4", 0, "5"},               {"3R4", 1, "5"},
        // Odd multiples of a right angle are poles of the tangent.
        {"tan(90)", 0, "infinity"},    {"tan(-270)", 0, "infinity"},
        {"tan(100)", 2, "infinity"},   {"tan(300)", 2, "infinity"},
        {"tan(180)", 0, "0"},          {"tan(-45)", 0, "-1"},
    };
    ExpectModeTable(std::begin(cases), std::end(cases));
}

TEST_F(EngineOperatorTest, ArithmeticOperators)
{
    const SExprCase cases[] = {
        {"0.3-0.1", "0.2"},   {"5C0", "1"},      {"5C2", "10"},     {"5P2", "20"},
        {"0P0", "1"},         {"5.9C2.9", "10"}, {"8r3", "2"},      {"12&10", "8"},
        {"12|10", "14"},      {"12x10", "6"},    {"0n0", "1"},      {"1n0", "0"},
        {"7%3", "1"},         {"-7%3", "-1"},    {"7%-3", "1"},     {"2E-3", "0.002"},
        {"-8r3", "imaginary"}, {"1000000C2", "imaginary"}, {"1e300P1", "imaginary"},
        {"1e300-1", "1.e+300"}, {"-1e300-1e300", "-2.e+300"}, {"1e308-1e308", "0"},
        {"1.1-1", "0.1"},     {"3-5", "-2"},     {"-12&7", "4"},
        {"1e-20-1e-21", "9.e-021"},
        // More chosen than there are: none.
        {"5C9", "0"},         {"5P9", "0"},      {"0C1", "0"},      {"5C5", "1"},
        {"-3C2", "-1.5"},
    };
    EXPECT_TABLE(cases, Eval);
}

TEST_F(EngineOperatorTest, SubtractionIsRoundedToTheOperandsPlaces)
{
    // The values themselves, not only their texts: plain subtraction leaves a
    // binary remainder that fifteen digits would hide.
    const struct {
        const char* expr;
        double value;
    } cases[] = {
        {"0.3-0.1", 0.2},
        {"1.1-1", 0.1},
        {"0.7-0.4", 0.3},
        {"10.01-10", 0.01},
        {"-0.3-0.1", -0.4},
        {"1e300-1", 1e300},
        // Tiny differences keep their digits rather than rounding to 0.
        {"1e-20-1e-21", 1e-20 - 1e-21},
        {"0.000000000000001-0.0000000000000001", 1e-15 - 1e-16},
        {"2.5e-16-2.5e-16", 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(Value(c.expr), c.value) << c.expr;
    EXPECT_EQ(Value("0.3+-0.1"), 0.3 + -0.1) << "addition is not rounded";
}

TEST_F(EngineOperatorTest, Functions)
{
    const SExprCase cases[] = {
        {"!(5)", "120"},        {"!(0)", "1"},          {"!(-3)", "-6"},
        {"!(171)", "infinity"}, {"!(170)", "7.257415615308e+306"},
        {"sum(4)", "10"},       {"sum(-3)", "-6"},      {"sum(4.9)", "10"},
        {"sum(0)", "0"},        {"sum(100000000)", "5.00000005e+015"},
        {"crt(-8)", "-2"},      {"crt(27)", "3"},       {"abs(-3)", "3"},
        {"abs(3)", "3"},        {"exp(1)", "2.71828182845905"},
        {"ex(1)", "2.71828182845905"}, {"log2(8)", "3"}, {"log(1000)", "3"},
        {"ln(e)", "1"},         {"sqrt(16)", "4"},      {"tenx(2)", "100"},
        {"cbd(2)", "8"},        {"sqrd(3)", "9"},       {"inv(4)", "0.25"},
        {"pm(5)", "-5"},        {"cosh(0)", "1"},       {"sinh(0)", "0"},
        {"tanh(0)", "0"},       {"acsh(0.5)", "0"},     {"acsh(2)", "1.31695789692482"},
        {"atnh(1)", "0"},       {"atnh(-1)", "0"},      {"atnh(0.5)", "0.549306144334055"},
        {"atanh(1)", "infinity"}, {"atanh(0.5)", "0.549306144334055"},
        {"atanh(2)", "imaginary"}, {"asnh(1)", "0.881373587019543"},
        {"asnh(-1)", "-0.881373587019543"}, {"dc(30.3)", "30.5"},
        {"dms(30.5)", "30.3"},  {"dms(10.25)", "10.15"}, {"dc(10.15)", "10.25"},
        {"200+pct(10)", "220"}, {"pct(10)", "0.1"},     {"50*pct(20)", "500"},
        {"inv(0)", "infinity"}, {"ln(0)", "infinity"},  {"log2(-1)", "imaginary"},
    };
    EXPECT_TABLE(cases, Eval);
}

TEST_F(EngineOperatorTest, FactorialOfFractionsFollowsGamma)
{
    const struct {
        const char* expr;
        double gamma;
    } cases[] = {
        {"!(0.5)", std::tgamma(1.5)},
        {"!(3.5)", std::tgamma(4.5)},
        {"!(10.25)", std::tgamma(11.25)},
        {"!(-0.5)", -std::tgamma(1.5)},
        {"!(170.5)", std::tgamma(171.5)},
    };
    // Exact to the last place shown, not just to the first few digits.
    for (const auto& c : cases) EXPECT_NEAR(Value(c.expr) / c.gamma, 1.0, 1e-14) << c.expr;
    const SExprCase shown[] = {
        {"!(0.5)", "0.886226925452758"}, {"!(3.5)", "11.6317283965674"},
        {"!(-2.5)", "-3.32335097044784"}, {"!(171.5)", "infinity"},
    };
    EXPECT_TABLE(shown, Eval);
}

TEST_F(EngineOperatorTest, RandomStaysInTheUnitInterval)
{
    std::set<double> seen;
    for (int i = 0; i < 200; ++i) {
        const double v = Value("rand(7)");
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
        seen.insert(v);
    }
    EXPECT_GT(seen.size(), 10u);
}

// Each engine is seeded afresh; engines made within the same second must
// still draw different numbers.
TEST_F(EngineOperatorTest, EachEngineDrawsItsOwnSequence)
{
    std::set<std::string> sequences;
    for (int run = 0; run < 8; ++run) {
        CCalcEngine::ReleaseInstance();
        engine = CCalcEngine::GetInstance();
        std::string draws;
        for (int i = 0; i < 4; ++i) draws += Eval("rand(0)") + " ";
        sequences.insert(draws);
    }
    EXPECT_EQ(sequences.size(), 8u);
}

}
