#include "calculator/CommandNames.h"
#include "calculator/CommandTable.h"
#include "platform/Registry.h"
#include "strings/Language.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <vector>

namespace {

const int kLanguages[] = {9, 12, 7, 10, 16, 3, 22, 4};

class CommandNames : public ::testing::Test {
protected:
    void TearDown() override { ResetLanguage(); }
    void Speak(int language) { SetLanguage(language, registry_); }

    // Every id of a row, or a spread of ids where the row takes any id.
    static std::vector<int> IdsOf(const CommandRow& row)
    {
        if (row.firstId == INT_MIN) return {INT_MIN, -1, 0, 1, 2, 3, 4, 5, 6, 98, INT_MAX};
        std::vector<int> ids;
        for (int id = row.firstId; id <= row.lastId; ++id) ids.push_back(id);
        return ids;
    }

private:
    CMemoryRegistry registry_;
};

TEST_F(CommandNames, EveryKnownPairIsNamedInEveryLanguage)
{
    for (int language : kLanguages) {
        Speak(language);
        std::string unknown = CommandName(12, 0);
        EXPECT_FALSE(unknown.empty()) << language;
        for (const CommandRow* row = kCommandRows; row->name; ++row) {
            for (int id : IdsOf(*row)) {
                int stringId = CommandNameStringId(row->type, id);
                EXPECT_GT(stringId, 0) << row->type << "," << id;
                EXPECT_LT(stringId, 1000) << row->type << "," << id;
                std::string name = CommandName(row->type, id);
                EXPECT_FALSE(name.empty()) << row->type << "," << id << " in " << language;
                EXPECT_EQ(std::string::npos, name.find('%')) << name << " in " << language;
                EXPECT_NE(unknown, name) << row->type << "," << id << " in " << language;
            }
        }
    }
}

TEST_F(CommandNames, OnlyKnownPairsHaveAName)
{
    for (int type = -1; type <= kCommandTypeCount; ++type)
        for (int id = -3; id <= 120; ++id)
            EXPECT_EQ(IsKnownCommand(type, id) == 1, CommandNameStringId(type, id) != 0) << type << "," << id;
}

// Two keys that do different things must not sound the same in any language.
TEST_F(CommandNames, DifferentStringsSayDifferentThings)
{
    for (int language : kLanguages) {
        Speak(language);
        std::map<std::string, int> seen;
        for (const CommandRow* row = kCommandRows; row->name; ++row) {
            for (int id : IdsOf(*row)) {
                int stringId = CommandNameStringId(row->type, id);
                auto [it, added] = seen.emplace(CommandName(row->type, id), stringId);
                if (!added) {
                    EXPECT_EQ(it->second, stringId) << "\"" << it->first << "\" in " << language;
                }
            }
        }
    }
}

TEST_F(CommandNames, SpokenNames)
{
    struct Row { int language; int type; int id; const char* name; } rows[] = {
        {9, 0, 7, "7"}, {9, 0, 10, "A"}, {9, 0, 16, "decimal point"}, {9, 1, 0, "plus"}, {9, 1, 3, "divided by"},
        {9, 2, 1, "sine"}, {9, 2, 24, "square root"}, {9, 2, 31, "random number"}, {9, 3, 1, "close parenthesis"},
        {9, 4, 0, "memory store 1"}, {9, 4, 15, "memory recall 8"}, {9, 4, 25, "memory 1"}, {9, 4, 24, "memory plus"},
        {9, 5, 0, "equals"}, {9, 6, 0, "pi"}, {9, 6, 19, "hydrogen atom mass"}, {9, 6, 99, "answer"},
        {9, 7, 5, "memory mode: add"}, {9, 7, 42, "memory mode: add"}, {9, 8, 0, "clear all"}, {9, 8, 1, "clear all"},
        {9, 8, 3, "backspace"}, {9, 9, 0, "copy"}, {9, 10, 16, "hexadecimal"}, {9, 10, 36, "base 36"},
        {9, 11, 0, "swap X and Y"}, {9, 12, 0, "button"}, {9, 0, 17, "button"},
        {7, 2, 1, "Sinus"}, {7, 10, 5, "Basis 5"}, {7, 4, 3, "in Speicher 4 ablegen"}, {12, 8, 2, "effacer l'entrée"},
        {10, 2, 24, "ra\xC3\xADz cuadrada"}, {4, 10, 7, "7 \xE9\x80\xB2\xE4\xBD\x8D"},
    };
    for (const Row& row : rows) {
        Speak(row.language);
        EXPECT_EQ(row.name, CommandName(row.type, row.id)) << row.type << "," << row.id << " in " << row.language;
    }
}

} // namespace
