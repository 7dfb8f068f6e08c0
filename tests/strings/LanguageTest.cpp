#include "platform/Registry.h"
#include "strings/Language.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const char kKey[] = "SOFTWARE\\Fernhill\\Tallix";

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetLanguage();
        for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(v);
    }
    void TearDown() override { ResetLanguage(); }
    CMemoryRegistry registry;
};

TEST_F(LanguageTest, LocalizedIdAddsTheLanguageOffset)
{
    struct Case { int id; int language; int expected; } cases[] = {
        {350, 12, 12350}, {350, 9, 350}, {1000, 7, 8000}, {1001, 7, 1001}, {32777, 4, 32777},
        {32777, 22, 32777}, {341, 3, 3341}, {341, 256, 341}, {341, -2, 341}, {341, -1, 341}, {341, 255, 255341},
        {1, 22, 22001},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, LocalizedId(c.id, c.language)) << c.id << " in " << c.language;
}

TEST_F(LanguageTest, LocaleNamesMapToLanguages)
{
    struct Case { const char* name; int id; } cases[] = {
        {"ca_ES.UTF-8", 3}, {"zh_TW.UTF-8", 4}, {"zh_CN", 4}, {"de_DE.UTF-8", 7}, {"de", 7}, {"en_US.UTF-8", 9},
        {"es_MX", 10}, {"fr_CA.UTF-8", 12}, {"it_IT@euro", 16}, {"pt_BR.UTF-8", 22}, {"ja_JP.UTF-8", 9},
        {"C", 9}, {"POSIX", 9}, {"", 9}, {"dex_XX", 9}, {"d", 9},
    };
    for (const Case& c : cases) EXPECT_EQ(c.id, LanguageFromLocaleName(c.name)) << c.name;
    EXPECT_EQ(9, LanguageFromLocaleName(nullptr));
}

TEST_F(LanguageTest, ResolveTakesLocaleThenTheEnvironment)
{
    struct Case { bool hasLocale; int locale; const char* lcAll; const char* lcMessages; const char* lang; int expected; } cases[] = {
        {true, 4, nullptr, nullptr, "de_DE.UTF-8", 4},
        {true, 300, nullptr, nullptr, nullptr, 9},
        {true, 17, nullptr, nullptr, "de_DE.UTF-8", 9},
        {true, 22, nullptr, nullptr, nullptr, 22},
        {false, 0, nullptr, nullptr, "de_DE.UTF-8", 7},
        {false, 0, nullptr, nullptr, "ja_JP.UTF-8", 9},
        {false, 0, "fr_FR.UTF-8", "it_IT", "de_DE", 12},
        {false, 0, "", "it_IT", "de_DE", 16},
        {false, 0, nullptr, nullptr, nullptr, 9},
    };
    for (const Case& c : cases) {
        ResetLanguage();
        CMemoryRegistry fresh;
        if (c.hasLocale) fresh.WriteNumber(kKey, "Locale", c.locale);
        const char* values[] = {c.lcAll, c.lcMessages, c.lang};
        const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        for (int i = 0; i < 3; ++i) values[i] ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
        ResolveLanguage(fresh);
        EXPECT_EQ(c.expected, LanguageId()) << c.expected;
        int32_t stored = -1;
        EXPECT_EQ(c.hasLocale ? 1 : 0, fresh.ReadNumber(kKey, "Locale", stored)) << "resolving never writes";
    }
}

TEST_F(LanguageTest, ResolveRunsOnce)
{
    setenv("LANG", "es_ES.UTF-8", 1);
    ResolveLanguage(registry);
    EXPECT_EQ(10, LanguageId());
    registry.WriteNumber(kKey, "Locale", 7);
    ResolveLanguage(registry);
    EXPECT_EQ(10, LanguageId());
}

TEST_F(LanguageTest, SetLanguageWritesLocaleAtOnce)
{
    SetLanguage(12, registry);
    EXPECT_EQ(12, LanguageId());
    EXPECT_EQ(12350, LocalizedId(350));
    int32_t stored = 0;
    ASSERT_EQ(1, registry.ReadNumber(kKey, "Locale", stored));
    EXPECT_EQ(12, stored);
}

TEST_F(LanguageTest, LanguageListAndHelpSuffixes)
{
    struct Case { int position; int id; const char* suffix; } cases[] = {
        {0, 9, "En"}, {1, 12, "Fr"}, {2, 7, "De"}, {3, 10, "Sp"}, {4, 16, "It"}, {5, 3, "Ct"}, {6, 22, "Pt"}, {7, 4, "En"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.id, LanguageAtListPosition(c.position));
        EXPECT_EQ(c.position, ListPositionOfLanguage(c.id));
        EXPECT_STREQ(c.suffix, HelpSuffix(c.id));
    }
    EXPECT_EQ(9, LanguageAtListPosition(8));
    EXPECT_EQ(9, LanguageAtListPosition(-1));
    EXPECT_EQ(0, ListPositionOfLanguage(17));
    EXPECT_STREQ("En", HelpSuffix(17));
}

TEST_F(LanguageTest, ChoosingTheCurrentLanguageChangesNothing)
{
    EXPECT_EQ(0, ChooseLanguageAt(0, registry));
    int32_t stored = 0;
    EXPECT_EQ(0, registry.ReadNumber(kKey, "Locale", stored));
    EXPECT_EQ(1, ChooseLanguageAt(2, registry));
    EXPECT_EQ(7, LanguageId());
    ASSERT_EQ(1, registry.ReadNumber(kKey, "Locale", stored));
    EXPECT_EQ(7, stored);
    EXPECT_EQ(0, ChooseLanguageAt(2, registry));
    std::string text;
    ASSERT_EQ(1, LoadResString(LocalizedId(313), text));
    EXPECT_NE(std::string::npos, text.find("Tallix"));
    EXPECT_NE(std::string::npos, text.find("neu"));
}

TEST_F(LanguageTest, LoadResStringReadsTheTables)
{
    struct Case { int id; int language; const char* text; } cases[] = {
        {380, 9, "Syntax Error"}, {1, 9, "Fernhill Tallix"}, {363, 9, " People "},
        {305, 9, "You are currently using a proxy.\r\nClick OK to stop using it.\r\nUse this option with care - only click OK if Tallix is NOT receiving data!\r\nYou may need to restart Tallix to get new data."},
        {32777, 9, "Tallix - Fernhill"}, {32777, 4, "Tallix - Fernhill"}, {309, 9, "Fran\xC3\xA7" "ais"},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(1, LoadResString(LocalizedId(c.id, c.language), out)) << c.id;
        EXPECT_EQ(c.text, out) << c.id;
    }
}

TEST_F(LanguageTest, LoadResStringFailsWithoutTouchingTheBuffer)
{
    for (int id : {0, 303, 999, 8000, 300380, 9380}) {
        std::string out = "kept";
        EXPECT_EQ(0, LoadResString(id, out)) << id;
        EXPECT_EQ("kept", out) << id;
    }
}

TEST_F(LanguageTest, LoadResStringCutsOnACharacterBoundary)
{
    struct Case { size_t capacity; const char* text; } cases[] = {
        {0, ""}, {1, ""}, {5, "Fran"}, {6, "Fran"}, {7, "Fran\xC3\xA7"}, {9, "Fran\xC3\xA7" "ai"}, {256, "Fran\xC3\xA7" "ais"},
    };
    for (const Case& c : cases) {
        std::string out = "x";
        EXPECT_EQ(1, LoadResString(309, out, c.capacity)) << c.capacity;
        EXPECT_EQ(c.text, out) << c.capacity;
    }
}

TEST_F(LanguageTest, EnglishTableHoldsEveryListedString)
{
    std::vector<int> ids = {1, 2};
    for (int id = 302; id <= 384; ++id)
        if (id != 303 && id != 304 && id != 325 && id != 326) ids.push_back(id);
    for (int id : {399, 400, 437, 32777}) ids.push_back(id);
    for (int id : ids) {
        std::string out;
        EXPECT_EQ(1, LoadResString(id, out)) << id;
        EXPECT_FALSE(out.empty()) << id;
    }
}

} // namespace
