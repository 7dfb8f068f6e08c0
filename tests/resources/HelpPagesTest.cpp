// The help pages beside the program: every page the help commands name is
// there, in its language, and carries every topic they jump to.
#include "strings/Language.h"
#include "strings/StringTable.h"

#include <gtest/gtest.h>

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
    "Skins",
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

} // namespace
