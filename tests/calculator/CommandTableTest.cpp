#include "calculator/CommandTable.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct PairCase {
    int type;
    int id;
    int known;
};

// Boundaries of every type's id ranges, and the holes between them.
const PairCase kPairs[] = {
    {0, 0, 1}, {0, 16, 1}, {0, 17, 0}, {0, -1, 0},
    {1, 0, 1}, {1, 17, 1}, {1, 18, 0},
    {2, 0, 1}, {2, 31, 1}, {2, 32, 0},
    {3, 0, 1}, {3, 1, 1}, {3, 2, 0},
    {4, 0, 1}, {4, 16, 1}, {4, 17, 0}, {4, 23, 0}, {4, 24, 1}, {4, 34, 1}, {4, 35, 0},
    {5, INT_MIN, 1}, {5, 0, 1}, {5, 12345, 1},
    {6, 0, 1}, {6, 19, 1}, {6, 20, 0}, {6, 97, 0}, {6, 98, 1}, {6, 99, 1}, {6, 100, 0},
    {7, -7, 1}, {7, 0, 1}, {7, INT_MAX, 1},
    {8, 0, 1}, {8, 3, 1}, {8, 4, 0},
    {9, 0, 1}, {9, 2, 1}, {9, 3, 0},
    {10, 1, 0}, {10, 2, 1}, {10, 36, 1}, {10, 37, 0},
    {11, 0, 1}, {11, 3, 1}, {11, 4, 0},
    {12, 0, 0}, {-1, 0, 0},
};

TEST(CommandTable, KnowsExactlyTheListedPairs)
{
    for (const PairCase& c : kPairs)
        EXPECT_EQ(IsKnownCommand(c.type, c.id), c.known) << "type " << c.type << " id " << c.id;
}

TEST(CommandTable, EveryTypeHasARowAndRowsDoNotOverlap)
{
    for (int type = 0; type < kCommandTypeCount; ++type) {
        bool found = false;
        for (const CommandRow* row = kCommandRows; row->name; ++row) {
            if (row->type != type) continue;
            found = true;
            EXPECT_LE(row->firstId, row->lastId);
            EXPECT_EQ(FindCommand(type, row->firstId), row) << row->name;
            EXPECT_EQ(FindCommand(type, row->lastId), row) << row->name;
        }
        EXPECT_TRUE(found) << "type " << type;
    }
}

}  // namespace
