#pragma once
// The group menu's items: one per menu slot (its group), then a separator,
// "Options...", "Help", a separator and "Exit". The menu command of item k is
// k + 1. Texts are UTF-8 from the current language's string table.
#include <string>
#include <vector>

enum EMenuItemKind { kMenuPlain = 1, kMenuGroup = 3, kMenuSeparator = 4 };
inline constexpr int kMenuSeparatorFlag = 2048;

struct GroupMenuItem {
    std::string text;  // at most 40 characters
    int flags = 0;
    int kind = kMenuPlain;
    int marked = 0;
    int enabled = 1;
};

// Indexes after the N slot items.
struct GroupMenuLayout {
    int slotCount;
    int Options() const { return slotCount + 1; }
    int Help() const { return slotCount + 2; }
    int Exit() const { return slotCount + 4; }
};

// kinds: the group kind of each slot; selected: the marked slot.
std::vector<GroupMenuItem> BuildGroupMenuItems(const std::vector<int>& kinds, int selected);
// The menu text of a group kind in the current language; "NULL" for another number.
std::string GroupMenuText(int kind);
