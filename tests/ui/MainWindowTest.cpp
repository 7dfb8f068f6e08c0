#include <gtest/gtest.h>

#include <climits>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QScreen>
#include <QFile>
#include <QImage>
#include <QUrl>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>

#include "settings/SettingsStore.h"
#include "skins/ButtonGroup.h"
#include "strings/Language.h"
#include "tests/skins/SkinTestKit.h"
#include "tests/ui/UiTestKit.h"
#include "strings/StringIds.h"
#include "ui/common/HelpLauncher.h"
#include "ui/common/ResourceText.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/GroupMenuPopup.h"
#include "ui/pages/SkinMenuButton.h"
#include "ui/window/SaveScheduler.h"
#include "ui/window/TrayIcon.h"

namespace {
const char kCalcKey[] = "SOFTWARE\\Fernhill\\Tallix\\Calculator";
const char kMenuKey[] = "SOFTWARE\\Fernhill\\Tallix\\Menu";
const char kGeneralKey[] = "SOFTWARE\\Fernhill\\Tallix\\General";

struct KeyRow {
    int mode;
    const char* pairs;  // skin buttons pressed
    const char* typed;  // then typed on the keyboard
    const char* shown;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        CTrayIcon::OverrideAvailable(1);
    }
};

TEST_F(MainWindowTest, ButtonsAndKeysDriveTheDisplay)
{
    const KeyRow rows[] = {
        {1, "0,2 1,0 0,3 1,2 0,4 5,0", "", "14"},  // 2 + 3 x 4 = with precedence
        {3, "0,2 1,0 0,3 1,2 0,4 5,0", "", "20"},  // Chain: left to right
        {1, "", "2k3=", "5"},                      // "k" adds like "+"
        {1, "", "7*6\r", "42"},
        {1, "0,1 0,2 0,3", "\b", "12"},            // Backspace edits the entry
        {1, "0,9 1,0", "", "9"},                   // the operand stays shown after an operator
        {4, "0,6 5,0 0,7 1,2", "", "42"},          // R.P.N.: 6 ENTER 7 x
    };
    for (const KeyRow& row : rows) {
        CMemoryRegistry registry;
        registry.WriteNumber(kCalcKey, "CalcMode", row.mode);
        UiWindow ui(&registry);
        ui.PressAll(row.pairs);
        if (*row.typed) {
            if (std::string(row.typed) == "\b")
                QTest::keyClick(&ui.Window(), Qt::Key_Backspace);
            else
                ui.Type(row.typed);
        }
        EXPECT_EQ(ui.Display(), row.shown) << row.pairs << " / " << row.typed;
    }
}

TEST_F(MainWindowTest, ScreenReaderPressesNamedButtons)
{
    UiWindow ui;
    for (const char* name : {"2", "plus", "3", "times", "4", "equals"}) EXPECT_TRUE(ui.PressNamed(name)) << name;
    EXPECT_EQ(ui.Display(), "14");
}

TEST_F(MainWindowTest, HelpOpensTheGroupsAnchor)
{
    UiWindow ui;
    const std::string url = HelpUrl(ui.Window().Resources(), "BGDefault");
    EXPECT_NE(url.find("/TallixEn.htm#BGDefault"), std::string::npos) << url;
    EXPECT_TRUE(QFile::exists(QUrl(QString::fromStdString(url)).toLocalFile()));
}

TEST_F(MainWindowTest, HelpWithoutABrowserTellsWhereThePageIs)
{
    // The off-screen platform opens no URL, as a desktop without a browser.
    const struct {
        int language;
        const char* page;
        const char* caption;
    } rows[] = {{9, "/TallixEn.htm", "Help"}, {7, "/TallixDe.htm", "Hilfe"}, {12, "/TallixFr.htm", "Aide"}};
    for (const auto& row : rows) {
        UiWindow ui;
        SetLanguage(row.language, ui.Registry());
        RecordingMessageBox boxes;
        EXPECT_EQ(OpenHelpTopic(ui.Window().Resources(), "BGDefault"), 0);
        ASSERT_EQ(boxes.shown.size(), 1u) << row.page;
        const std::string& text = boxes.shown[0].first;
        EXPECT_EQ(boxes.shown[0].second, row.caption);
        const size_t at = text.find(row.page);
        ASSERT_NE(at, std::string::npos) << text;
        const size_t start = text.rfind('\n', at) + 1;
        EXPECT_TRUE(QFile::exists(QString::fromStdString(text.substr(start, at + strlen(row.page) - start)))) << text;
        EXPECT_EQ(text.find("%s"), std::string::npos);
        ResetLanguage();
    }
}

TEST_F(MainWindowTest, DisplayIndicators)
{
    UiWindow ui;
    CCalcController& calc = ui.Window().Calculator();
    calc.SetMemoryText(0, "0");
    calc.SetMemoryText(2, "12");
    calc.SetMemoryText(7, "-1");
    DisplayContent c = ui.Window().Display()->Content();
    EXPECT_EQ(c.modeText, "DEG");
    EXPECT_EQ(c.memory[0] + c.memory[1] + c.memory[3] + c.memory[4] + c.memory[5] + c.memory[6], 0);
    EXPECT_EQ(c.memory[2], 1);
    EXPECT_EQ(c.memory[7], 1);
    // The sign of M6 to M8 is painted too (in the row under M3 to M5).
    const auto lowerRow = [&] { return ui.Window().Display()->grab().toImage().copy(160, 38, 80, 16); };
    const QImage withM8 = lowerRow();
    calc.SetMemoryText(7, "0");
    EXPECT_NE(withM8, lowerRow());
    calc.Dispatch(10, 16);
    c = ui.Window().Display()->Content();
    EXPECT_EQ(c.modeText, "");
    EXPECT_EQ(c.signText, "HEX");
    EXPECT_EQ(BaseName(3), "Base 3");
}

TEST_F(MainWindowTest, ArrowsSwitchGroupsWithoutLosingKeys)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    const int count = w.SlotCount();
    ASSERT_GT(count, 4);
    // Keys pressed while the band slides each count: the slide ends at once.
    for (int i = 0; i < 4; ++i) QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_EQ(w.SelectedSlot(), 4);
    QTest::keyClick(&w, Qt::Key_Up);
    EXPECT_EQ(w.SelectedSlot(), 3);
    ui.SettleBand();
    EXPECT_TRUE(w.PageOfKind(w.SlotKind(3))->isVisible());
    EXPECT_FALSE(w.PageOfKind(w.SlotKind(1))->isVisible());
    w.ChooseMenuItem(0);
    ui.SettleBand();
    // From slot 0 the previous slot is the last one.
    QTest::keyClick(&w, Qt::Key_Up);
    EXPECT_EQ(w.SelectedSlot(), count - 1);
    ui.SettleBand();
    // Converters hide the display; keypad groups show it again.
    for (int slot = 0; slot < count; ++slot) {
        const GroupKind* row = FindGroupKind(w.SlotKind(slot));
        ASSERT_TRUE(row);
        w.ChooseMenuItem(slot);
        ui.SettleBand();
        EXPECT_EQ(w.Display()->isVisible(), row->page == EGroupPage::Keypad) << row->section;
        EXPECT_TRUE(w.PageOfKind(row->kind)->isVisible());
    }
}

TEST_F(MainWindowTest, BandFramesAreSteppedByTime)
{
    CMemoryRegistry registry;
    registry.WriteNumber("SOFTWARE\\Fernhill\\Tallix\\General", "Scrolling", 2);  // slow: 5 ms a frame
    UiWindow ui(&registry);
    CMainWindow& w = ui.Window();
    ASSERT_EQ(w.NextSlot(), 1);
    w.PageOfKind(w.SlotKind(1))->repaint();
    ASSERT_TRUE(w.Band().Switch().IsRunning());
    EXPECT_EQ(w.Band().Tick(5000 * 10), 1);
    EXPECT_EQ(w.Band().Switch().FramesDrawn(), 10);
    // Another switch ends the slide at once and goes ahead.
    EXPECT_EQ(w.NextSlot(), 1);
    EXPECT_FALSE(w.Band().Switch().IsRunning());
    EXPECT_EQ(w.SelectedSlot(), 2);
    EXPECT_EQ(w.Band().Tick(5000 * 71), 0);
}

// Back from the tray the window stands where it was (the first restore under
// a window manager: TrayPlace.sh); a window of fixed size offers no maximize.
TEST_F(MainWindowTest, TrayKeepsThePlaceAndNoMaximizeIsOffered)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    const QPoint place = w.pos();
    w.SendToTray();
    w.RestoreFromTray();
    EXPECT_EQ(w.pos(), place);
    const Qt::WindowFlags flags = w.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
}

TEST_F(MainWindowTest, GroupMenuChoosesGroupsAndExits)
{
    CMemoryRegistry registry;
    {
        UiWindow ui(&registry);
        CMainWindow& w = ui.Window();
        CSkinMenuButton* menu = w.Display()->MenuButton();
        ASSERT_TRUE(menu);
        const SkinRect r = menu->ButtonRect();
        const QPoint centre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        const auto chooseFromMenu = [&](int command) {
            QTimer::singleShot(0, [command] {
                ASSERT_TRUE(CGroupMenuPopup::Current());
                CGroupMenuPopup::Current()->Choose(command);
            });
            QTest::mousePress(w.Display(), Qt::LeftButton, {}, centre);
            QTest::mouseRelease(w.Display(), Qt::LeftButton, {}, centre);
            QApplication::processEvents();
        };
        chooseFromMenu(3);
        EXPECT_EQ(w.SelectedSlot(), 2);
        EXPECT_EQ(w.MenuItems()[2].marked, 1);
        EXPECT_EQ(w.MenuItems()[0].marked, 0);
        ui.SettleBand();
        // A separator does nothing; Exit saves.
        w.ChooseMenuItem(w.SlotCount());
        EXPECT_EQ(w.SelectedSlot(), 2);
        chooseFromMenu(GroupMenuLayout{w.SlotCount()}.Exit() + 1);
    }
    int32_t selected = -1;
    ASSERT_TRUE(registry.ReadNumber(kMenuKey, "SelectedWindow", selected));
    EXPECT_EQ(selected, 2);
}

TEST_F(MainWindowTest, MenuItemsMeasureFromTheSkin)
{
    UiWindow ui;
    CSkinMenuButton* menu = ui.Window().Display()->MenuButton();
    ASSERT_TRUE(menu);
    int width = 0, height = 0;
    menu->MeasureItem(0, width, height);
    EXPECT_EQ(width, 170 - 3);  // MenuItemWidth of the shipped skin
    EXPECT_EQ(height, 22);
    menu->MeasureItem(ui.Window().SlotCount(), width, height);
    EXPECT_EQ(height, 5);
}

TEST_F(MainWindowTest, StartInTrayAndRestore)
{
    UiWindow ui(nullptr, 1);
    CMainWindow& w = ui.Window();
    EXPECT_TRUE(w.InTray());
    w.show();
    EXPECT_FALSE(w.isVisible());
    w.PostMessage(kCmdRestore, 0, 0);
    QApplication::processEvents();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.InTray());
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.InTray());
}

// "-m" hides the window only where a tray can bring it back.
TEST_F(MainWindowTest, StartInTrayNeedsATray)
{
    CTrayIcon::OverrideAvailable(0);
    UiWindow ui(nullptr, 1);
    EXPECT_FALSE(ui.Window().InTray());
    CTrayIcon::OverrideAvailable(1);
}

// Quitting closes every window; with a tray that close must not hide the
// window instead and cancel the quit.
TEST_F(MainWindowTest, ExitQuitsWhereThereIsATray)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    QTimer::singleShot(0, &w, [&w] { w.ChooseMenuItem(GroupMenuLayout{w.SlotCount()}.Exit()); });
    // Bounds a quit that never comes.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(3); });
    guard.start(30000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(w.InTray());
}

// The first close to the tray says where the window went, once for good.
TEST_F(MainWindowTest, FirstCloseToTheTrayIsExplained)
{
    CMemoryRegistry registry;
    {
        UiWindow ui(&registry);
        ui.Window().close();
        ASSERT_TRUE(ui.Window().Tray());
        EXPECT_EQ(ui.Window().Tray()->LastMessage(), ResourceText(StringId::TrayNoticeText));
        EXPECT_FALSE(ui.Window().Tray()->LastMessage().isEmpty());
        ui.Window().SaveState();
    }
    UiWindow again(&registry);
    again.Window().close();
    ASSERT_TRUE(again.Window().Tray());
    EXPECT_TRUE(again.Window().Tray()->LastMessage().isEmpty());
}

// A saved place is restored only where it is on a screen now; none saved
// leaves the window to the window manager.
TEST_F(MainWindowTest, SavedPlaceIsRestoredOnlyOnAScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    struct Row { bool saved; int left; int top; bool moved; } rows[] = {
        {false, 0, 0, false},
        {true, screen.left() + 30, screen.top() + 20, true},
        {true, screen.right() + 500, screen.top() + 20, false},
        {true, screen.left() - 2000, screen.top() + 20, false},
        {true, screen.left() + 30, screen.bottom() + 300, false},
    };
    for (const Row& row : rows) {
        CMemoryRegistry registry;
        if (row.saved) {
            registry.WriteNumber(kGeneralKey, "WindowPositionLeft", row.left);
            registry.WriteNumber(kGeneralKey, "WindowPositionTop", row.top);
        }
        UiWindow ui(&registry, 1);
        EXPECT_EQ(ui.Window().testAttribute(Qt::WA_Moved), row.moved) << row.left << "," << row.top;
        if (row.moved) {
            EXPECT_EQ(ui.Window().pos(), QPoint(row.left, row.top));
        }
    }
}

TEST(PlacementTest, TitleStripMustLieOnAScreen)
{
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    struct Row { int left; int top; bool on; } rows[] = {
        {100, 100, true}, {-100, 0, true}, {-150, 0, false}, {1900, 1000, true},
        {3070, 500, true}, {3090, 500, false}, {100, 1075, false}, {2000, 1010, true}, {2000, 1020, false}, {100, -5, true},
        {100, -20, false}, {INT_MAX, INT_MAX, false}, {INT_MAX - 100, 500, false}, {INT_MIN, INT_MIN, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(IsPlaceOnScreens(QPoint(row.left, row.top), QSize(240, 294), screens), row.on)
            << row.left << "," << row.top;
    // A place at the far end does not wrap round to the other.
    const QList<QRect> farLeft = {QRect(INT_MIN + 1, INT_MIN + 1, 1000, 1000)};
    EXPECT_FALSE(IsPlaceOnScreens(QPoint(INT_MAX - 100, INT_MAX - 5), QSize(240, 294), farLeft));
}

TEST(PlacementTest, APlaceOnAShrunkenScreenIsPulledInWhole)
{
    const QRect screen(0, 0, 512, 384);
    const struct { QPoint from, to; } rows[] = {
        {{100, 50}, {100, 50}}, {{332, 228}, {272, 90}}, {{-30, -5}, {0, 0}}, {{400, 10}, {272, 10}},
    };
    for (const auto& row : rows) EXPECT_EQ(KeepOnScreen(row.from, QSize(240, 294), screen), row.to) << row.from.x();
    EXPECT_EQ(KeepOnScreen({50, 50}, QSize(600, 500), screen), QPoint(0, 0));
}

TEST_F(MainWindowTest, SettingsAndEditedSkinSurviveARestart)
{
    ProgramFolderCopy folder;
    CMemoryRegistry registry;
    {
        UiWindow ui(&registry, 0, folder.Path());
        ui.PressAll("0,4 0,2");
        ui.Window().Command(4, 0);  // 42 into register 0
        ui.Window().ChooseMenuItem(3);
        ui.Window().Resources().Description().SetValue("Display", "TextColor", "1,2,3");
        ui.Window().Resources().MarkDescriptionEdited();
        ui.Window().SaveState();
    }
    UiWindow again(&registry, 0, folder.Path());
    EXPECT_EQ(again.Window().SelectedSlot(), 3);
    EXPECT_EQ(again.Window().Calculator().MemoryText(0), "42");
    std::string color;
    again.Window().Resources().GetSkinString(color, "Display", "TextColor", "");
    EXPECT_EQ(color, "1,2,3");
}

// Timers registered on the application and every window, per object: each
// one wakes the program however long it sits idle.
std::map<QObject*, int> RegisteredTimers()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    std::map<QObject*, int> timers;
    std::function<void(QObject*)> visit = [&](QObject* object) {
        if (int n = static_cast<int>(dispatcher->registeredTimers(object).size())) timers[object] = n;
        for (QObject* child : object->children()) visit(child);
    };
    visit(QCoreApplication::instance());
    for (QWidget* window : QApplication::topLevelWidgets()) visit(window);
    return timers;
}

// The timers registered since `before` (earlier tests may leave one-shot
// timers of their own running).
int NewTimers(const std::map<QObject*, int>& before)
{
    int added = 0;
    for (const auto& [object, n] : RegisteredTimers()) {
        const auto had = before.find(object);
        added += std::max(0, n - (had == before.end() ? 0 : had->second));
    }
    return added;
}

// An idle window is never woken (no polling for changes to save): a change is
// saved a moment after it, and the window sleeps again.
TEST_F(MainWindowTest, AnIdleWindowIsNeverWoken)
{
    const std::map<QObject*, int> before = RegisteredTimers();
    UiWindow ui;
    CSaveScheduler* saves = ui.Window().SaveScheduler();
    ASSERT_NE(saves, nullptr);
    saves->SaveNow(); // what start-up changed
    EXPECT_EQ(NewTimers(before), 0);
    ui.Type("7");
    EXPECT_TRUE(saves->Pending());
    ui.Window().Command(4, 0); // into register 0
    saves->SaveNow();
    std::string memory;
    EXPECT_EQ(1, ui.Registry().ReadText("SOFTWARE\\Fernhill\\Tallix\\Memory", "Memory1", memory, 32));
    EXPECT_EQ(memory, "7");
    EXPECT_FALSE(saves->Pending());
    EXPECT_EQ(NewTimers(before), 0);
}

}  // namespace

TEST_F(MainWindowTest, CtrlHShowsTheHistoryWithoutTakingAChosenGroup)
{
    UiWindow ui;
    CMainWindow& w = ui.Window();
    const int count = w.SlotCount();
    const int lastKind = CSettingsStore::Instance().MenuItem(count - 1);
    QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier);
    ui.SettleBand();
    ASSERT_EQ(w.SlotKind(w.SelectedSlot()), kHistoryKind);
    EXPECT_TRUE(w.PageOfKind(kHistoryKind)->isVisible());
    // The user's groups and their choice stay as they were.
    EXPECT_EQ(CSettingsStore::Instance().NumberOfWindows(), count);
    EXPECT_EQ(CSettingsStore::Instance().MenuItem(count - 1), lastKind);
    EXPECT_EQ(CSettingsStore::Instance().SelectedWindow(), 0);
    // A second Ctrl+H finds the history already there.
    w.ChooseMenuItem(0);
    ui.SettleBand();
    QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier);
    ui.SettleBand();
    EXPECT_EQ(w.SlotCount(), count + 1);
    EXPECT_EQ(w.SlotKind(w.SelectedSlot()), kHistoryKind);
}
