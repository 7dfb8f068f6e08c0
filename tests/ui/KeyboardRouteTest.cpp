#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "skins/ButtonGroup.h"
#include "tests/ui/UiTestKit.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/GroupMenuPopup.h"
#include "ui/pages/KeypadPage.h"
#include "ui/window/TrayIcon.h"

namespace {

class KeyboardRouteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        CTrayIcon::OverrideAvailable(1);
    }
};

TEST_F(KeyboardRouteTest, FunctionKeys)
{
    struct Row {
        const char* typed;
        const char* shown;
    } rows[] = {
        {"81@", "9"},   {"5!", "120"}, {"3q", "9"},    {"4r", "0.25"},
        {"30s", "0.5"}, {"60O", "0.5"}, {"45t", "1"},  {"100l", "2"},
    };
    for (const Row& row : rows) {
        UiWindow ui;
        ui.Type(row.typed);
        EXPECT_EQ(ui.Display(), row.shown) << row.typed;
    }
    UiWindow ui;
    ui.Type("5");
    QTest::keyClick(&ui.Window(), Qt::Key_F9);
    EXPECT_EQ(ui.Display(), "-5");
}

TEST_F(KeyboardRouteTest, ValueSpokenWithItsPowerOfTen)
{
    UiWindow ui;
    ui.Type("15^24=");
    const std::string spoken = ui.Window().Display()->SpokenValue();
    const std::string tail = " times ten to the 28";  // not "028" or "+28"
    ASSERT_GT(spoken.size(), tail.size());
    EXPECT_EQ(spoken.substr(spoken.size() - tail.size()), tail) << spoken;
    EXPECT_EQ(spoken.substr(0, 5), "1.683") << spoken;
    EXPECT_EQ(ui.Window().Display()->SpokenIndicators(), "DEG, =");
}

TEST_F(KeyboardRouteTest, F10OpensTheMenuAtTheCurrentGroup)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    bool seen = false;
    // The key returns at once; the menu opens from the event loop.
    QTest::keyClick(&w, Qt::Key_F10);
    EXPECT_FALSE(CGroupMenuPopup::Current());
    QTimer::singleShot(0, [&] {
        CGroupMenuPopup* popup = CGroupMenuPopup::Current();
        ASSERT_TRUE(popup);
        seen = true;
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(popup);
        EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
        EXPECT_EQ(menu->parent()->object(), w.Display());
        QAccessibleInterface* item = menu->focusChild();
        ASSERT_TRUE(item);
        EXPECT_EQ(item->role(), QAccessible::MenuItem);
        EXPECT_EQ(item->text(QAccessible::Name).toStdString(), w.MenuItems()[0].text);
        EXPECT_TRUE(item->state().checked);
        EXPECT_FALSE(menu->child(1)->state().checked);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
    });
    QApplication::processEvents();
    EXPECT_TRUE(seen);
    QApplication::processEvents();
    EXPECT_EQ(w.SelectedSlot(), 1);
}

TEST_F(KeyboardRouteTest, TabMovesOverTheKeypadAndSpacePresses)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    auto* group = dynamic_cast<CKeypadPage*>(w.PageInView());
    ASSERT_TRUE(group);
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(group);
    QAccessibleInterface* display = QAccessible::queryAccessibleInterface(w.Display());
    EXPECT_FALSE(page->focusChild());  // a group comes into view with the focus on itself
    QTest::keyClick(&w, Qt::Key_Tab);
    ASSERT_TRUE(display->focusChild());  // the read-out, in the display's panel
    EXPECT_EQ(display->focusChild()->text(QAccessible::Name).toStdString(), "0");
    EXPECT_EQ(display->focusChild()->role(), QAccessible::EditableText);
    EXPECT_FALSE(page->focusChild());
    // The group menu button, then the group's first key; back round past the
    // read-out to the main keypad's last key.
    QTest::keyClick(&w, Qt::Key_Tab);
    EXPECT_FALSE(page->focusChild());
    EXPECT_EQ(w.Display()->AccessibleFocus(), CDisplayPage::kMenuControl);
    QTest::keyClick(&w, Qt::Key_Tab);
    ASSERT_TRUE(page->focusChild());
    EXPECT_EQ(page->focusChild()->role(), QAccessible::Button);
    EXPECT_EQ(w.Display()->AccessibleFocus(), -1);
    for (int i = 0; i < 3; ++i) QTest::keyClick(&w, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_FALSE(page->focusChild());
    EXPECT_EQ(w.MainKeypad()->AccessibleFocus(), w.MainKeypad()->AccessibleCount() - 1);
    // Space presses the marked button: walk to the main keypad's "7".
    while (w.MainKeypad()->AccessibleName(w.MainKeypad()->AccessibleFocus()) != "7")
        QTest::keyClick(&w, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(&w, Qt::Key_Space);
    QApplication::processEvents();
    EXPECT_EQ(ui.Display(), "7");
}

TEST_F(KeyboardRouteTest, WindowIsAFrameAndTheReadOutListsTheStack)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&w)->role(), QAccessible::Window);
    w.Calculator().SetCalcMode(kModeRpn);
    ui.Type("3\r5");
    EXPECT_EQ(w.Display()->AccessibleName(0), "5");
    EXPECT_EQ(w.Display()->AccessibleDescription(0), "DEG, Y: 3, Z: 0, T: 0");
}

TEST_F(KeyboardRouteTest, MemoryModeKeysShowTheModeInEffect)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    while (w.PageInView()->accessibleName() != "Memory") {
        ASSERT_TRUE(w.NextSlot());
        ui.SettleBand();
    }
    CSkinPage* page = w.PageInView();
    const auto checked = [&](const char* name) {
        for (int i = 0; i < page->AccessibleCount(); ++i)
            if (page->AccessibleName(i) == name) return page->AccessibleChecked(i);
        return -2;
    };
    EXPECT_EQ(checked("memory mode: add"), 1);
    EXPECT_EQ(checked("memory mode: store"), 0);
    EXPECT_EQ(checked("memory 1"), -1);  // a register key is no toggle
    ASSERT_TRUE(ui.PressNamed("memory mode: store"));
    EXPECT_EQ(checked("memory mode: add"), 0);
    EXPECT_EQ(checked("memory mode: store"), 1);
}

TEST_F(KeyboardRouteTest, NoFocusMarkStaysBehindAChangeOfGroup)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    while (w.MainKeypad()->AccessibleFocus() < 0) QTest::keyClick(&w, Qt::Key_Tab, Qt::ShiftModifier);
    int converter = 0;
    while (converter < w.SlotCount() && FindGroupKind(w.SlotKind(converter))->page == EGroupPage::Keypad) ++converter;
    ASSERT_LT(converter, w.SlotCount());
    w.ChooseMenuItem(converter);
    ui.SettleBand();
    EXPECT_EQ(w.MainKeypad()->AccessibleFocus(), -1);
}

TEST_F(KeyboardRouteTest, CtrlCommaOpensOptions)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    int opened = 0;
    w.onOptions = [&](int) { ++opened; };
    QTest::keyClick(&w, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(opened, 1);
}

}  // namespace
