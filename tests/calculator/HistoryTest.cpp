// The calculation history: what each mode records, how an entry reads, the
// file it is kept in, and what a recalled entry puts back.
#include "tests/calculator/KeyDriver.h"

#include "calculator/CalcHistory.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Entries(const CCalcController& calc)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < calc.History().Count(); ++i)
        out.push_back(calc.HistoryExpressionText(calc.History().At(i), 0) + " = " +
                      calc.HistoryResultText(calc.History().At(i), 0));
    return out;
}

class History : public ::testing::Test {
protected:
    void SetUp() override { ResetSharedState(); }
    void TearDown() override { ResetSharedState(); }
};

TEST_F(History, EachModeRecordsWhatItCompleted)
{
    struct Case {
        int mode;
        const char* keys;
        std::vector<std::string> entries;
    } cases[] = {
        {kModeAlgebraic, "2 + 3 = 4 * 5 =", {"2 + 3 = 5", "4 \xC3\x97 5 = 20"}},
        {kModeAlgebraic, "30 sin", {"sin(30) = 0.5"}},
        {kModeAlgebraic, "5 = =", {}},                          // a bare number calculates nothing
        {kModeChain, "2 + 3 + 4 =", {"5 + 4 = 9"}},             // running results are not calculations
        {kModeRpn, "2 ENTER 3 + 4 *", {"2 + 3 = 5", "5 \xC3\x97 4 = 20"}},
        {kModeExpression, "- 5 + 3 =", {"-5 + 3 = -2"}},
        {kModeExpression, "2 * - 3 =", {"2 \xC3\x97 -3 = -6"}},
    };
    for (const Case& c : cases) {
        ResetSharedState();
        CCalcController calc;
        calc.SetCalcMode(c.mode);
        PressKeys(calc, c.keys);
        EXPECT_EQ(Entries(calc), c.entries) << c.keys;
    }
}

TEST_F(History, ReadableForm)
{
    struct Case {
        const char* engine;
        int base;
        const char* point;
        const char* readable;
    } cases[] = {
        {"12\xD7sin(30)+1", 10, ".", "12 \xC3\x97 sin(30) + 1"},
        {"-5+(-3)", 10, ".", "-5 + (-3)"},
        {"(3.141592653589793238)\xF7" "2", 10, ".", "\xCF\x80 \xC3\xB7 2"},
        {"1.5-2.25", 10, ",", "1,5 - 2,25"},
        {"4-\xB9+3\xB2", 10, ".", "4-\xC2\xB9 + 3\xC2\xB2"},
        {"FF+A-C", 16, ".", "FF + A - C"},
        {"1.5e-007\xD7" "2", 10, ".", "1.5e-007 \xC3\x97 2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadableExpression(c.engine, c.base, c.point), c.readable) << c.engine;
}

TEST_F(History, RecallPutsBackTheResultOrTheLine)
{
    CCalcController calc;
    calc.SetCalcMode(kModeAlgebraic);
    PressKeys(calc, "2 + 3 = 7 +");
    ASSERT_EQ(calc.RecallHistory(0), 1);
    EXPECT_EQ(calc.ActiveMode().GetDisplayText(), "5");
    calc.SetCalcMode(kModeExpression);
    ASSERT_EQ(calc.RecallHistory(0), 1);
    EXPECT_EQ(calc.GetSignText(), "2+3");
    EXPECT_EQ(calc.RecallHistory(1), 0);
}

class HistoryFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tallix-history-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        path = folder + "/state/history";
    }
    void TearDown() override { std::system(("rm -rf " + folder).c_str()); }
    std::string Read() const
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string folder, path;
};

TEST_F(HistoryFile, EntriesSurviveAndWindowsMerge)
{
    CCalcHistory first(path), second(path);
    ASSERT_EQ(first.Add({1, 10, "2+3", "5"}), 1);
    ASSERT_EQ(second.Add({4, 16, "A\xD7" "2", "14"}), 1);   // a second window of the same user
    ASSERT_EQ(first.Add({0, 10, "4\xD7" "5", "20"}), 1);
    CCalcHistory next(path);
    ASSERT_EQ(next.Load(), 1);
    ASSERT_EQ(next.Count(), 3u);
    EXPECT_EQ(next.At(1), (SHistoryEntry{4, 16, "A\xD7" "2", "14"}));
    EXPECT_EQ(next.At(2).expression, "4\xD7" "5");
    ASSERT_EQ(next.Clear(), 1);
    EXPECT_EQ(Read(), "");
}

TEST_F(HistoryFile, DamagedLinesCostOnlyThemselves)
{
    CCalcHistory writer(path);
    ASSERT_EQ(writer.Add({1, 10, "1+1", "2"}), 1);
    std::ofstream(path, std::ios::app) << "7\t10\t1+2\t3\n"    // no such mode
                                       << "1\t10\t1+3\n"        // a field short
                                       << "1\t1\t1+4\t5\n"      // no such base
                                       << "\xFF\xFE\n"
                                       << "1\t10\t2+2\t4\n"
                                       << "1\t10\t3+3";         // cut short
    CCalcHistory reader(path);
    ASSERT_EQ(reader.Load(), 1);
    ASSERT_EQ(reader.Count(), 2u);
    EXPECT_EQ(reader.At(1).expression, "2+2");
}

TEST_F(HistoryFile, KeepsTheNewestFiveHundred)
{
    CCalcHistory history(path);
    for (int i = 0; i < 505; ++i) history.Add({1, 10, std::to_string(i) + "+1", std::to_string(i + 1)});
    CCalcHistory reader(path);
    reader.Load();
    ASSERT_EQ(reader.Count(), CCalcHistory::kLimit);
    EXPECT_EQ(reader.At(0).expression, "5+1");
    EXPECT_EQ(reader.At(499).expression, "504+1");
}

}  // namespace
