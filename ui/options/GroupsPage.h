#pragma once
// The Groups page: all 15 groups in a report list, the menu's groups checked
// at the top; Move Top, Up, Down and Bottom order them. The choice is
// committed when the page is destroyed (the dialog closes).
#include <QWidget>

#include "ui/options/OptionsDialog.h"

class CSkinReportList;
class QPushButton;

class CGroupsPage : public QWidget {
public:
    CGroupsPage(QWidget* parent, OptionsContext& context);
    ~CGroupsPage() override;

    CSkinReportList* List() const { return m_list; }

private:
    void UpdateButtons(int row);
    void Move(int (CSkinReportList::*move)(int));

    OptionsContext& m_context;
    CSkinReportList* m_list;
    QPushButton* m_top;
    QPushButton* m_up;
    QPushButton* m_down;
    QPushButton* m_bottom;
};
