// The converter pages as a keyboard and screen-reader user meets them: a
// marked list takes the arrows, every change is spoken with what it changed,
// and a page out of view cannot be pressed.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

#include "calculator/NumberText.h"
#include "tests/ui/UiTestKit.h"
#include "ui/common/Announcer.h"
#include "ui/converters/ClothingDialog.h"
#include "ui/converters/TipPage.h"
#include "ui/converters/UnitConverterPage.h"
#include "ui/pages/SkinListButton.h"

namespace {
class ConverterAccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        RegionalData us;
        LoadRegionalData("en_US.UTF-8", us);
        CNumberText::GetInstance()->SetLocaleData(us);
    }
    void TearDown() override { CNumberText::GetInstance()->SetLocaleData(RegionalData{}); }

    template <class Page>
    Page* Show(int kind)
    {
        CMainWindow& w = ui.Window();
        for (int slot = 0; slot < w.SlotCount(); ++slot)
            if (w.SlotKind(slot) == kind) w.ChooseMenuItem(slot);
        ui.SettleBand();
        return dynamic_cast<Page*>(w.PageOfKind(kind));
    }
    void Key(Qt::Key key)
    {
        QTest::keyClick(&ui.Window(), key);
        QApplication::processEvents();
    }
    // Tabs until the marked control has that name.
    void MarkNamed(CConverterPage* page, const std::string& name)
    {
        for (int i = 0; i < 10 && page->AccessibleName(page->KeyFocus()) != name; ++i) Key(Qt::Key_Tab);
        ASSERT_EQ(page->AccessibleName(page->KeyFocus()), name);
    }

    UiWindow ui;
};
}  // namespace

TEST_F(ConverterAccessTest, ArrowsChangeAMarkedListAndSayTheNewConversion)
{
    auto* page = Show<CUnitConverterPage>(7);
    ASSERT_TRUE(page);
    const int slot = ui.Window().SelectedSlot();
    ui.Type("100");
    MarkNamed(page, "Category");
    struct Row {
        Qt::Key key;
        int category;
        const char* shown;      // what the combo box then shows
        const char* announced;  // what the page then speaks
    };
    const Row rows[] = {
        {Qt::Key_Down, 1, "Temperature", "Temperature, 100 \xC2\xB0""C = 212 \xC2\xB0""F"},
        {Qt::Key_Up, 0, "Distance", "Distance, 100 mi = 160.9344 km"},
        {Qt::Key_Up, 0, "Distance", "Distance, 100 mi = 160.9344 km"},  // the first entry stays
    };
    for (const Row& row : rows) {
        Key(row.key);
        EXPECT_EQ(page->Converter().Category(), row.category);
        EXPECT_EQ(page->AccessibleDescription(page->KeyFocus()), row.shown);
        EXPECT_EQ(page->Announced(), row.announced);
    }
    EXPECT_EQ(ui.Window().SelectedSlot(), slot);
    // Said through a notification, which screen readers speak as it shows.
    CAnnouncer* announcer = nullptr;
    for (QObject* child : ui.Window().children())
        if (auto* found = dynamic_cast<CAnnouncer*>(child)) announcer = found;
    ASSERT_TRUE(announcer);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(announcer)->role(), QAccessible::Notification);
    // The arrows stop before the entry that opens the clothing dialog.
    page->CategoryList()->SelectEntry(CUnitConverterPage::kClothingItem - 1);
    page->ChooseCategory(CUnitConverterPage::kClothingItem - 1);
    Key(Qt::Key_Down);
    EXPECT_EQ(page->Converter().Category(), CUnitConverterPage::kClothingItem - 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // A unit list too: the From unit becomes the next one.
    MarkNamed(page, "From");
    const int from = page->Converter().FromUnit();
    Key(Qt::Key_Down);
    EXPECT_EQ(page->Converter().FromUnit(), from + 1);
    EXPECT_EQ(page->Announced(), page->UnitList(1)->SelectedText() + ", " + page->ConversionText());
    // Leaving the page drops the mark: back on it, the arrows switch groups again.
    ui.Window().ChooseMenuItem(0);
    ui.SettleBand();
    Show<CUnitConverterPage>(7);
    EXPECT_EQ(page->ListHasFocus(), 0);
    Key(Qt::Key_Down);
    EXPECT_NE(ui.Window().SelectedSlot(), slot);
}

TEST_F(ConverterAccessTest, TheReverseControlKeepsItsNameAndSaysTheResult)
{
    auto* page = Show<CUnitConverterPage>(7);
    ASSERT_TRUE(page);
    ui.Type("5");
    MarkNamed(page, "Reverse");
    const int focus = page->KeyFocus();
    const std::string before = page->AccessibleDescription(focus);
    Key(Qt::Key_Space);
    // The same child, still the reverse control, now showing the other way round.
    EXPECT_EQ(page->KeyFocus(), focus);
    EXPECT_EQ(page->AccessibleName(focus), "Reverse");
    EXPECT_EQ(page->AccessibleRole(focus), EAccessRole::Button);
    EXPECT_EQ(page->AccessibleDescription(focus), "5 mi");
    EXPECT_EQ(page->Announced(), before + " = 5 mi");
}

TEST_F(ConverterAccessTest, EscapeKeepsTheChosenValue)
{
    auto* page = Show<CUnitConverterPage>(7);
    ASSERT_TRUE(page);
    MarkNamed(page, "Category");
    Key(Qt::Key_Space);
    CSkinListButton* list = page->CategoryList();
    ASSERT_TRUE(list->IsOpen());
    for (int i = 0; i < 9; ++i) QTest::keyClick(list->ListBox(), Qt::Key_Down);
    QTest::keyClick(list->ListBox(), Qt::Key_Escape);
    EXPECT_EQ(page->AccessibleDescription(page->KeyFocus()), "Distance");
    EXPECT_EQ(list->ListBox()->currentRow(), 0);
    EXPECT_EQ(page->Converter().Category(), 0);
}

TEST_F(ConverterAccessTest, TipAmountsAreSpokenWithTheirLabels)
{
    auto* page = Show<CTipPage>(5);
    ASSERT_TRUE(page);
    ui.Type("20");
    EXPECT_EQ(page->AccessibleValue(), "Total Per Person " + page->RowTexts().perPerson);
    MarkNamed(page, "Tip");
    Key(Qt::Key_Down);
    const CTipPage::Rows rows = page->RowTexts();
    EXPECT_EQ(page->Announced(), page->PercentageList()->SelectedText() + ", Tip Amount " + rows.tip +
                                     ", Total Per Person " + rows.perPerson);
    // More people: the tip stays, only the share changes.
    MarkNamed(page, "Split");
    Key(Qt::Key_Down);
    EXPECT_EQ(page->Announced(), page->PeopleList()->SelectedText() + ", Total Per Person " + page->RowTexts().perPerson);
}

TEST_F(ConverterAccessTest, ControlsOfAHiddenPageAreInvalidAndDoNothing)
{
    auto* page = Show<CUnitConverterPage>(7);
    ASSERT_TRUE(page);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(page);
    QAccessibleInterface* category = nullptr;
    for (int i = 0; i < face->childCount() && !category; ++i)
        if (face->child(i)->text(QAccessible::Name) == "Category") category = face->child(i);
    ASSERT_TRUE(category);
    ASSERT_TRUE(category->isValid());
    ui.Window().ChooseMenuItem(0);
    ui.SettleBand();
    ASSERT_FALSE(page->isVisible());
    EXPECT_FALSE(category->isValid());
    if (QAccessibleActionInterface* action = category->actionInterface())
        action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(page->CategoryList()->IsOpen());
    EXPECT_FALSE(page->CategoryList()->ListBox()->isVisible());
}

TEST_F(ConverterAccessTest, ClothingListsSayTheSizesTheyChange)
{
    CClothingDialog dialog(&ui.Window());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    const QList<QComboBox*> boxes = dialog.findChildren<QComboBox*>();
    ASSERT_GE(boxes.size(), 3);
    QComboBox* type = boxes[0];
    type->setFocus();
    QTest::keyClick(type, Qt::Key_Down);
    // The type, then each shown region's size.
    EXPECT_EQ(dialog.Spoken().rfind(type->currentText().toStdString() + ", U.S. ", 0), 0u) << dialog.Spoken();
    QComboBox* us = boxes[1];
    us->setFocus();
    QTest::keyClick(us, Qt::Key_Down);
    EXPECT_EQ(dialog.Spoken().rfind(us->currentText().toStdString() + ", U.K. ", 0), 0u) << dialog.Spoken();
    // A change the program makes is not spoken.
    const std::string before = dialog.Spoken();
    type->clearFocus();
    type->setCurrentIndex(0);
    EXPECT_EQ(dialog.Spoken(), before);
}
