#include "settings/GroupChoice.h"

#include <algorithm>
#include <utility>

#include "platform/MessageBox.h"
#include "settings/SettingsStore.h"
#include "strings/Language.h"
#include "strings/StringIds.h"

GroupRows& GroupTable()
{
    static GroupRows rows = {{
        {StringId::GroupDefault, 1, 0},
        {StringId::GroupMemory, 6, 0},
        {StringId::GroupUnitConverter, 7, 0},
        {StringId::GroupTipCalculator, 5, 0},
        {StringId::GroupAlgebra, 2, 0},
        {StringId::GroupTrig1, 3, 0},
        {StringId::GroupTrig2, 4, 0},
        {StringId::GroupBaseConversions, 13, 0},
        {StringId::GroupCurrencyConverter, 8, 0},
        {StringId::GroupRpnBoolean, 9, 0},
        {StringId::GroupCustom1, 10, 0},
        {StringId::GroupCustom2, 11, 0},
        {StringId::GroupCustom3, 12, 0},
        {StringId::GroupConstants, 14, 0},
        {StringId::GroupStats, 15, 0},
        {StringId::GroupHistory, 16, 0},
    }};
    return rows;
}

void ArrangeGroupRows(GroupRows& rows, const CSettingsStore& settings)
{
    for (GroupRow& row : rows) row.checked = 0;
    const int count = settings.NumberOfWindows();
    for (int i = 0; i < count && i < CSettingsStore::kMenuItemCount; ++i) {
        const int kind = settings.MenuItem(i);
        // Search below the rows already placed, so a kind listed twice in
        // the menu cannot pull an earlier one back down.
        for (size_t r = static_cast<size_t>(i); r < rows.size(); ++r) {
            if (rows[r].kind != kind) continue;
            std::swap(rows[r], rows[static_cast<size_t>(i)]);
            rows[static_cast<size_t>(i)].checked = 1;
            break;
        }
    }
}

void ShowGroupsMessage(int id)
{
    std::string text, caption = "Groups Error";
    LoadResString(LocalizedId(id), text);
    LoadResString(LocalizedId(StringId::GroupsErrorCaption), caption);
    MessageBoxService().Show(text, caption, MessageKind::Information, MessageButtons::Ok);
}

int CommitGroupRows(const std::vector<GroupRow>& rows, CSettingsStore& settings)
{
    std::vector<int> kinds;
    bool differs = false;
    for (const GroupRow& row : rows) {
        if (!row.checked) continue;
        differs = differs || row.kind != settings.MenuItem(static_cast<int>(kinds.size()));
        kinds.push_back(row.kind);
    }
    if (kinds.empty()) {
        ShowGroupsMessage(StringId::GroupsNone);
        return 0;
    }
    if (!differs && static_cast<int>(kinds.size()) == settings.NumberOfWindows()) return 0;
    if (kinds.size() > CSettingsStore::kMenuItemCount) {
        ShowGroupsMessage(StringId::GroupsTooMany);
        kinds.resize(CSettingsStore::kMenuItemCount);
    }
    // The group in view stays in view where the new menu still lists it.
    const int shown = settings.MenuItem(settings.SelectedWindow());
    const auto at = std::find(kinds.begin(), kinds.end(), shown);
    for (size_t i = 0; i < kinds.size(); ++i) settings.SetMenuItem(static_cast<int>(i), kinds[i]);
    settings.SetNumberOfWindows(static_cast<int>(kinds.size()));
    settings.SetSelectedWindow(at == kinds.end() ? 0 : static_cast<int>(at - kinds.begin()));
    return 1;
}
