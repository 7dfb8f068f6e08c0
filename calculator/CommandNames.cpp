#include "calculator/CommandNames.h"

#include "calculator/CommandTable.h"
#include "strings/Language.h"
#include "strings/StringIds.h"

#include <climits>

namespace {

enum class NameKind {
    PerId,      // one string per id: first string + (id - first id)
    Shared,     // every id of the row says the same
    Register,   // %d is the register number the user sees, counted from 1
    Number,     // %d is the id itself
};

struct NameRow {
    int type;
    int firstId;
    int lastId;
    int stringId;
    NameKind kind;
};

// First matching row wins, so single ids stand before the ranges around them.
const NameRow kNameRows[] = {
    {kCmdDigit, 0, 16, StringId::CmdNameDigitFirst, NameKind::PerId},
    {kCmdOperator, 0, 17, StringId::CmdNameOperatorFirst, NameKind::PerId},
    {kCmdFunction, 0, 31, StringId::CmdNameFunctionFirst, NameKind::PerId},
    {kCmdParenthesis, 0, 1, StringId::CmdNameParenthesisFirst, NameKind::PerId},
    {kCmdMemory, 0, 7, StringId::CmdNameMemoryStore, NameKind::Register},
    {kCmdMemory, 8, 15, StringId::CmdNameMemoryRecall, NameKind::Register},
    {kCmdMemory, 16, 16, StringId::CmdNameMemoryClear, NameKind::Shared},
    {kCmdMemory, 24, 24, StringId::CmdNameMemoryPlus, NameKind::Shared},
    {kCmdMemory, 25, 32, StringId::CmdNameMemoryRegister, NameKind::Register},
    {kCmdMemory, 33, 33, StringId::CmdNameMemoryPlus, NameKind::Shared},
    {kCmdMemory, 34, 34, StringId::CmdNameMemoryMinus, NameKind::Shared},
    {kCmdEquals, INT_MIN, INT_MAX, StringId::CmdNameEquals, NameKind::Shared},
    {kCmdRecall, 0, 19, StringId::CmdNameConstantFirst, NameKind::PerId},
    {kCmdRecall, 98, 98, StringId::CmdNameLastY, NameKind::Shared},
    {kCmdRecall, 99, 99, StringId::CmdNameAnswer, NameKind::Shared},
    // Ids 0, 1, 3 and 4 toggle their memory-operation mode; every other id selects adding.
    {kCmdMemoryMode, 0, 0, StringId::CmdNameMemoryModeSubtract, NameKind::Shared},
    {kCmdMemoryMode, 1, 1, StringId::CmdNameMemoryMode, NameKind::Shared},
    {kCmdMemoryMode, 3, 3, StringId::CmdNameMemoryModeRecall, NameKind::Shared},
    {kCmdMemoryMode, 4, 4, StringId::CmdNameMemoryModeStore, NameKind::Shared},
    {kCmdMemoryMode, INT_MIN, INT_MAX, StringId::CmdNameMemoryModeAdd, NameKind::Shared},
    {kCmdClear, 0, 1, StringId::CmdNameClearAll, NameKind::Shared},
    {kCmdClear, 2, 2, StringId::CmdNameClearEntry, NameKind::Shared},
    {kCmdClear, 3, 3, StringId::CmdNameBackspace, NameKind::Shared},
    {kCmdClipboard, 0, 2, StringId::CmdNameClipboardFirst, NameKind::PerId},
    {kCmdBase, 2, 2, StringId::CmdNameBinary, NameKind::Shared},
    {kCmdBase, 8, 8, StringId::CmdNameOctal, NameKind::Shared},
    {kCmdBase, 10, 10, StringId::CmdNameDecimal, NameKind::Shared},
    {kCmdBase, 16, 16, StringId::CmdNameHexadecimal, NameKind::Shared},
    {kCmdBase, 2, 36, StringId::CmdNameBase, NameKind::Number},
    {kCmdStack, 0, 3, StringId::CmdNameStackFirst, NameKind::PerId},
};

const NameRow* FindNameRow(int type, int id)
{
    for (const NameRow& row : kNameRows)
        if (row.type == type && id >= row.firstId && id <= row.lastId) return &row;
    return nullptr;
}

std::string LocalText(int stringId)
{
    std::string text;
    if (!LoadResString(LocalizedId(stringId), text)) LoadResString(stringId, text);
    return text;
}

// The texts are ours, but a translation is still never used as a printf format.
void FillNumber(std::string& text, long long number)
{
    size_t at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(number));
}

} // namespace

int CommandNameStringId(int type, int id)
{
    const NameRow* row = FindNameRow(type, id);
    if (!row || !IsKnownCommand(type, id)) return 0;
    return row->kind == NameKind::PerId ? row->stringId + (id - row->firstId) : row->stringId;
}

std::string CommandName(int type, int id)
{
    int stringId = CommandNameStringId(type, id);
    if (stringId == 0) return LocalText(StringId::CmdNameUnknown);
    std::string text = LocalText(stringId);
    const NameRow* row = FindNameRow(type, id);
    if (row->kind == NameKind::Register) FillNumber(text, static_cast<long long>(id) - row->firstId + 1);
    if (row->kind == NameKind::Number) FillNumber(text, id);
    return text;
}
