#include "calculator/CommandTable.h"

#include <climits>

// Equals and memory-operation mode take any id: the id is an argument to the
// operation (ENTER in R.P.N. is equals 0), not a selector.
const CommandRow kCommandRows[] = {
    {kCmdDigit, 0, 16, "digit 0-9, A-F, point"},
    {kCmdOperator, 0, 17, "operator"},
    {kCmdFunction, 0, 31, "function"},
    {kCmdParenthesis, 0, 1, "parenthesis"},
    {kCmdMemory, 0, 7, "store in register"},
    {kCmdMemory, 8, 15, "recall register"},
    {kCmdMemory, 16, 16, "clear register 0"},
    {kCmdMemory, 24, 24, "add to register 0 (checked)"},
    {kCmdMemory, 25, 32, "register by memory-operation mode"},
    {kCmdMemory, 33, 33, "add to register 0"},
    {kCmdMemory, 34, 34, "subtract from register 0"},
    {kCmdEquals, INT_MIN, INT_MAX, "equals"},
    {kCmdRecall, 0, 19, "recall constant"},
    {kCmdRecall, 98, 98, "recall saved Y"},
    {kCmdRecall, 99, 99, "recall answer"},
    {kCmdMemoryMode, INT_MIN, INT_MAX, "memory-operation mode"},
    {kCmdClear, 0, 3, "clear"},
    {kCmdClipboard, 0, 2, "clipboard"},
    {kCmdBase, 2, 36, "base"},
    {kCmdStack, 0, 3, "stack"},
    {0, 0, 0, nullptr},
};

const CommandRow* FindCommand(int type, int id)
{
    for (const CommandRow* row = kCommandRows; row->name; ++row)
        if (row->type == type && id >= row->firstId && id <= row->lastId) return row;
    return nullptr;
}

int IsKnownCommand(int type, int id)
{
    return FindCommand(type, id) ? 1 : 0;
}
