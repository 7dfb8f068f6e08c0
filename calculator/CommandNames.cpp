#include "calculator/CommandNames.h"

#include "calculator/CommandTable.h"

std::string CommandName(int type, int id)
{
    if (type == kCmdDigit && id >= 0 && id <= 15) return std::string(1, "0123456789ABCDEF"[id]);
    const CommandRow* row = FindCommand(type, id);
    return row ? std::string(row->name) + " " + std::to_string(id) : "key";
}
