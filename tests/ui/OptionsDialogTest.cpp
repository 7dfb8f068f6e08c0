// The Options dialog over an off-screen main window: its tabs, its pages'
// controls clicked as a user clicks them, and what the window rebuilds when
// the dialog has closed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <fstream>
#include <functional>

#include "conversions/CurrencyTable.h"
#include "datafiles/CurrencyDownloader.h"
#include "datafiles/IniStore.h"
#include "settings/SettingsStore.h"
#include "skins/ButtonGroup.h"
#include "strings/Language.h"
#include "tests/conversions/TestHttpServer.h"
#include "tests/skins/SkinTestKit.h"
#include "tests/ui/UiTestKit.h"
#include "ui/common/HelpLauncher.h"
#include "ui/converters/CurrencyConverterPage.h"
#include "ui/options/CurrencyPage.h"
#include "ui/options/CustomizePage.h"
#include "ui/options/GeneralPage.h"
#include "ui/options/GroupsPage.h"
#include "ui/options/OptionPages.h"
#include "ui/options/SkinReportList.h"
#include "ui/pages/KeypadPage.h"

namespace {
const char kGeneralKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";
const char kMenuKey[] = "SOFTWARE\\Fernhill\\Tallix\\Menu";
const char kCalcKey[] = "SOFTWARE\\Fernhill\\Tallix\\Calculator";

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The dialog open over a window; Close() destroys it and lets the window rebuild.
class OpenOptions {
public:
    OpenOptions(CMainWindow& window, int startOnCurrency = 0)
        : m_window(window), m_context{window, window.Registry(), window.Resources(), flags}
    {
        m_dialog = std::make_unique<COptionsDialog>(&window, m_context, &CreateOptionPage, startOnCurrency);
        m_dialog->show();
        QApplication::processEvents();
    }
    ~OpenOptions() { Close(); }
    COptionsDialog& Dialog() { return *m_dialog; }
    template <class T>
    T* Page(EOptionPage page)
    {
        return dynamic_cast<T*>(m_dialog->Page(page));
    }
    template <class T>
    T* Control(EOptionPage page, const char* name)
    {
        QWidget* widget = m_dialog->Page(page);
        return widget ? widget->findChild<T*>(name) : nullptr;
    }
    void Close()
    {
        if (!m_dialog) return;
        m_dialog.reset();
        m_window.AfterOptions(flags.skinChanged, flags.groupsChanged);
        QApplication::processEvents();
    }
    OptionsFlags flags;

private:
    CMainWindow& m_window;
    OptionsContext m_context;
    std::unique_ptr<COptionsDialog> m_dialog;
};

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override { ResetLanguage(); }
    RecordingMessageBox boxes;
};

std::vector<std::string> TabLabels(COptionsDialog& dialog)
{
    std::vector<std::string> labels;
    for (int i = 0; i < dialog.Tabs()->count(); ++i) labels.push_back(dialog.Tabs()->tabText(i).toStdString());
    return labels;
}

TEST_F(OptionsDialogTest, TabsAtBothScalesAndTheCurrencyStart)
{
    const struct {
        int vga;
        std::vector<std::string> tabs;
        int currencyTab;
    } rows[] = {
        {0, {"General", "Calculator", "Groups", "Customize", "Currency", "Skins"}, 4},
        {1, {"General", "Calculator", "Groups", "Currency", "Skins"}, 3},
    };
    for (const auto& row : rows) {
        CMemoryRegistry registry;
        registry.WriteNumber(kGeneralKey, "VGA", row.vga);
        registry.WriteNumber(kMenuKey, "SelectedWindow", 7);  // the currency converter
        UiWindow ui(&registry);
        int opened = -1;
        ui.Window().onOptions = [&](int startOnCurrency) {
            OpenOptions options(ui.Window(), startOnCurrency);
            EXPECT_EQ(TabLabels(options.Dialog()), row.tabs);
            opened = options.Dialog().Tabs()->currentIndex();
            EXPECT_TRUE(options.Dialog().Page(EOptionPage::Currency)->isVisible());
            EXPECT_EQ(options.Dialog().Page(EOptionPage::Customize) != nullptr, row.vga == 0);
        };
        ui.Window().ChooseMenuItem(GroupMenuLayout{ui.Window().SlotCount()}.Options());
        EXPECT_EQ(opened, row.currencyTab);
        OpenOptions plain(ui.Window());
        EXPECT_EQ(plain.Dialog().CurrentPage(), EOptionPage::General);
    }
}

// The Currency tab writes its dates as the currency page does.
TEST_F(OptionsDialogTest, CurrencyTabDatesReadAsOnTheCurrencyPage)
{
    for (const char* language : {"en", "de"}) {
        SCOPED_TRACE(language);
        CMemoryRegistry registry;
        registry.WriteNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", LanguageFromLocaleName(language));
        ResetLanguage();
        UiWindow ui(&registry);
        CSettingsStore::Instance().SetDownloadDate({4, 12, 2026});
        auto* currency = dynamic_cast<CCurrencyConverterPage*>(ui.Window().PageOfKind(8));
        ASSERT_TRUE(currency);
        OpenOptions options(ui.Window());
        const std::string status = options.Control<QLabel>(EOptionPage::Currency, "status")->text().toStdString();
        const std::string updated = currency->RatesDateText(), ratesOf = currency->ReferenceDateText();
        ASSERT_FALSE(updated.empty());
        EXPECT_EQ(status.rfind(updated, 0), 0u) << status << " / " << updated;
        // The tab names the table's date; the page that of the pair it converts.
        int day = 0, month = 0, year = 0;
        if (!ratesOf.empty() && CCurrencyTable::Instance()->GetReferenceDate(day, month, year)) {
            EXPECT_NE(status.find(ratesOf), std::string::npos) << status << " / " << ratesOf;
        }
    }
}

TEST_F(OptionsDialogTest, HelpNamesTheTopicOfTheCurrentTab)
{
    UiWindow ui;
    OpenOptions options(ui.Window());
    const struct {
        EOptionPage page;
        const char* topic;
    } rows[] = {{EOptionPage::General, "General"},         {EOptionPage::Calculator, "Main_Contents"},
                {EOptionPage::Groups, "Groups"},           {EOptionPage::Customize, "CustomOptions"},
                {EOptionPage::Currency, "CurrencyOptions"}, {EOptionPage::Skins, "Skins"}};
    for (const auto& row : rows) {
        options.Dialog().SelectPage(row.page);
        EXPECT_STREQ(options.Dialog().HelpTopic(), row.topic);
    }
    options.Dialog().SelectPage(EOptionPage::Calculator);
    const std::string url = HelpUrl(ui.Window().Resources(), options.Dialog().HelpTopic());
    EXPECT_NE(url.find("Tallix"), std::string::npos);
    EXPECT_EQ(url.substr(url.size() - 14), "#Main_Contents");
}

TEST_F(OptionsDialogTest, CalculatorPageHandsEveryChoiceToTheCalculator)
{
    CMemoryRegistry registry;
    registry.WriteNumber(kCalcKey, "StackSize", 20);
    UiWindow ui(&registry);
    CCalcController& calc = ui.Window().Calculator();
    ASSERT_EQ(calc.StackSize(), 20);
    OpenOptions options(ui.Window());
    // Opening the page alone brings a size it does not offer back to 3.
    EXPECT_EQ(calc.StackSize(), 3);
    EXPECT_TRUE(options.Control<QRadioButton>(EOptionPage::Calculator, "stack3")->isChecked());
    options.Dialog().SelectPage(EOptionPage::Calculator);
    const struct {
        const char* control;
        int (CCalcController::*read)() const;
        int value;
    } rows[] = {
        {"stack12", &CCalcController::StackSize, 12},
        {"notation2", &CCalcController::Notation, 2},
        {"mode4", &CCalcController::CalcMode, 4},
        {"repeatedEquals", &CCalcController::RepeatedEquals, 0},
    };
    for (const auto& row : rows) {
        QAbstractButton* control = options.Control<QAbstractButton>(EOptionPage::Calculator, row.control);
        ASSERT_TRUE(control) << row.control;
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(8, control->height() / 2));
        EXPECT_EQ((calc.*row.read)(), row.value) << row.control;
    }
}

TEST_F(OptionsDialogTest, GeneralPageAppliesAtOnce)
{
    UiWindow ui;
    CSettingsStore& settings = CSettingsStore::Instance();
    OpenOptions options(ui.Window());
    const auto click = [&](const char* name) {
        QAbstractButton* b = options.Control<QAbstractButton>(EOptionPage::General, name);
        ASSERT_TRUE(b) << name;
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    };
    click("scrolling2");
    EXPECT_EQ(settings.Scrolling(), 2);  // Slow
    click("scrolling1");
    EXPECT_EQ(settings.Scrolling(), 1);  // Fast
    click("playSounds");
    EXPECT_EQ(settings.PlaySounds(), 0);

    ui.Window().Calculator().SetMemoryText(1, "255");
    ui.Window().Calculator().SetMemoryText(7, "17");
    ui.Window().Calculator().SetCalcBase(16);
    EXPECT_EQ(options.Page<CGeneralPage>(EOptionPage::General)->MemoryText(),
              "Memory1: 0\nMemory2: FF\nMemory3: 0\nMemory4: 0\nMemory5: 0\nMemory6: 0\nMemory7: 0\nMemory8: 11");

    // The current language says nothing; another one is stored at once and
    // asks for a restart in its own words.
    QComboBox* language = options.Control<QComboBox>(EOptionPage::General, "language");
    language->setCurrentIndex(0);
    EXPECT_TRUE(boxes.shown.empty());
    language->setCurrentIndex(2);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "Damit diese Änderungen wirksam werden, beenden Sie Tallix und starten Sie es neu");
    EXPECT_EQ(boxes.shown[0].second, "");
    int32_t locale = 0;
    EXPECT_TRUE(ui.Registry().ReadNumber("SOFTWARE\\Fernhill\\Tallix", "Locale", locale));
    EXPECT_EQ(locale, 7);

    // Arrow keys through the closed list ask nothing until the focus leaves it.
    QTest::keyClick(language, Qt::Key_Down);
    QTest::keyClick(language, Qt::Key_Down);
    EXPECT_EQ(boxes.shown.size(), 1u);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(language, &out);
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(language->currentIndex(), 4);
}

TEST_F(OptionsDialogTest, VgaToggledTwiceStillReloadsTheSkin)
{
    CMemoryRegistry registry;
    registry.WriteNumber(kMenuKey, "SelectedWindow", 3);
    UiWindow ui(&registry);
    OpenOptions options(ui.Window());
    QCheckBox* vga = options.Control<QCheckBox>(EOptionPage::General, "vga");
    vga->click();
    EXPECT_EQ(ui.Window().DoubleScale(), 1);
    vga->click();
    EXPECT_EQ(ui.Window().DoubleScale(), 0);
    CKeypadPage* oldKeypad = ui.Window().MainKeypad();
    options.Close();
    EXPECT_EQ(options.flags.skinChanged, 1);
    EXPECT_NE(ui.Window().MainKeypad(), oldKeypad);  // pages made anew
    EXPECT_EQ(ui.Window().SelectedSlot(), 3);  // the group in view stays
}

// Builds the Groups list state: the kinds checked, in that order at the top.
void CheckOnly(CSkinReportList& list, const std::vector<int>& kinds)
{
    for (int r = 0; r < list.Count(); ++r) list.SetImage(r, CSkinReportList::kUnchecked);
    for (size_t i = 0; i < kinds.size(); ++i)
        for (int r = 0; r < list.Count(); ++r)
            if (list.ItemValue(r) == kinds[i]) {
                list.MoveItem(r, static_cast<int>(i));
                list.SetImage(static_cast<int>(i), CSkinReportList::kChecked);
                break;
            }
}

TEST_F(OptionsDialogTest, GroupsCommitWhenTheDialogCloses)
{
    const struct {
        const char* what;
        std::vector<int> checked;
        int groupsChanged;
        std::vector<int> menu;
        size_t messages;
    } rows[] = {
        {"none", {}, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 1},
        {"eleven", {15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5}, 1, {15, 14, 13, 12, 11, 10, 9, 8, 7}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RecordingMessageBox messages;
        UiWindow ui;
        OpenOptions options(ui.Window());
        CSkinReportList* list = options.Page<CGroupsPage>(EOptionPage::Groups)->List();
        ASSERT_EQ(list->Count(), 16);
        EXPECT_EQ(list->Text(8).toStdString(), "RPN & Boolean");
        CheckOnly(*list, row.checked);
        options.Close();
        EXPECT_EQ(options.flags.groupsChanged, row.groupsChanged);
        std::vector<int> menu;
        for (int s = 0; s < ui.Window().SlotCount(); ++s) menu.push_back(ui.Window().SlotKind(s));
        EXPECT_EQ(menu, row.menu);
        EXPECT_EQ(messages.shown.size(), row.messages);
        EXPECT_EQ(ui.Window().MenuItems()[0].text, GroupMenuText(row.menu[0]));
    }
}

TEST_F(OptionsDialogTest, MoveButtonsFollowTheSelection)
{
    UiWindow ui;
    OpenOptions options(ui.Window());
    options.Dialog().SelectPage(EOptionPage::Groups);
    CSkinReportList* list = options.Page<CGroupsPage>(EOptionPage::Groups)->List();
    const auto enabled = [&] {
        std::string state;
        for (const char* name : {"moveTop", "moveUp", "moveDown", "moveBottom"})
            state += options.Control<QPushButton>(EOptionPage::Groups, name)->isEnabled() ? '1' : '0';
        return state;
    };
    EXPECT_EQ(enabled(), "0011");
    options.Control<QPushButton>(EOptionPage::Groups, "moveBottom")->click();
    EXPECT_EQ(list->SelectedRow(), 15);
    EXPECT_EQ(list->ItemValue(15), 1);
    EXPECT_EQ(enabled(), "1100");
    options.Control<QPushButton>(EOptionPage::Groups, "moveUp")->click();
    EXPECT_EQ(enabled(), "1111");
    EXPECT_EQ(list->ItemValue(14), 1);
}

TEST_F(OptionsDialogTest, CustomizeEditsReloadTheCustomGroupAtOnce)
{
    ProgramFolderCopy folder;
    UiWindow ui(nullptr, 0, folder.Path());
    OpenOptions options(ui.Window());
    CCustomizePage* page = options.Page<CCustomizePage>(EOptionPage::Customize);
    options.Dialog().SelectPage(EOptionPage::Customize);
    auto* custom1 = dynamic_cast<CKeypadPage*>(ui.Window().PageOfKind(10));
    ASSERT_TRUE(custom1);
    const auto clickSlot = [&](int slot) {
        const CCustomGroupEditor::Slot& s = page->Editor().Slots()[static_cast<size_t>(slot)];
        QTest::mouseClick(page->Preview(), Qt::LeftButton, {},
                          QPoint(s.x + 5, s.y + 5 - CCustomizePage::kPreviewTop));
    };
    const auto nameAt = [&](int slot) { return custom1->Group().Button(slot)->Name(); };
    const std::string first = nameAt(0), fourth = nameAt(3);
    // Switch onto the same slot changes nothing; onto another one swaps.
    clickSlot(3);
    options.Control<QPushButton>(EOptionPage::Customize, "switch")->click();
    clickSlot(3);
    EXPECT_EQ(nameAt(3), fourth);
    options.Control<QPushButton>(EOptionPage::Customize, "switch")->click();
    clickSlot(0);
    EXPECT_EQ(nameAt(0), fourth);
    EXPECT_EQ(nameAt(3), first);
    // Add puts the chosen source button into the selected slot.
    options.Control<QComboBox>(EOptionPage::Customize, "sourceGroup")->setCurrentIndex(2);  // Trig1
    // The list names the key by what it does, in the user's language.
    EXPECT_EQ(options.Control<QComboBox>(EOptionPage::Customize, "button")->currentText().toStdString(), "sine");
    options.Control<QPushButton>(EOptionPage::Customize, "add")->click();
    EXPECT_EQ(nameAt(0), "Sin");
    // From the keyboard: arrows select; after Switch they only mark, and Space swaps.
    QWidget* preview = page->Preview();
    QTest::keyClick(preview, Qt::Key_Right);
    EXPECT_EQ(page->Editor().SelectedSlot(), 1);
    const std::string second = nameAt(1), third = nameAt(2);
    options.Control<QPushButton>(EOptionPage::Customize, "switch")->click();
    QTest::keyClick(preview, Qt::Key_Right);
    EXPECT_EQ(page->Editor().SelectedSlot(), 1);
    QTest::keyClick(preview, Qt::Key_Space);
    EXPECT_EQ(nameAt(1), third);
    EXPECT_EQ(nameAt(2), second);
    EXPECT_EQ(preview->focusPolicy(), Qt::StrongFocus);
}

TEST_F(OptionsDialogTest, AFullGroupIsReportedNotSilentlyRefused)
{
    ProgramFolderCopy folder;
    const std::string path = folder.Path() + "Skins/default.ini";
    std::string text = ReadFileText(path);
    std::string notes;
    for (int k = 1; k <= 71; ++k) notes += "Note" + std::to_string(k) + "=x\r\n";
    text.insert(text.find("[Custom3]"), notes);  // [Custom2] now holds 82 keys
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    UiWindow ui(nullptr, 0, folder.Path());
    OpenOptions options(ui.Window());
    CCustomizePage* page = options.Page<CCustomizePage>(EOptionPage::Customize);
    options.Control<QComboBox>(EOptionPage::Customize, "target")->setCurrentIndex(1);
    options.Control<QRadioButton>(EOptionPage::Customize, "small")->click();
    const CCustomGroupEditor::Slot& s = page->Editor().Slots()[15];
    page->ClickPreview(s.x + 5, s.y + 5);
    options.Control<QPushButton>(EOptionPage::Customize, "add")->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "The group Custom2 of this skin is full; no more buttons can be added to it.");
    EXPECT_EQ(boxes.shown[0].second, "Customize");
    EXPECT_EQ(page->Editor().FilledCount(), 10);
}

TEST_F(OptionsDialogTest, ADownloadEndingAfterTheWatchdogStillFillsTheList)
{
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) unsetenv(name);
    ProgramFolderCopy folder;
    CCurrencyTable* table = CCurrencyTable::Instance();
    table->SetRatesPath(folder.Path() + "Currency/Currency.ini");
    table->Load();
    std::string rates = ReadFileText(folder.Path() + "Currency/Currency.ini");
    rates.replace(rates.find("EUR=1.0784"), 10, "EUR=4.25");
    CTestHttpServer server(CTestHttpServer::kOk, rates);
    setenv(CCurrencyDownloader::kUrlVariable, server.Url().c_str(), 1);
    UiWindow ui(nullptr, 0, folder.Path());
    CSettingsStore::Instance().SetUseProxy(CCurrencyDownloader::kProxyPreconfigured);
    OpenOptions options(ui.Window());
    CCurrencyPage* page = options.Page<CCurrencyPage>(EOptionPage::Currency);
    QPushButton* updateNow = options.Control<QPushButton>(EOptionPage::Currency, "updateNow");
    QLabel* status = options.Control<QLabel>(EOptionPage::Currency, "status");
    updateNow->click();
    EXPECT_FALSE(updateNow->isEnabled());
    page->AdvanceTime(CCurrencyUpdate::kWatchdogMs);
    EXPECT_EQ(status->text().toStdString(), "The rates server did not answer in time");
    EXPECT_TRUE(updateNow->isEnabled());
    const int eur = table->FindCode("EUR");
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->Rates()->Text(eur, 1) == "4.250000"; }, 20000));
    page->AdvanceTime(CCurrencyUpdate::kResultMs);
    EXPECT_NE(status->text().toStdString().find("Last Update: "), std::string::npos);
    EXPECT_EQ(CSettingsStore::Instance().DownloadSucceeded(), 1);
    CCurrencyDownloader::Instance()->Wait();
    unsetenv(CCurrencyDownloader::kUrlVariable);
    table->SetRatesPath(RuntimeDir() + "Currency/Currency.ini");
    table->Load();
}

// A tenth tick is refused where it is made, by click, Space or a screen
// reader's toggle, with the message there; unticking makes room again.
TEST_F(OptionsDialogTest, ATenthGroupTickIsRefusedAtOnce)
{
    UiWindow ui;
    OpenOptions options(ui.Window());
    CSkinReportList* list = options.Page<CGroupsPage>(EOptionPage::Groups)->List();
    const auto ticked = [&] {
        int n = 0;
        for (int r = 0; r < list->Count(); ++r) n += list->Image(r) == CSkinReportList::kChecked;
        return n;
    };
    ASSERT_EQ(ticked(), 9);
    const std::string refusal = "Unable to select more than 9 groups.  Untick a group before ticking another.";
    const std::vector<std::function<void()>> tries = {
        [&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->IconRect(10).center()); },
        [&] { list->SelectRow(11); QTest::keyClick(list, Qt::Key_Space); },
        [&] { list->model()->setData(list->model()->index(12, 0), Qt::Checked, Qt::CheckStateRole); },
    };
    for (size_t i = 0; i < tries.size(); ++i) {
        tries[i]();
        EXPECT_EQ(ticked(), 9) << i;
        ASSERT_EQ(boxes.shown.size(), i + 1) << i;
        EXPECT_EQ(boxes.shown[i].first, refusal);
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->IconRect(0).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->IconRect(10).center());
    EXPECT_EQ(ticked(), 9);
    EXPECT_EQ(list->Image(10), CSkinReportList::kChecked);
    EXPECT_EQ(boxes.shown.size(), tries.size());
}

// The About box gives the build's version, as --version does.
TEST_F(OptionsDialogTest, AboutShowsTheBuildsVersion)
{
    std::unique_ptr<QDialog> box(MakeAboutBox(nullptr, QIcon()));
    QStringList texts;
    for (const QLabel* label : box->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Version " TALLIX_VERSION))) << texts.join("|").toStdString();
}

TEST_F(OptionsDialogTest, SkinChoiceReloadsTheSkinAndSurvivesARestart)
{
    ProgramFolderCopy folder;
    CMemoryRegistry registry;
    registry.WriteText(kGeneralKey, "IniFile", "DEFAULT.INI");
    registry.WriteNumber(kMenuKey, "SelectedWindow", 2);
    {
        UiWindow ui(&registry, 0, folder.Path());
        OpenOptions options(ui.Window());
        QListWidget* skins = options.Control<QListWidget>(EOptionPage::Skins, "skins");
        ASSERT_TRUE(skins->currentItem());
        EXPECT_EQ(skins->currentItem()->text().toStdString(), "default");  // found whatever the case
        EXPECT_EQ(options.flags.skinChanged, 0);
        skins->setCurrentItem(skins->findItems("dark", Qt::MatchExactly).first());
        options.Control<QRadioButton>(EOptionPage::Calculator, "notation3")->click();
        options.Control<QComboBox>(EOptionPage::Customize, "sourceGroup")->setCurrentIndex(3);  // Trig2
        options.Control<QPushButton>(EOptionPage::Customize, "add")->click();
        CheckOnly(*options.Page<CGroupsPage>(EOptionPage::Groups)->List(), {14, 1, 2});
        options.Close();
        EXPECT_EQ(CSettingsStore::Instance().IniFile(), "dark.ini");
        EXPECT_NE(ui.Window().Resources().DescriptionPath().find("dark.ini"), std::string::npos);
        EXPECT_EQ(ui.Window().SelectedSlot(), 0);
        ui.Window().SaveState();
    }
    UiWindow again(&registry, 0, folder.Path());
    EXPECT_NE(again.Window().Resources().DescriptionPath().find("dark.ini"), std::string::npos);
    EXPECT_EQ(again.Window().Calculator().Notation(), 3);
    EXPECT_EQ(again.Window().SlotCount(), 3);
    EXPECT_EQ(again.Window().SlotKind(0), 14);
    // The edit of the skin left behind was written before the other one
    // loaded, into the user's copy; the shipped file stays as it was.
    CIniStore left;
    ASSERT_EQ(1, left.Load((folder.Path() + "user/Customized/default.ini").c_str()));
    std::string first;
    left.GetString(first, "Custom1", "Btn1", "");
    EXPECT_EQ(first, "Sinh");
}

}  // namespace
