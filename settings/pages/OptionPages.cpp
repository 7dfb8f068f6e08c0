#include "settings/pages/OptionPages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

#include "settings/pages/CalculatorPage.h"
#include "settings/pages/CurrencyPage.h"
#include "settings/pages/CustomizePage.h"
#include "settings/pages/GeneralPage.h"
#include "settings/pages/GroupsPage.h"
#include "settings/pages/SkinsPage.h"
#include "skins/SkinResources.h"
#include "ui/MainWindow.h"

QWidget* CreateOptionPage(EOptionPage page, QWidget* parent, OptionsContext& context)
{
    switch (page) {
    case EOptionPage::General: return new CGeneralPage(parent, context);
    case EOptionPage::Calculator: return new CCalculatorPage(parent, context);
    case EOptionPage::Groups: return new CGroupsPage(parent, context);
    case EOptionPage::Customize: return new CCustomizePage(parent, context);
    case EOptionPage::Currency: return new CCurrencyPage(parent, context);
    case EOptionPage::Skins: return new CSkinsPage(parent, context);
    }
    return nullptr;
}

void RunOptionsDialog(CMainWindow& window, int startOnCurrency)
{
    OptionsFlags flags;
    OptionsContext context{window, window.Registry(), window.Resources(), flags};
    {
        COptionsDialog dialog(&window, context, &CreateOptionPage, startOnCurrency);
        dialog.exec();
    }
    window.AfterOptions(flags.skinChanged, flags.groupsChanged);
}

QGroupBox* MakeRadioGroup(const QString& title, const std::vector<QString>& texts, int columns,
                          std::vector<QRadioButton*>& buttons)
{
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    buttons.clear();
    for (size_t i = 0; i < texts.size(); ++i) {
        auto* radio = new QRadioButton(texts[i], box);
        const int n = static_cast<int>(i);
        grid->addWidget(radio, n / columns, n % columns);
        buttons.push_back(radio);
    }
    return box;
}
