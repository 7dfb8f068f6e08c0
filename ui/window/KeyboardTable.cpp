#include "ui/window/KeyboardTable.h"

namespace {
struct Row {
    char ch;
    KeyCommand command;
};
const Row kRows[] = {
    {'\r', {5, 0}}, {'\n', {5, 0}}, {'=', {5, 0}}, {'(', {3, 0}}, {')', {3, 1}},
    {'+', {1, 0}},  {'k', {1, 0}},  {'-', {1, 1}}, {'m', {1, 1}}, {'*', {1, 2}},
    {'j', {1, 2}},  {'/', {1, 3}},  {'o', {1, 3}}, {'^', {1, 4}}, {'.', {0, 16}},
    {',', {0, 16}}, {'n', {0, 16}},
    {'%', {2, 30}}, {'!', {2, 28}}, {'@', {2, 24}}, {'q', {2, 22}}, {'r', {2, 21}},
    {'s', {2, 1}},  {'O', {2, 0}},  {'t', {2, 2}},  {'l', {2, 14}}, {'N', {2, 15}},
};
}  // namespace

int LookupKeyCharacter(char ch, KeyCommand& out)
{
    if (ch >= '0' && ch <= '9') {
        out = {0, ch - '0'};
        return 1;
    }
    if ((ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f')) {
        out = {0, 10 + ((ch | 0x20) - 'a')};
        return 1;
    }
    for (const Row& row : kRows)
        if (row.ch == ch) {
            out = row.command;
            return 1;
        }
    return 0;
}
