// The help pages beside the program: every page the help commands name is
// there, in its language, carries every topic they jump to, and links only to
// anchors and pages that exist. The translated pages carry the English page's
// anchors and are really translated, not English text under another name.
#include "strings/Language.h"
#include "strings/StringTable.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>

namespace {

// The topics the window, the group menu and the Options window ask for.
const char* const kTopics[] = {
    "BGDefault", "BGAlgebra", "BGTrig1", "BGTrig2", "TipCalc", "BGMemory", "Unit", "Currency", "BGRpn", "Custom",
    "BGBase", "BGConstants", "BGStats", "Main_Contents", "General", "Groups", "CustomOptions", "CurrencyOptions",
    "Skins", "History",
};

const std::map<std::string, std::string> kLangOfSuffix = {
    {"En", "en"}, {"Fr", "fr"}, {"De", "de"}, {"Sp", "es"}, {"It", "it"}, {"Ct", "ca"}, {"Pt", "pt"},
};

std::string ReadPage(const std::string& name)
{
    const char* folder = std::getenv("TALLIX_RUNTIME_DIR");
    std::ifstream in(std::string(folder ? folder : ".") + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::multiset<std::string> Matches(const std::string& text, const std::regex& pattern)
{
    std::multiset<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) found.insert((*it)[1]);
    return found;
}

void CheckPage(const std::string& name, const std::string& lang)
{
    SCOPED_TRACE(name);
    std::string page = ReadPage(name);
    ASSERT_FALSE(page.empty()) << "missing from the program folder";
    EXPECT_TRUE(IsValidUtf8(page));
    EXPECT_NE(std::string::npos, page.find("<html lang=\"" + lang + "\">"));
    std::multiset<std::string> ids = Matches(page, std::regex(R"re(\sid="([^"]+)")re"));
    for (const char* topic : kTopics) EXPECT_EQ(1u, ids.count(topic)) << "topic " << topic;
    for (const std::string& id : ids) EXPECT_EQ(1u, ids.count(id)) << "id " << id << " twice";
    for (const std::string& target : Matches(page, std::regex(R"re(href="#([^"]*)")re")))
        EXPECT_EQ(1u, ids.count(target)) << "link to #" << target;
    for (const std::string& other : Matches(page, std::regex(R"re(href="([^"#]+\.(htm|css))")re")))
        EXPECT_FALSE(ReadPage(other).empty()) << "link to " << other;
}

// The page's visible text cut into sentences: at block tags and after . ! ? : ;
// Only sentences of at least three words count, so key names, numbers and
// formulas, which stay the same in every language, do not.
std::set<std::string> Sentences(std::string page)
{
    const size_t style = page.find("<style>"), styleEnd = page.find("</style>");
    if (style != std::string::npos && styleEnd != std::string::npos) page.erase(style, styleEnd - style);
    page = std::regex_replace(page, std::regex(R"re(</?(p|li|td|th|h[1-6]|tr|ul|ol|nav|div|table|title)\b[^>]*>)re"), "\n");
    page = std::regex_replace(page, std::regex("<[^>]*>"), "");
    page = std::regex_replace(page, std::regex("&nbsp;"), " ");
    page = std::regex_replace(page, std::regex("&amp;"), "&");
    std::set<std::string> sentences;
    std::string sentence;
    int words = 0, letters = 0;
    auto finish = [&] {
        if (words + (letters >= 2) >= 3) sentences.insert(sentence);
        sentence.clear();
        words = letters = 0;
    };
    for (size_t i = 0; i < page.size(); ++i) {
        const unsigned char c = page[i];
        if (c == '\n') { finish(); continue; }
        if (std::isspace(c)) {
            if (!sentence.empty() && sentence.back() != ' ') sentence += ' ';
        } else {
            sentence += char(c);
        }
        if (std::isalpha(c) || c >= 0x80) {
            ++letters;
        } else {
            words += letters >= 2;
            letters = 0;
        }
        const bool ends = c == '.' || c == '!' || c == '?' || c == ':' || c == ';';
        if (ends && (i + 1 == page.size() || std::isspace((unsigned char)page[i + 1]))) finish();
    }
    finish();
    return sentences;
}

std::multiset<std::string> Ids(const std::string& page)
{
    return Matches(page, std::regex(R"re(\sid="([^"]+)")re"));
}

TEST(HelpPages, TheProgramsPageCarriesEveryTopic)
{
    CheckPage("Tallix.htm", "en");
}

TEST(HelpPages, EveryLanguagesPageCarriesEveryTopic)
{
    for (int language : {9, 12, 7, 10, 16, 3, 22, 4}) {
        std::string suffix = HelpSuffix(language);
        ASSERT_TRUE(kLangOfSuffix.count(suffix)) << suffix;
        CheckPage("Tallix" + suffix + ".htm", kLangOfSuffix.at(suffix));
    }
}

TEST(HelpPages, EveryTranslationHasTheEnglishSectionsInItsOwnWords)
{
    const std::string english = ReadPage("Tallix.htm");
    const std::set<std::string> englishSentences = Sentences(english);
    ASSERT_GT(englishSentences.size(), 300u);
    const std::multiset<std::string> englishIds = Ids(english);
    const std::string pages[] = {
        "Tallix.htm", "TallixFr.htm", "TallixDe.htm", "TallixSp.htm", "TallixIt.htm", "TallixCt.htm", "TallixPt.htm",
    };
    for (const std::string& name : pages) {
        SCOPED_TRACE(name);
        const std::string page = ReadPage(name);
        for (const std::string& other : pages) {
            if (other == name) continue;
            EXPECT_NE(std::string::npos, page.find("href=\"" + other + "\"")) << "no link to " << other;
        }
        if (name == "Tallix.htm") continue;
        EXPECT_EQ(englishIds, Ids(page));
        const std::set<std::string> sentences = Sentences(page);
        size_t same = 0;
        for (const std::string& sentence : englishSentences) same += sentences.count(sentence);
        EXPECT_LE(same * 10, englishSentences.size()) << same << " of " << englishSentences.size() << " sentences in English";
    }
}

} // namespace
