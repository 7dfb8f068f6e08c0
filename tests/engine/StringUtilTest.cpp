// The shared text helper, above all the restart rule of its replace-all.
#include "engine/StringUtil.h"

#include <gtest/gtest.h>

namespace {

TEST(StringUtil, ReplaceAllRestartsAtTheBeginning)
{
    const struct {
        const char* text;
        const char* find;
        const char* with;
        const char* after;
        int count;
    } cases[] = {
        {"aab", "ab", "b", "b", 2},            // each replacement completes the next
        {"xaaaa", "aa", "a", "xa", 3},
        {"a-\xB9-\xB9", "-\xB9", "^(-1)", "a^(-1)^(-1)", 2},
        {"2\xB2+3\xB2", "\xB2", "^(2)", "2^(2)+3^(2)", 2},
        {"none", "x", "y", "none", 0},
        {"", "x", "y", "", 0},
        {"abc", "", "y", "abc", 0},
        {"abab", "ab", "", "", 2},
        {"ab", "a", "aa", "aab", 1},           // would never end: one pass instead
        {"aXbXc", "X", "XX", "aXXbXXc", 2},
    };
    const CStringUtil* util = CStringUtil::GetInstance();
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(util->ReplaceAll(text, c.find, c.with), c.count) << c.text;
        EXPECT_EQ(text, c.after) << c.text;
    }
}

TEST(StringUtil, PiecesClampToTheText)
{
    const CStringUtil* util = CStringUtil::GetInstance();
    const struct {
        int op;   // 0 Left, 1 Right, 2 Middle
        int a;
        int b;
        const char* expected;
    } cases[] = {
        {0, 2, 0, "ab"}, {0, 9, 0, "abcdef"}, {0, -1, 0, ""},
        {1, 2, 0, "ef"}, {1, 9, 0, "abcdef"}, {1, 0, 0, ""},
        {2, 1, 3, "bcd"}, {2, 4, 9, "ef"}, {2, 9, 2, ""}, {2, -2, 2, "ab"},
    };
    for (const auto& c : cases) {
        std::string out = "junk";
        const std::string text = "abcdef";
        if (c.op == 0) util->Left(out, text, c.a);
        else if (c.op == 1) util->Right(out, text, c.a);
        else util->Middle(out, text, c.a, c.b);
        EXPECT_EQ(out, c.expected) << c.op << " " << c.a << " " << c.b;
    }
    std::string same = "abcdef";
    util->Middle(same, same, 2, 2);
    EXPECT_EQ(same, "cd");
}

TEST(StringUtil, EditingAndSearching)
{
    const CStringUtil* util = CStringUtil::GetInstance();
    std::string text = "abc";
    EXPECT_EQ(util->Insert(text, 3, "de"), 1);
    EXPECT_EQ(util->Insert(text, 0, ">"), 1);
    EXPECT_EQ(util->Insert(text, 9, "!"), 0);
    EXPECT_EQ(text, ">abcde");
    EXPECT_EQ(util->Delete(text, 1, 2), 1);
    EXPECT_EQ(util->Delete(text, 2, 99), 1);
    EXPECT_EQ(util->Delete(text, 5, 1), 0);
    EXPECT_EQ(text, ">c");
    EXPECT_EQ(util->Append(text, "cc"), 1);
    EXPECT_EQ(util->Length(text), 4);
    EXPECT_EQ(util->Find(text, "c"), 1);
    EXPECT_EQ(util->Find(text, "c", 2), 2);
    EXPECT_EQ(util->Find(text, "c", 9), -1);
    EXPECT_EQ(util->Find(text, "x"), -1);
    EXPECT_EQ(util->Copy(text, "new"), 1);
    EXPECT_EQ(text, "new");
    EXPECT_EQ(util->Clear(text), 1);
    EXPECT_EQ(util->Length(text), 0);
    EXPECT_LT(util->Compare("abc", "abd"), 0);
    EXPECT_GT(util->Compare("abc", "ab"), 0);
    EXPECT_EQ(util->Compare("abc", "abc"), 0);
    EXPECT_GT(util->Compare("\xD7", "a"), 0);   // bytes compare unsigned
}

}
