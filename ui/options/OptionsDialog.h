#pragma once
// The Options dialog: a tab control whose tabs each show one option page.
// The pages apply every change at once (there is no OK or Cancel); through
// the two flags they tell the main window what to rebuild once the dialog
// has closed. The pages themselves are made by a factory the opener gives.

#include <QDialog>

#include <functional>
#include <vector>

class IOptionsHost;
class CSkinResources;
class QTabWidget;
class RegistryAccess;

enum class EOptionPage { General, Calculator, Groups, Customize, Currency, Skins };

// Raised by the pages; cleared when the dialog opens, read after it closed.
struct OptionsFlags {
    int skinChanged = 0;    // skin or scale: reload the skin, rebuild everything
    int groupsChanged = 0;  // the menu's groups: rebuild the menu and the pages
};

// What every page is given; outlives the dialog.
struct OptionsContext {
    IOptionsHost& window;
    RegistryAccess& registry;
    CSkinResources& resources;
    OptionsFlags& flags;
};

using OptionPageFactory = std::function<QWidget*(EOptionPage page, QWidget* parent, OptionsContext& context)>;

class COptionsDialog : public QDialog {
public:
    // startOnCurrency: open on the Currency tab (the currency converter is shown).
    COptionsDialog(QWidget* parent, OptionsContext& context, const OptionPageFactory& factory,
                   int startOnCurrency);
    // Destroys the pages first, in the order General, Groups, Currency,
    // Customize, Skins, Calculator (the Groups page commits then).
    ~COptionsDialog() override;

    QTabWidget* Tabs() const { return m_tabs; }
    // The page of a kind; null when the dialog has none (Customize at double scale).
    QWidget* Page(EOptionPage page) const;
    EOptionPage CurrentPage() const;
    void SelectPage(EOptionPage page);
    // The help anchor of the current tab's page.
    const char* HelpTopic() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Tab {
        EOptionPage page;
        QWidget* widget;
    };
    QTabWidget* m_tabs;
    std::vector<Tab> m_pages;
    CSkinResources& m_resources;
};
