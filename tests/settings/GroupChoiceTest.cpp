// The Groups page's rules: which rows come first and what its commit makes of
// the checked rows.
#include "platform/MessageBox.h"
#include "settings/GroupChoice.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

class MessageLog : public IMessageBox {
public:
    MessageLog() { SetMessageBoxService(this); }
    ~MessageLog() override { SetMessageBoxService(nullptr); }
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageKind, MessageButtons) override
    {
        shown.push_back(caption + ": " + text);
        return MessageAnswer::Ok;
    }
    std::vector<std::string> shown;
};

void SetMenu(CSettingsStore& settings, const std::vector<int>& kinds)
{
    settings.SetNumberOfWindows(static_cast<int>(kinds.size()));
    for (size_t i = 0; i < kinds.size(); ++i) settings.SetMenuItem(static_cast<int>(i), kinds[i]);
}

std::vector<int> Menu(const CSettingsStore& settings)
{
    std::vector<int> kinds;
    for (int i = 0; i < settings.NumberOfWindows(); ++i) kinds.push_back(settings.MenuItem(i));
    return kinds;
}

TEST(GroupChoiceTest, TheMenuGroupsComeFirstCheckedInMenuOrder)
{
    const struct {
        std::vector<int> menu;
        std::vector<int> order;
    } rows[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 10, 11, 12, 14, 15, 16}},
        {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 7, 6, 13, 8, 9, 10, 11, 12, 14, 15, 16}},
        {{16, 10}, {16, 10, 7, 5, 2, 3, 4, 13, 8, 9, 6, 11, 12, 14, 15, 1}},
        {{8, 8, 0}, {8, 6, 7, 5, 2, 3, 4, 13, 1, 9, 10, 11, 12, 14, 15, 16}},  // a repeated and an unknown kind
    };
    for (const auto& row : rows) {
        CSettingsStore settings;
        SetMenu(settings, row.menu);
        GroupRows table = GroupTable();
        ArrangeGroupRows(table, settings);
        const size_t checked = row.menu.back() == 0 ? 1 : row.menu.size();
        std::vector<int> order;
        for (const GroupRow& r : table) {
            EXPECT_EQ(r.checked, order.size() < checked ? 1 : 0) << "row " << order.size();
            order.push_back(r.kind);
        }
        EXPECT_EQ(order, row.order);
    }
}

TEST(GroupChoiceTest, CommitRules)
{
    const std::vector<int> before = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const struct {
        const char* what;
        std::vector<int> checked;  // kinds of the checked rows in list order
        int changed;
        std::vector<int> menu;
        const char* message;
        int selected;  // the slot in view was 4, the fifth group
    } rows[] = {
        {"nothing checked", {}, 0, before, "Groups Error: Unable to select 0 groups.  Settings will not be changed", 4},
        {"the same", before, 0, before, "", 4},
        {"only reordered", {2, 1, 3, 4, 5, 6, 7, 8, 9}, 1, {2, 1, 3, 4, 5, 6, 7, 8, 9}, "", 4},
        {"the group in view moved", {1, 2, 5}, 1, {1, 2, 5}, "", 2},
        {"the group in view left", {1, 14}, 1, {1, 14}, "", 0},
        {"eleven", {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 10}, 1, before,
         "Groups Error: Unable to select more than 9 groups.  Only the first 9 groups will be added", 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        MessageLog log;
        CSettingsStore settings;
        SetMenu(settings, before);
        settings.SetSelectedWindow(4);
        // The checked rows in the order given, then the others unchecked.
        std::vector<GroupRow> ordered;
        for (int kind : row.checked) ordered.push_back({0, kind, 1});
        for (const GroupRow& r : GroupTable())
            if (std::find(row.checked.begin(), row.checked.end(), r.kind) == row.checked.end())
                ordered.push_back({r.stringId, r.kind, 0});
        EXPECT_EQ(CommitGroupRows(ordered, settings), row.changed);
        EXPECT_EQ(Menu(settings), row.menu);
        EXPECT_EQ(settings.SelectedWindow(), row.selected);
        EXPECT_EQ(log.shown, *row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
    }
}

}  // namespace
