#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "calculator/NumberText.h"
#include "datafiles/CurrencyDownloader.h"
#include "settings/SettingsStore.h"
#include "tests/conversions/TestHttpServer.h"
#include "tests/ui/UiTestKit.h"
#include "ui/converters/ClothingDialog.h"
#include "ui/converters/CurrencyConverterPage.h"
#include "ui/converters/TipPage.h"
#include "ui/converters/UnitConverterPage.h"
#include "ui/pages/SkinListButton.h"
#include "ui/pages/SkinMenuButton.h"
#include <QListWidget>

namespace {
const char kConvertorKey[] = "SOFTWARE\\Fernhill\\Tallix\\Convertor";
const char kCurrencyKey[] = "SOFTWARE\\Fernhill\\Tallix\\Currency";
const char kTipKey[] = "SOFTWARE\\Fernhill\\Tallix\\TipCalc";
const char kGeneralKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";
const char kPound[] = "\xC2\xA3";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The shipped rates file with one rate changed.
std::string RatesWith(const std::string& code, const std::string& rate)
{
    std::string text = ReadFile(std::string(std::getenv("TALLIX_SOURCE_DIR")) + "/resources/Currency/Currency.ini");
    const size_t at = text.find("\n" + code + "=");
    const size_t end = text.find('\n', at + 1);
    return text.replace(at + 1, end - at - 1, code + "=" + rate);
}

void Click(QWidget* page, const SkinRect& r)
{
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    QApplication::processEvents();
}

class ConverterPagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        RegionalData us;
        LoadRegionalData("en_US.UTF-8", us);
        CNumberText::GetInstance()->SetLocaleData(us);
    }
    void TearDown() override { CNumberText::GetInstance()->SetLocaleData(RegionalData{}); }

    // Shows the page of a kind, as the group menu does.
    template <class Page>
    Page* Show(UiWindow& ui, int kind)
    {
        CMainWindow& w = ui.Window();
        for (int slot = 0; slot < w.SlotCount(); ++slot)
            if (w.SlotKind(slot) == kind) w.ChooseMenuItem(slot);
        ui.SettleBand();
        return dynamic_cast<Page*>(w.PageOfKind(kind));
    }
};

// A currency page over a table of its own, in a temporary folder.
class CurrencyPageTest : public ConverterPagesTest {
protected:
    void SetUp() override
    {
        ConverterPagesTest::SetUp();
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
            unsetenv(name);
        CCurrencyConverterPage::ForgetDownloadSuccess();
        ratesPath = dir.path().toStdString() + "/Currency.ini";
        registry.WriteNumber(kCurrencyKey, "To", 32);  // GBP
        registry.WriteNumber(kCurrencyKey, "UseProxy", 1);
    }
    void TearDown() override
    {
        delete page;
        CCurrencyDownloader::Release();
        unsetenv(CCurrencyDownloader::kUrlVariable);
        ConverterPagesTest::TearDown();
    }
    void Open(const std::string& rates)
    {
        std::ofstream(ratesPath, std::ios::binary) << rates;
        ui = std::make_unique<UiWindow>(&registry);
        table = std::make_unique<CCurrencyTable>(ratesPath);
        table->Load();
        CMainWindow& w = ui->Window();
        page = new CCurrencyConverterPage(&w, w.Resources(), &w.Band(), w.Calculator(), *table);
        page->Setup(&w.MenuItems(), &w, 0x0000FF);
        page->show();
        // Only now: the window's own currency page must not download.
        CSettingsStore::Instance().SetAutoDownload(autoDownload);
    }
    void WaitForOutcome()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !CCurrencyDownloader::Instance()->IsRunning(); }, 60000));
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    std::string ratesPath;
    CMemoryRegistry registry;
    std::unique_ptr<UiWindow> ui;
    std::unique_ptr<CCurrencyTable> table;
    CCurrencyConverterPage* page = nullptr;
    int autoDownload = 1;
};
}  // namespace

TEST_F(ConverterPagesTest, TappingTheConvertedUnitMovesItIntoTheCalculator)
{
    UiWindow ui;
    auto* page = Show<CUnitConverterPage>(ui, 7);
    ASSERT_TRUE(page);
    ui.Type("1");
    EXPECT_EQ(page->SlotText(1), "1 mi");
    EXPECT_EQ(page->SlotText(0), "1.609344 km");
    // The slot holding the calculator's value takes a tap and does nothing.
    Click(page, page->SlotRect(1));
    EXPECT_EQ(ui.Display(), "1");
    Click(page, page->SlotRect(0));
    const CSettingsStore& settings = CSettingsStore::Instance();
    EXPECT_EQ(ui.Display(), "1.609344");
    EXPECT_EQ(settings.ConvertorFrom(), 1);
    EXPECT_EQ(settings.ConvertorTo(), 0);
    EXPECT_EQ(settings.ConvertorFromSelect(), 0);
    EXPECT_EQ(page->SlotText(0), "1.609344 km");
    EXPECT_EQ(page->SlotText(1), "1 mi");
    EXPECT_EQ(page->AccessibleValue(), "1 mi");
}

TEST_F(ConverterPagesTest, BelowAbsoluteZeroTheResultSaysSo)
{
    CMemoryRegistry registry;
    registry.WriteNumber(kConvertorKey, "Section", 1); // Celsius to Fahrenheit
    UiWindow ui(&registry);
    auto* page = Show<CUnitConverterPage>(ui, 7);
    ASSERT_TRUE(page);
    const struct { const char* typed; const char* shown; } rows[] = {
        {"0-273.15=", "-459.67 \xC2\xB0" "F"},
        {"0-500=", "Below absolute zero"},
    };
    for (const auto& row : rows) {
        ui.Type(row.typed);
        EXPECT_EQ(page->SlotText(0), row.shown) << row.typed;
    }
    // A tap on the message changes neither the value nor the direction.
    const int from = CSettingsStore::Instance().ConvertorFrom();
    Click(page, page->SlotRect(0));
    EXPECT_EQ(ui.Display(), "-500");
    EXPECT_EQ(CSettingsStore::Instance().ConvertorFrom(), from);
}

TEST_F(ConverterPagesTest, UnitPageFollowsTheKeysAndCutsLongValues)
{
    UiWindow ui;
    auto* page = Show<CUnitConverterPage>(ui, 7);
    ASSERT_TRUE(page);
    struct Row {
        const char* typed;
        Qt::Key key;  // then pressed (Qt::Key_unknown: none)
        const char* top;
    };
    const Row rows[] = {
        {"12", Qt::Key_unknown, "12 mi"},
        {"5", Qt::Key_Backspace, "12 mi"},
        {"", Qt::Key_Escape, "0 mi"},
        {"0.12345678901234", Qt::Key_unknown, "0.123456789012 mi"},  // cut to 14 characters
    };
    for (const Row& row : rows) {
        ui.Type(row.typed);
        if (row.key != Qt::Key_unknown) QTest::keyClick(&ui.Window(), row.key);
        EXPECT_EQ(page->SlotText(1), row.top) << row.typed;
    }
}

TEST_F(ConverterPagesTest, StoredUnitChoicesOutOfRangeFallBack)
{
    struct Row {
        int section, from, to, fromSelect;
        int wantSection, wantFrom, wantTo, wantFromSelect;
    };
    const Row rows[] = {
        {40, 0, 1, 1, 0, 0, 1, 1},
        {1, 9, 0, 1, 1, 0, 0, 1},   // Temperature has 3 units
        {12, 2, 3, 0, 0, 0, 1, 0},  // "Clothing..." is no category
        {3, 2, 1, 7, 3, 2, 1, 1},
    };
    for (const Row& row : rows) {
        CMemoryRegistry registry;
        registry.WriteNumber(kConvertorKey, "Section", row.section);
        registry.WriteNumber(kConvertorKey, "From", row.from);
        registry.WriteNumber(kConvertorKey, "To", row.to);
        registry.WriteNumber(kConvertorKey, "FromSelect", row.fromSelect);
        UiWindow ui(&registry);
        auto* page = Show<CUnitConverterPage>(ui, 7);
        ASSERT_TRUE(page);
        const CSettingsStore& s = CSettingsStore::Instance();
        EXPECT_EQ(page->Converter().Category(), row.wantSection) << row.section;
        EXPECT_EQ(s.ConvertorFrom(), row.wantFrom) << row.section;
        EXPECT_EQ(page->Converter().FromUnit(), row.wantFrom) << row.section;
        EXPECT_EQ(page->Converter().ToUnit(), row.wantTo) << row.section;
        EXPECT_EQ(s.ConvertorFromSelect(), row.wantFromSelect) << row.section;
        EXPECT_EQ(page->CategoryList()->Selection(), row.wantSection);
        EXPECT_EQ(page->UnitList(1)->Selection(), row.wantFromSelect ? row.wantFrom : row.wantTo);
    }
}

TEST_F(ConverterPagesTest, ChoosingACategoryResetsTheUnits)
{
    CMemoryRegistry registry;
    registry.WriteNumber(kConvertorKey, "From", 3);
    registry.WriteNumber(kConvertorKey, "To", 4);
    registry.WriteNumber(kConvertorKey, "FromSelect", 0);
    UiWindow ui(&registry);
    auto* page = Show<CUnitConverterPage>(ui, 7);
    ASSERT_TRUE(page);
    page->CategoryList()->ChooseEntry(5);  // Computers
    QApplication::processEvents();
    const CSettingsStore& s = CSettingsStore::Instance();
    EXPECT_EQ(s.ConvertorSection(), 5);
    EXPECT_EQ(s.ConvertorFrom(), 0);
    EXPECT_EQ(s.ConvertorTo(), 1);
    // The top list shows the to unit while the bottom slot is the from slot.
    EXPECT_EQ(page->UnitList(1)->Selection(), 1);
    EXPECT_EQ(page->UnitList(0)->Selection(), 0);
    EXPECT_EQ(page->UnitList(0)->EntryCount(), page->Converter().UnitCount());
    // A unit chosen in the bottom list is then the from unit.
    page->UnitList(0)->ChooseEntry(2);
    QApplication::processEvents();
    EXPECT_EQ(s.ConvertorFrom(), 2);
    EXPECT_EQ(page->Converter().FromUnit(), 2);
}

TEST_F(ConverterPagesTest, ClothingDialogShowsRowAlignedSizes)
{
    CClothingDialog dialog(nullptr);
    struct Row {
        int type, usRow;
        const char* uk;
        const char* europe;
        const char* japan;  // "" where the region is hidden
        int rows;
    };
    const Row rows[] = {
        {1, 6, "7.5", "41", "26", 8},  // women's shoes, U.S. 9
        {6, 2, "38", "48", "M", 8},     // suits, U.S. 38
        {8, 3, "", "60", "", 5},        // men's hats: U.S. and Europe only
        {5, 1, "14\xC2\xBD", "37", "37", 8},
    };
    for (const Row& row : rows) {
        dialog.TypeList()->setCurrentIndex(row.type);
        QComboBox* us = dialog.SizeList(kRegionUS);
        EXPECT_EQ(us->count(), row.rows);
        EXPECT_EQ(us->currentIndex(), 0);
        us->setCurrentIndex(row.usRow);
        emit us->activated(row.usRow);
        EXPECT_EQ(dialog.SizeList(kRegionEurope)->currentText().toStdString(), row.europe);
        for (int region : {kRegionUK, kRegionJapan}) {
            const std::string want = region == kRegionUK ? row.uk : row.japan;
            EXPECT_EQ(dialog.RegionShown(region), !want.empty()) << row.type;
            if (!want.empty()) {
                EXPECT_EQ(dialog.SizeList(region)->currentText().toStdString(), want);
            }
        }
    }
}

TEST_F(ConverterPagesTest, ClothingItemOpensTheDialogAndKeepsTheCategory)
{
    CMemoryRegistry registry;
    registry.WriteNumber(kConvertorKey, "Section", 4);
    registry.WriteNumber(kConvertorKey, "From", 2);
    registry.WriteNumber(kConvertorKey, "To", 3);
    UiWindow ui(&registry);
    auto* page = Show<CUnitConverterPage>(ui, 7);
    ASSERT_TRUE(page);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<CClothingDialog*>(QApplication::activeModalWidget());
        shown = dialog != nullptr;
        if (dialog) dialog->accept();
    });
    page->ChooseCategory(CUnitConverterPage::kClothingItem);
    EXPECT_TRUE(shown);
    EXPECT_EQ(page->Converter().Category(), 4);
    EXPECT_EQ(page->CategoryList()->Selection(), 4);
    EXPECT_EQ(CSettingsStore::Instance().ConvertorSection(), 4);
    EXPECT_EQ(page->Converter().FromUnit(), 2);
    EXPECT_EQ(page->Converter().ToUnit(), 3);
}

// Choosing in one slot the unit the other slot shows swaps the two.
TEST_F(ConverterPagesTest, ChoosingTheOtherSlotsUnitSwapsThem)
{
    const struct {
        int fromSelect, list, entry;  // list 1: the top one
        int from, to;
    } rows[] = {
        {1, 1, 4, 4, 1},  // a new from unit
        {1, 1, 1, 1, 0},  // the to unit as from unit
        {1, 0, 0, 1, 0},  // the from unit as to unit
        {0, 1, 0, 1, 0},  // the top list names the to unit
        {0, 0, 1, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.fromSelect) + " " + std::to_string(row.list) + " " + std::to_string(row.entry));
        CMemoryRegistry registry;
        registry.WriteNumber(kConvertorKey, "FromSelect", row.fromSelect);
        UiWindow ui(&registry);
        auto* page = Show<CUnitConverterPage>(ui, 7);
        ASSERT_TRUE(page);
        page->UnitList(row.list)->ChooseEntry(row.entry);
        QApplication::processEvents();
        const CSettingsStore& s = CSettingsStore::Instance();
        EXPECT_EQ(s.ConvertorFrom(), row.from);
        EXPECT_EQ(s.ConvertorTo(), row.to);
        EXPECT_EQ(page->Converter().FromUnit(), row.from);
        EXPECT_EQ(page->Converter().ToUnit(), row.to);
        EXPECT_EQ(page->UnitList(1)->Selection(), row.fromSelect ? row.from : row.to);
        EXPECT_EQ(page->UnitList(0)->Selection(), row.fromSelect ? row.to : row.from);
    }
}

TEST_F(ConverterPagesTest, TabMovesBetweenTheListsAndSpaceOpensOne)
{
    UiWindow ui;
    auto* page = Show<CUnitConverterPage>(ui, 7);
    ASSERT_TRUE(page);
    CMainWindow& w = ui.Window();
    // Menu, category list, top unit list, bottom unit list, result slot.
    const auto nameOfFocus = [&] { return page->AccessibleName(page->KeyFocus()); };
    const auto focusShows = [&] { return page->AccessibleDescription(page->KeyFocus()); };
    QTest::keyClick(&w, Qt::Key_Tab);
    QTest::keyClick(&w, Qt::Key_Tab);
    EXPECT_EQ(nameOfFocus(), "Category");
    EXPECT_EQ(focusShows(), "Distance");
    QTest::keyClick(&w, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_EQ(nameOfFocus(), "Category");
    // The screen reader's focus is the marked control.
    QAccessibleInterface* focus = QAccessible::queryAccessibleInterface(page)->focusChild();
    ASSERT_TRUE(focus);
    EXPECT_EQ(focus->text(QAccessible::Name).toStdString(), "Category");
    EXPECT_EQ(focus->role(), QAccessible::ComboBox);
    QTest::keyClick(&w, Qt::Key_Space);
    ASSERT_TRUE(page->CategoryList()->IsOpen());
    QTest::keyClick(page->CategoryList()->ListBox(), Qt::Key_Down);
    QTest::keyClick(page->CategoryList()->ListBox(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(page->Converter().Category(), 1);
    // Left from the category list wraps past the menu button to the result slot.
    QTest::keyClick(&w, Qt::Key_Left);
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_EQ(page->AccessibleRect(page->KeyFocus()), page->SlotRect(0));
    QTest::keyClick(&w, Qt::Key_Space);
    EXPECT_EQ(CSettingsStore::Instance().ConvertorFromSelect(), 0);
    // Up and Down still change the group.
    const int slot = w.SelectedSlot();
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_NE(w.SelectedSlot(), slot);
}

TEST_F(ConverterPagesTest, PagesNameTheirControls)
{
    UiWindow ui;
    struct Row {
        int kind;
        std::vector<std::string> names;  // must be among the children: "label: choice" of a combo box
    };
    const Row rows[] = {
        {7, {"Category: Distance", "From: mile", "To: kilometre", "0 mi", "Reverse: 0 km"}},
        {8, {"From: (USD) United States Dollar", "To: (EUR) European Monetary Union"}},
        {5, {"Tip: 15 % ", "Split: 3 People ", "Tip Amount: $0.00"}},
    };
    for (const Row& row : rows) {
        CSkinPage* page = Show<CConverterPage>(ui, row.kind);
        ASSERT_TRUE(page);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(page);
        ASSERT_TRUE(face);
        std::vector<std::string> names;
        for (int i = 0; i < face->childCount(); ++i) {
            QAccessibleInterface* child = face->child(i);
            std::string name = child->text(QAccessible::Name).toStdString();
            if (child->role() == QAccessible::ComboBox) {
                ASSERT_TRUE(child->textInterface());
                name += ": " + child->textInterface()->text(0, child->textInterface()->characterCount()).toStdString();
            } else if (!child->text(QAccessible::Description).isEmpty()) {
                name += ": " + child->text(QAccessible::Description).toStdString();
            }
            names.push_back(name);
        }
        for (const std::string& name : row.names)
            EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << row.kind << " " << name;
        EXPECT_NE(std::find(names.begin(), names.end(), MenuButtonAccessibleName()), names.end()) << row.kind;
    }
    // The currency page's status line is a read-out too.
    CSettingsStore::Instance().SetDownloadDate({4, 12, 2026}); // "Last Update" only once one was made
    auto* currency = Show<CCurrencyConverterPage>(ui, 8);
    ASSERT_TRUE(currency);
    ASSERT_FALSE(currency->RatesDateText().empty());
    bool found = false;
    for (int i = 0; i < currency->AccessibleCount(); ++i)
        found = found || (currency->AccessibleName(i) == currency->RatesDateText() &&
                          currency->AccessibleRole(i) == EAccessRole::Label);
    EXPECT_TRUE(found);
}

TEST_F(ConverterPagesTest, TipRowsInTheUsersCurrencyFormat)
{
    struct Row {
        const char* bill;
        int percentage, people, regional;
        const char* billText;
        const char* tip;
        const char* perPerson;
        const char* peopleText;
    };
    const Row rows[] = {
        {"100", 15, 2, 1, "$100.00", "$15.00", "$38.33", "3"},
        {"100", 0, 3, 1, "$100.00", "$0.00", "$25.00", "4"},
        {"12.5", 15, 2, 0, "$12.5", "$1.88", "$4.79", "3"},      // "$" in front when not regional
        {"1234567890.5", 1, 0, 1, "#", "#", "#", "1"},           // too long for their rows
        {"100000", 15, 99, 1, "$100,000.00", "#", "#", "1"},     // 99: one person stays
    };
    for (const Row& row : rows) {
        CMemoryRegistry registry;
        registry.WriteNumber(kTipKey, "Percentage", row.percentage);
        registry.WriteNumber(kTipKey, "NumPeople", row.people);
        registry.WriteNumber(kGeneralKey, "RegionalCurrency", row.regional);
        UiWindow ui(&registry);
        auto* page = Show<CTipPage>(ui, 5);
        ASSERT_TRUE(page);
        ui.Type(row.bill);
        const CTipPage::Rows texts = page->RowTexts();
        EXPECT_EQ(texts.bill, row.billText) << row.bill;
        EXPECT_EQ(texts.tip, row.tip) << row.bill;
        EXPECT_EQ(texts.perPerson, row.perPerson) << row.bill;
        EXPECT_EQ(texts.people, row.peopleText) << row.bill;
        EXPECT_EQ(page->PeopleList()->Selection(), row.people < 20 ? row.people : -1);
    }
}

TEST_F(ConverterPagesTest, TipListsChooseAndStore)
{
    UiWindow ui;
    auto* page = Show<CTipPage>(ui, 5);
    ASSERT_TRUE(page);
    ui.Type("50");
    page->PercentageList()->ChooseEntry(20);
    page->PeopleList()->ChooseEntry(1);
    QApplication::processEvents();
    EXPECT_EQ(CSettingsStore::Instance().Percentage(), 20);
    EXPECT_EQ(CSettingsStore::Instance().NumPeople(), 1);
    EXPECT_EQ(page->RowTexts().percent, "20 %");
    EXPECT_EQ(page->RowTexts().perPerson, "$30.00");
}

TEST_F(CurrencyPageTest, ConvertsAsMoneyAndTapReverses)
{
    Open(RatesWith("GBP", "2.3371"));
    ui->Type("2.3371");
    EXPECT_EQ(page->SlotText(1), "$2.34 USD");
    EXPECT_EQ(page->SlotText(0), std::string(kPound) + "1.00 GBP");
    Click(page, page->SlotRect(0));
    const CSettingsStore& s = CSettingsStore::Instance();
    EXPECT_EQ(ui->Display(), "1");
    EXPECT_EQ(s.CurrencyFrom(), 32);
    EXPECT_EQ(s.CurrencyTo(), 0);
    EXPECT_EQ(s.CurrencyFromSelect(), 0);
    EXPECT_EQ(page->SlotText(0), std::string(kPound) + "1.00 GBP");
    EXPECT_EQ(page->SlotText(1), "$2.34 USD");
    // The lists keep their places: the top one names the to currency now.
    EXPECT_EQ(page->CurrencyList(1)->Selection(), 0);
    page->CurrencyList(1)->ChooseEntry(1);
    QApplication::processEvents();
    EXPECT_EQ(s.CurrencyTo(), 1);
}

TEST_F(CurrencyPageTest, ChoosingTheOtherSlotsCurrencySwapsThem)
{
    Open(RatesWith("GBP", "2.3371"));
    page->CurrencyList(1)->ChooseEntry(32);
    QApplication::processEvents();
    const CSettingsStore& s = CSettingsStore::Instance();
    EXPECT_EQ(s.CurrencyFrom(), 32);
    EXPECT_EQ(s.CurrencyTo(), 0);
    EXPECT_EQ(page->CurrencyList(0)->Selection(), 0);
    EXPECT_EQ(page->SlotText(0), "$0.00 USD");
}

TEST_F(CurrencyPageTest, StoredCurrenciesOutOfRangeFallBack)
{
    registry.WriteNumber(kCurrencyKey, "From", 81);
    Open(RatesWith("GBP", "2.3371"));
    EXPECT_EQ(CSettingsStore::Instance().CurrencyFrom(), 0);
    EXPECT_EQ(CSettingsStore::Instance().CurrencyTo(), 1);
    EXPECT_EQ(page->CurrencyList(1)->EntryCount(), CCurrencyTable::kCurrencies);
    EXPECT_EQ(page->CurrencyList(1)->Entry(0), "(USD) United States Dollar");
}

TEST_F(CurrencyPageTest, AutomaticDownloadUpdatesTheOpenPage)
{
    const std::string fresh = RatesWith("GBP", "2.5");
    CTestHttpServer server(CTestHttpServer::kOk, fresh);
    setenv(CCurrencyDownloader::kUrlVariable, server.Url().c_str(), 1);
    Open(RatesWith("GBP", "2.3371"));
    ui->Type("5");
    EXPECT_EQ(page->SlotText(0), std::string(kPound) + "2.14 GBP");
    ASSERT_EQ(page->StartAutomaticDownload(), 1);
    WaitForOutcome();
    EXPECT_TRUE(CCurrencyConverterPage::DownloadSucceeded());
    EXPECT_EQ(ReadFile(ratesPath), fresh);
    EXPECT_EQ(page->SlotText(0), std::string(kPound) + "2.00 GBP");
    const SettingsDate& date = CSettingsStore::Instance().DownloadDate();
    EXPECT_EQ(QDate(date.year, date.month, date.day), QDate::currentDate());
    EXPECT_EQ(page->FailureText(), "");
    // Once one succeeded, focus gains start no more.
    EXPECT_EQ(page->StartAutomaticDownload(), 0);
}

// A download that succeeded today, in this run or an earlier one, is the
// day's last automatic one.
TEST_F(CurrencyPageTest, AutomaticDownloadAsksOnceADay)
{
    const QDate today = QDate::currentDate();
    const struct {
        QDate lastSuccess;
        int started;
    } rows[] = {{today, 0}, {today.addDays(-1), 1}};
    CTestHttpServer server(CTestHttpServer::kOk, RatesWith("GBP", "2.5"));
    setenv(CCurrencyDownloader::kUrlVariable, server.Url().c_str(), 1);
    Open(RatesWith("GBP", "2.3371"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lastSuccess.toString(Qt::ISODate).toStdString());
        CSettingsStore::Instance().SetDownloadDate({static_cast<uint16_t>(row.lastSuccess.day()),
                                                    static_cast<uint16_t>(row.lastSuccess.month()),
                                                    static_cast<uint16_t>(row.lastSuccess.year())});
        EXPECT_EQ(page->StartAutomaticDownload(), row.started);
        WaitForOutcome();
    }
}

// The date the rates are valid for, when they name it, under the download's.
TEST_F(CurrencyPageTest, ShowsTheDateOfTheRates)
{
    const auto shown = [](int year, int month, int day) {
        return "Rates of " + QLocale::system().toString(QDate(year, month, day), QLocale::ShortFormat).toStdString();
    };
    Open(RatesWith("GBP", "2.3371"));
    EXPECT_EQ(page->ReferenceDateText().rfind(shown(2024, 6, 13) + ", ", 0), 0u); // the shipped rates, and their age
    std::ofstream(ratesPath, std::ios::binary | std::ios::trunc)
        << "[Info]\nDate=2026-12-04\n[Dates]\nARS=2004-06-01\n" << RatesWith("GBP", "2.3371");
    table->Load();
    EXPECT_EQ(page->ReferenceDateText(), shown(2026, 12, 4));
    // A rate no source gave says it is a built-in figure.
    page->ChooseCurrency(0, table->FindCode("ARS"));
    EXPECT_EQ(page->ReferenceDateText(), "ARS: Built-in rate, not a market rate");
    page->ChooseCurrency(0, table->FindCode("GBP"));
    EXPECT_EQ(page->ReferenceDateText(), shown(2026, 12, 4));
}

TEST_F(CurrencyPageTest, FailedDownloadKeepsPageAndFileAndIsRetried)
{
    const std::string old = RatesWith("GBP", "2.3371");
    CTestHttpServer server(CTestHttpServer::kNotFound, "<html>gone</html>");
    setenv(CCurrencyDownloader::kUrlVariable, server.Url().c_str(), 1);
    Open(old);
    ui->Type("5");
    const std::string before = page->SlotText(0);
    const std::string dateBefore = page->RatesDateText();
    ASSERT_EQ(page->StartAutomaticDownload(), 1);
    WaitForOutcome();
    EXPECT_FALSE(CCurrencyConverterPage::DownloadSucceeded());
    EXPECT_EQ(ReadFile(ratesPath), old);
    EXPECT_EQ(page->SlotText(0), before);
    EXPECT_EQ(page->RatesDateText(), dateBefore);
    EXPECT_EQ(page->FailureText(), "The rates server answered with an error");
    EXPECT_EQ(page->StartAutomaticDownload(), 1);
    WaitForOutcome();
}

TEST_F(CurrencyPageTest, AutomaticDownloadOffStartsNothing)
{
    autoDownload = 0;
    Open(RatesWith("GBP", "2.3371"));
    EXPECT_EQ(page->StartAutomaticDownload(), 0);
    EXPECT_FALSE(CCurrencyDownloader::Instance()->IsRunning());
}

TEST_F(CurrencyPageTest, ClosingThePageDuringASlowDownloadIsSafe)
{
    const std::string old = RatesWith("GBP", "2.3371");
    CTestHttpServer server(CTestHttpServer::kSilent, "");
    setenv(CCurrencyDownloader::kUrlVariable, server.Url().c_str(), 1);
    Open(old);
    ASSERT_EQ(page->StartAutomaticDownload(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Requests().empty(); }, 60000));
    delete page;
    page = nullptr;
    QApplication::processEvents();
    // As at the end of the program: the download is stopped, nobody is told.
    CCurrencyDownloader::Release();
    QApplication::processEvents();
    EXPECT_EQ(ReadFile(ratesPath), old);
    EXPECT_FALSE(CCurrencyConverterPage::DownloadSucceeded());
}
