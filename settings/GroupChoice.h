#pragma once
// Which groups the main menu lists, in which order: the Groups options page's
// table of all 16 groups and the rules that turn its checked rows into the
// menu settings.
#include <array>
#include <vector>

class CSettingsStore;

struct GroupRow {
    int stringId;  // the group's name in the string table
    int kind;      // the group kind, 1 to 16 (the MenuItem values)
    int checked;
};

using GroupRows = std::array<GroupRow, 16>;

// The table of the run, in the order the Groups page last left it (at start:
// Default, Memory, Unit Converter, Tip Calculator, Algebra, Trigonometry 1 and
// 2, Base Conversions, Currency Converter, RPN & Boolean, Custom 1 to 3,
// Constants, Stats & Conversions, History).
GroupRows& GroupTable();

// Marks the menu's groups checked and brings them to the top in menu order;
// every other row is unchecked. A row taken to the top changes places with the
// row that was there, so unchosen groups keep only roughly their old order.
void ArrangeGroupRows(GroupRows& rows, const CSettingsStore& settings);

// Shows string id of the groups' messages, in the "Groups Error" box.
void ShowGroupsMessage(int id);

// The Groups page's commit: the kinds of the checked rows, in order, become
// the menu. No checked row: message 360, nothing changes. More than 9:
// message 361, the first 9 are kept. Returns 1 when the menu settings were
// changed (the group in view stays selected where the menu still lists it,
// else the first slot), 0 when they stay as they were.
int CommitGroupRows(const std::vector<GroupRow>& rows, CSettingsStore& settings);
