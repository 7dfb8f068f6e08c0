#include "ui/pages/GroupMenuItems.h"

#include "skins/ButtonGroup.h"
#include "strings/Language.h"
#include "strings/StringIds.h"

namespace {
const size_t kMaxItemText = 40;

std::string Text(int id)
{
    std::string out;
    LoadResString(LocalizedId(id), out, kMaxItemText + 1);
    return out;
}
}  // namespace

std::string GroupMenuText(int kind)
{
    const GroupKind* row = FindGroupKind(kind);
    if (!row) return "NULL";
    std::string text;
    if (!LoadResString(LocalizedId(row->stringId), text, kMaxItemText + 1)) text = row->menuText;
    return text;
}

std::vector<GroupMenuItem> BuildGroupMenuItems(const std::vector<int>& kinds, int selected)
{
    std::vector<GroupMenuItem> items;
    for (size_t i = 0; i < kinds.size(); ++i)
        items.push_back({GroupMenuText(kinds[i]), 0, kMenuGroup, static_cast<int>(i) == selected ? 1 : 0, 1});
    items.push_back({"", kMenuSeparatorFlag, kMenuSeparator, 0, 1});
    items.push_back({Text(StringId::MenuOptions), 0, kMenuPlain, 0, 1});
    items.push_back({Text(StringId::MenuHelp), 0, kMenuPlain, 0, 1});
    items.push_back({"", 0, kMenuSeparator, 0, 1});
    items.push_back({Text(StringId::MenuExit), 0, kMenuPlain, 0, 1});
    return items;
}
