#include "ui/options/GroupsPage.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/GroupChoice.h"
#include "settings/SettingsStore.h"
#include "skins/SkinResources.h"
#include "strings/StringIds.h"
#include "ui/common/ResourceText.h"
#include "ui/options/SkinReportList.h"
#include "ui/pages/SkinPage.h"

CGroupsPage::CGroupsPage(QWidget* parent, OptionsContext& context)
    : QWidget(parent), m_context(context), m_list(new CSkinReportList(this, DoubledWidgets(context.resources.DoubleScale()), true))
{
    auto* hint = new QLabel(ResourceText(StringId::GroupsHint));
    hint->setWordWrap(true);
    m_list->setObjectName("groups");
    m_list->setAccessibleName(ResourceText(StringId::TabGroups));
    m_list->setAccessibleDescription(hint->text());
    m_list->AddColumn(QString(), 137);
    m_list->setHeaderHidden(true);
    GroupRows& table = GroupTable();
    ArrangeGroupRows(table, CSettingsStore::Instance());
    for (const GroupRow& row : table)
        m_list->InsertRow(m_list->Count(), {ResourceText(row.stringId)}, row.kind,
                          row.checked ? CSkinReportList::kChecked : CSkinReportList::kUnchecked);
    m_list->FitColumn(0);
    m_list->header()->setStretchLastSection(true);
    m_list->setMinimumWidth(m_list->ColumnsWidth() + 2 * m_list->frameWidth() +
                            m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_list->setMinimumHeight(8 * m_list->RowHeight());

    m_top = new QPushButton(ResourceText(StringId::GroupsMoveTop));
    m_up = new QPushButton(ResourceText(StringId::GroupsMoveUp));
    m_down = new QPushButton(ResourceText(StringId::GroupsMoveDown));
    m_bottom = new QPushButton(ResourceText(StringId::GroupsMoveBottom));
    m_top->setObjectName("moveTop");
    m_up->setObjectName("moveUp");
    m_down->setObjectName("moveDown");
    m_bottom->setObjectName("moveBottom");
    connect(m_top, &QPushButton::clicked, this, [this] { Move(&CSkinReportList::MoveToTop); });
    connect(m_up, &QPushButton::clicked, this, [this] { Move(&CSkinReportList::MoveUp); });
    connect(m_down, &QPushButton::clicked, this, [this] { Move(&CSkinReportList::MoveDown); });
    connect(m_bottom, &QPushButton::clicked, this, [this] { Move(&CSkinReportList::MoveToBottom); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_top, m_up, m_down, m_bottom}) buttons->addWidget(b);
    buttons->addStretch(1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);

    m_list->onSelectionChanged = [this](int selected) { UpdateButtons(selected); };
    // The menu holds 9 groups: a tenth tick is refused where it is made.
    m_list->allowCheck = [this](int) {
        int ticked = 0;
        for (int r = 0; r < m_list->Count(); ++r) ticked += m_list->Image(r) == CSkinReportList::kChecked;
        if (ticked < CSettingsStore::kMenuItemCount) return true;
        ShowGroupsMessage(StringId::GroupsAtMost);
        return false;
    };
    m_list->SelectRow(0);
    UpdateButtons(0);
}

CGroupsPage::~CGroupsPage()
{
    std::vector<GroupRow> rows;
    GroupRows& table = GroupTable();
    for (int r = 0; r < m_list->Count(); ++r) {
        const int kind = m_list->ItemValue(r);
        int stringId = 0;
        for (const GroupRow& row : table)
            if (row.kind == kind) stringId = row.stringId;
        rows.push_back({stringId, kind, m_list->Image(r) == CSkinReportList::kChecked ? 1 : 0});
    }
    // The table keeps the order the user left for the rest of the run.
    for (size_t i = 0; i < rows.size() && i < table.size(); ++i) table[i] = rows[i];
    if (CommitGroupRows(rows, CSettingsStore::Instance())) m_context.flags.groupsChanged = 1;
}

void CGroupsPage::UpdateButtons(int row)
{
    const int last = m_list->Count() - 1;
    const bool valid = row >= 0;
    m_top->setEnabled(valid && row > 0);
    m_up->setEnabled(valid && row > 0);
    m_down->setEnabled(valid && row < last);
    m_bottom->setEnabled(valid && row < last);
}

void CGroupsPage::Move(int (CSkinReportList::*move)(int))
{
    (m_list->*move)(m_list->SelectedRow());
    UpdateButtons(m_list->SelectedRow());
    m_list->setFocus();
}
