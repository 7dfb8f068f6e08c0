#include "strings/StringTable.h"

#include <gtest/gtest.h>

namespace {

TEST(StringTableTest, ParsesEntriesAndEscapes)
{
    std::map<int, std::string> table;
    std::string error;
    ASSERT_EQ(1, ParseStringTable("# comment\n\n1 \"plain\"\r\n2 \"a\\r\\nb\\t\\\"q\\\" \\\\\"\n3 \"\"\n4 \"  spaced  \"\n", table, &error)) << error;
    EXPECT_EQ("plain", table[1]);
    EXPECT_EQ("a\r\nb\t\"q\" \\", table[2]);
    EXPECT_EQ("", table[3]);
    EXPECT_EQ("  spaced  ", table[4]);
}

TEST(StringTableTest, RejectsMalformedLines)
{
    const char* bad[] = {
        "1 plain\n", "1 \"open\n", "x \"text\"\n", "0 \"zero\"\n", "1\"nospace\"\n", " 1 \"lead\"\n",
        "1 \"a\"\n1 \"b\"\n", "1 \"bad \\q escape\"\n", "1 \"ends \\\"\n", "1 \"in\"ner\"\n",
        "1 \"\xC3\"\n", "1 \"\xFF\"\n", "1 \"\xED\xA0\x80\"\n", "70000 \"big\"\n",
    };
    for (const char* text : bad) {
        std::map<int, std::string> table;
        std::string error;
        EXPECT_EQ(0, ParseStringTable(text, table, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(StringTableTest, Utf8Validation)
{
    struct Case { const char* text; bool valid; } cases[] = {
        {"abc", true}, {"Fran\xC3\xA7" "ais", true}, {"\xE9\xA0\x90\xE8\xA8\xAD", true}, {"\xF0\x9F\x98\x80", true},
        {"\xC3", false}, {"\xC0\x80", false}, {"\xE0\x80\x80", false}, {"\xF4\x90\x80\x80", false},
        {"\x80", false}, {"\xE9\xA0", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.valid, IsValidUtf8(c.text)) << c.text;
}

TEST(StringTableTest, EveryBuiltInTableParses)
{
    size_t count = 0;
    const EmbeddedStringTable* tables = EmbeddedStringTables(count);
    ASSERT_GE(count, 1u);
    for (size_t i = 0; i < count; ++i) {
        std::map<int, std::string> table;
        std::string error;
        EXPECT_EQ(1, ParseStringTable(std::string_view(tables[i].text, tables[i].size), table, &error))
            << "language " << tables[i].languageId << ": " << error;
        EXPECT_NE(nullptr, BuiltInStringTable(tables[i].languageId));
    }
}

} // namespace
