#include "ui/options/OptionPages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>

#include <algorithm>

#include "skins/SkinResources.h"
#include "ui/options/CalculatorPage.h"
#include "ui/options/CurrencyPage.h"
#include "ui/options/CustomizePage.h"
#include "ui/options/GeneralPage.h"
#include "ui/options/GroupsPage.h"
#include "ui/options/OptionsHost.h"
#include "ui/options/SkinsPage.h"

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

void RunOptionsDialog(IOptionsHost& window, int startOnCurrency)
{
    OptionsFlags flags;
    OptionsContext context{window, window.Registry(), window.Resources(), flags};
    {
        COptionsDialog dialog(window.HostWidget(), context, &CreateOptionPage, startOnCurrency);
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
    TabLandsOnChecked(buttons);
    return box;
}

void TabLandsOnChecked(const std::vector<QRadioButton*>& buttons)
{
    if (buttons.empty()) return;
    const auto update = [buttons] {
        const bool any = std::any_of(buttons.begin(), buttons.end(), [](QRadioButton* b) { return b->isChecked(); });
        for (QRadioButton* b : buttons)
            b->setFocusPolicy(b->isChecked() || (!any && b == buttons.front()) ? Qt::StrongFocus : Qt::ClickFocus);
    };
    for (QRadioButton* b : buttons) QObject::connect(b, &QRadioButton::toggled, b, update);
    update();
}
