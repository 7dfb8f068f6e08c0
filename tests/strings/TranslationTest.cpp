// Every language carries every string, properly translated.
#include "strings/Language.h"
#include "strings/StringIds.h"
#include "strings/StringTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

const int kTranslations[] = {12, 7, 10, 16, 3, 22, 4};

// Where the English text is the right one. In every language: the product
// name, the language names (each written in its own language) and the mode
// abbreviations printed on the keys.
bool EnglishIsRight(int language, int id)
{
    static const std::set<int> everywhere = {StringId::AppName, 308, 309, 310, 311, 312, StringId::ClothingCaption,
                                             StringId::ModeDAL, StringId::ModeRPN};
    // Key names (600-799) that the language writes as English does: plus, minus,
    // permutations, modulo, cube, pi, tangent, exponent, factorial, the bases.
    static const std::map<int, std::set<int>> perLanguage = {
        {12, {341, 368, 375, 501, 502, 515, 534, 550,    // Options..., Volume, Force, Version, OK, Europe, Normal, Notation
              942,                                       // Expression
              620, 628, 637, 663, 700, 746, 749, 887}},  // ..., radians
        {7, {330, 355, 364, 501, 502, 516, 534, 551,     // Algebra, Symbol, Person, Version, OK, Japan, Normal
             620, 621}},
        {10, {344, 534, 551, 668, 700, 746, 747, 748, 749}},  // General, Normal
        {16, {327, 330, 368, 502, 637, 749}},                 // Default, Algebra, Volume, OK
        {3, {335, 344, 534, 551, 556,                         // Constants, General, Normal, Algebraic
             625, 642, 645, 668, 700, 746, 747, 748, 749}},
        {22, {368, 502, 534, 551, 700, 746, 747, 748, 749}},  // Volume, OK, Normal
        {4, {}},
    };
    // The digit and letter keys 0-9 and A-F are named by their own character.
    if (id >= StringId::CmdNameDigitFirst && id < StringId::CmdNameDigitFirst + 16) return true;
    if (everywhere.count(id)) return true;
    auto it = perLanguage.find(language);
    return it != perLanguage.end() && it->second.count(id);
}

std::string Conversions(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%') out += text[++i];
    return out;
}

size_t CountOf(const std::string& text, char c)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), c));
}

TEST(TranslationTest, EveryLanguageHoldsEveryStringTranslated)
{
    const std::map<int, std::string>* english = BuiltInStringTable(9);
    ASSERT_NE(nullptr, english);
    for (int language : kTranslations) {
        SCOPED_TRACE("language " + std::to_string(language));
        const std::map<int, std::string>* table = BuiltInStringTable(language);
        ASSERT_NE(nullptr, table);
        for (const auto& [id, text] : *english) {
            if (id > 1000) continue;
            auto it = table->find(id);
            ASSERT_NE(table->end(), it) << "missing " << id;
            const std::string& translated = it->second;
            EXPECT_FALSE(translated.empty()) << id;
            EXPECT_EQ(EnglishIsRight(language, id), translated == text) << id << " \"" << translated << "\"";
            EXPECT_EQ(Conversions(text), Conversions(translated)) << "printf conversions of " << id;
            EXPECT_EQ(CountOf(text, '\n'), CountOf(translated, '\n')) << "line breaks of " << id;
            EXPECT_EQ(text.front() == ' ', translated.front() == ' ') << "leading blank of " << id;
            EXPECT_EQ(text.back() == ' ', translated.back() == ' ') << "trailing blank of " << id;
            std::string loaded;
            ASSERT_EQ(1, LoadResString(LocalizedId(id, language), loaded, 4096)) << id;
            EXPECT_EQ(translated, loaded) << id;
        }
        for (const auto& [id, text] : *table) EXPECT_TRUE(english->count(id)) << "extra " << id;
    }
}

TEST(TranslationTest, TellingRowsAreExact)
{
    struct Row { int id; int language; const char* text; } rows[] = {
        {327, 3, "Predefinit"}, {327, 4, "\xE9\xA0\x90\xE8\xA8\xAD"}, {327, 7, "Standardeinstellung"}, {327, 10, "Defecto"},
        {327, 12, "D\xC3\xA9" "faut"}, {327, 16, "Default"}, {327, 22, "Defeito"},
        {341, 3, "Opcions..."}, {341, 4, "\xE9\x81\xB8\xE9\xA0\x85..."}, {341, 7, "Einstellungen..."},
        {341, 10, "Opciones..."}, {341, 12, "Options..."}, {341, 16, "Opzioni..."}, {341, 22, "Op\xC3\xA7\xC3\xB5" "es..."},
        {343, 3, "Sortir"}, {343, 4, "\xE9\x9B\xA2\xE9\x96\x8B"}, {343, 7, "Beenden"}, {343, 10, "Salir"},
        {343, 12, "Arr\xC3\xAAt"}, {343, 16, "Uscita"}, {343, 22, "Sa\xC3\xADr"},
    };
    for (const Row& row : rows) {
        std::string text;
        ASSERT_EQ(1, LoadResString(LocalizedId(row.id, row.language), text)) << row.id << " in " << row.language;
        EXPECT_EQ(row.text, text) << row.id << " in " << row.language;
    }
    EXPECT_EQ(12350, LocalizedId(350, 12));
}

// The proxy text tells where Tallix takes the proxy from: the variable names
// are what the user types, so no translation may change them.
TEST(TranslationTest, ProxyTextNamesTheEnvironmentVariables)
{
    std::vector<int> languages(std::begin(kTranslations), std::end(kTranslations));
    languages.push_back(9);
    for (int language : languages) {
        std::string text;
        ASSERT_EQ(1, LoadResString(LocalizedId(StringId::ProxyNotInUse, language), text, 4096)) << language;
        EXPECT_NE(std::string::npos, text.find("http_proxy")) << language;
        EXPECT_NE(std::string::npos, text.find("HTTP_PROXY")) << language;
    }
}

// The display shows the error words through 40-character buffers: they must
// arrive whole and as valid UTF-8 in every language.
TEST(TranslationTest, ErrorWordsLoadWholeAsUtf8)
{
    std::vector<int> languages(std::begin(kTranslations), std::end(kTranslations));
    languages.push_back(9);
    for (int language : languages) {
        for (int id : {StringId::ErrorSyntax, StringId::ErrorImaginary, StringId::ErrorInfinity}) {
            std::string whole, display;
            ASSERT_EQ(1, LoadResString(LocalizedId(id, language), whole, 4096)) << id << " in " << language;
            ASSERT_EQ(1, LoadResString(LocalizedId(id, language), display, 40));
            EXPECT_EQ(whole, display) << id << " in " << language;
            EXPECT_TRUE(IsValidUtf8(display)) << id << " in " << language;
        }
    }
}

TEST(TranslationTest, CutsKeepEveryLanguageValidUtf8)
{
    for (int language : kTranslations) {
        const std::map<int, std::string>* table = BuiltInStringTable(language);
        ASSERT_NE(nullptr, table);
        for (const auto& [id, text] : *table) {
            for (size_t capacity : {2, 3, 4, 5, 7, 40}) {
                std::string cut;
                ASSERT_EQ(1, LoadResString(LocalizedId(id, language), cut, capacity));
                EXPECT_TRUE(IsValidUtf8(cut)) << id << " in " << language << " cut at " << capacity;
                EXPECT_LT(cut.size(), capacity);
                EXPECT_EQ(0u, text.compare(0, cut.size(), cut));
            }
        }
    }
}

} // namespace

namespace {
std::string Loaded(int id, int language)
{
    std::string text;
    LoadResString(LocalizedId(id, language), text, 4096);
    return text;
}
}  // namespace

// There is no maker's support to turn to: the refused-press message names the
// places that make the button usable, as the menu and Options call them.
TEST(TranslationTest, InvalidPressTextSaysWhatToDo)
{
    std::vector<int> languages(std::begin(kTranslations), std::end(kTranslations));
    languages.push_back(9);
    for (int language : languages) {
        const std::string text = Loaded(377, language);
        EXPECT_EQ(std::string::npos, text.find("Fernhill")) << language;
        for (int named : {341, 555, 334})
            EXPECT_NE(std::string::npos, text.find(Loaded(named, language))) << language << " lacks " << named;
    }
}

// The three custom groups read alike in the menu, differing only in the number.
TEST(TranslationTest, CustomGroupNamesDifferOnlyInTheirNumber)
{
    std::vector<int> languages(std::begin(kTranslations), std::end(kTranslations));
    languages.push_back(9);
    for (int language : languages) {
        std::string first = Loaded(338, language);
        ASSERT_FALSE(first.empty());
        first.back() = '2';
        EXPECT_EQ(first, Loaded(339, language)) << language;
        first.back() = '3';
        EXPECT_EQ(first, Loaded(340, language)) << language;
    }
}
