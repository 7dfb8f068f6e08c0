#include "ui/options/OptionsDialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "skins/SkinResources.h"
#include "strings/StringIds.h"
#include "ui/common/HelpLauncher.h"
#include "ui/common/ResourceText.h"
#include "ui/pages/SkinPage.h"

namespace {
struct TabRow {
    EOptionPage page;
    int labelId;
    const char* helpTopic;
};

const TabRow kTabRows[] = {
    {EOptionPage::General, StringId::TabGeneral, "General"},
    {EOptionPage::Calculator, StringId::TabCalculator, "Main_Contents"},
    {EOptionPage::Groups, StringId::TabGroups, "Groups"},
    {EOptionPage::Customize, StringId::TabCustomize, "CustomOptions"},
    {EOptionPage::Currency, StringId::TabCurrency, "CurrencyOptions"},
    {EOptionPage::Skins, StringId::TabSkins, "Skins"},
};

const EOptionPage kClosingOrder[] = {EOptionPage::General, EOptionPage::Groups,  EOptionPage::Currency,
                                     EOptionPage::Customize, EOptionPage::Skins, EOptionPage::Calculator};
}  // namespace

COptionsDialog::COptionsDialog(QWidget* parent, OptionsContext& context, const OptionPageFactory& factory,
                               int startOnCurrency)
    : QDialog(parent), m_tabs(new QTabWidget(this)), m_resources(context.resources)
{
    context.flags = OptionsFlags{};
    setWindowTitle(ResourceText(StringId::OptionsCaption));
    if (DoubledWidgets(context.resources.DoubleScale())) {
        // Everything of the doubled window is twice the size: texts, check
        // boxes and radio buttons.
        const QFont base = font();
        const QString size = base.pointSizeF() > 0 ? QString("%1pt").arg(2 * base.pointSizeF())
                                                   : QString("%1px").arg(2 * base.pixelSize());
        const int check = 2 * style()->pixelMetric(QStyle::PM_IndicatorWidth);
        const int radio = 2 * style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth);
        setStyleSheet(QString("* { font-size: %1; }"
                              "QCheckBox::indicator { width: %2px; height: %2px; }"
                              "QRadioButton::indicator { width: %3px; height: %3px; }")
                          .arg(size)
                          .arg(check)
                          .arg(radio));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    // Every tab shows its whole label; the dialog grows to hold them.
    m_tabs->tabBar()->setUsesScrollButtons(false);
    m_tabs->tabBar()->setElideMode(Qt::ElideNone);
    for (const TabRow& row : kTabRows) {
        // The Customize page edits normal-scale layouts only.
        if (row.page == EOptionPage::Customize && context.resources.DoubleScale()) continue;
        QWidget* page = factory(row.page, m_tabs, context);
        if (!page) continue;
        m_tabs->addTab(page, ResourceText(row.labelId));
        m_pages.push_back({row.page, page});
    }
    SelectPage(startOnCurrency ? EOptionPage::Currency : EOptionPage::General);
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

COptionsDialog::~COptionsDialog()
{
    for (EOptionPage page : kClosingOrder) delete Page(page);
    m_pages.clear();
}

QWidget* COptionsDialog::Page(EOptionPage page) const
{
    for (const Tab& tab : m_pages)
        if (tab.page == page) return tab.widget;
    return nullptr;
}

EOptionPage COptionsDialog::CurrentPage() const
{
    const int index = m_tabs->currentIndex();
    return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages[static_cast<size_t>(index)].page
                                                                  : EOptionPage::General;
}

void COptionsDialog::SelectPage(EOptionPage page)
{
    if (QWidget* widget = Page(page)) m_tabs->setCurrentWidget(widget);
}

const char* COptionsDialog::HelpTopic() const
{
    for (const TabRow& row : kTabRows)
        if (row.page == CurrentPage()) return row.helpTopic;
    return "Main_Contents";
}

void COptionsDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        OpenHelpTopic(m_resources, HelpTopic());
        return;
    }
    QDialog::keyPressEvent(event);
}
