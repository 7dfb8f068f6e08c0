#pragma once
// The program's one window: the display, the main keypad and one page per
// group of the menu, tiled from the skin. It turns button messages and typed
// keys into calculator commands, switches groups with the sliding band,
// hides in the tray instead of closing, and saves everything at exit.
//
// Messages (platform/WindowMessage.h) reach it through PostMessage, queued on
// the interface thread, or SendMessage, which waits until they are handled.

#include <QWidget>

#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "calculator/CalcController.h"
#include "calculator/KeyFeedback.h"
#include "platform/WindowMessage.h"
#include "settings/SettingsOwners.h"
#include "ui/options/OptionsHost.h"
#include "ui/pages/GroupMenuItems.h"
#include "ui/pages/PageBand.h"
#include "ui/pages/PageFactory.h"
#include "ui/window/PageSet.h"
#include "ui/window/WindowPlace.h"
#include "ui/window/WindowTray.h"

class CAnnouncer;
class CConverterPage;
class CDisplayPage;
class CKeypadPage;
class CMessageReceiver;
class CSaveScheduler;
class CSkinPage;
class CSkinResources;
class CTrayIcon;
class RegistryAccess;

class CMainWindow : public QWidget, public IMessageTarget, public DoubleScaleOwner, public IOptionsHost {
public:
    CMainWindow(RegistryAccess& registry, CSkinResources& resources);
    ~CMainWindow() override;

    // The start-up steps that belong to the window, in order: language,
    // currency table, settings, skin (firstStartSkin when none is stored),
    // the scale (from the screen's density unless the user chose it), group
    // menu and pages, the tray start ("-m", only where there is a tray), the
    // saved position (only where it is on a screen now). startInTray: keep
    // the window hidden.
    void Initialise(int startInTray);

    void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;
    void SetDoubleScale(int on) override { m_doubleScale = on ? 1 : 0; }
    int DoubleScale() const override { return m_doubleScale; }

    // A command pair from a skin button: click, dispatch, repaint.
    void Command(int type, int id);
    // A typed character of the keyboard table (no click; refusals not counted).
    void Character(char ch);
    // Keyboard and wheel changes of group; a slide still running ends at
    // once. 0 when there is no group.
    int NextSlot();
    int PreviousSlot();
    // The group menu's choice of item index.
    void ChooseMenuItem(int index);
    // Opens the group menu of the page in view from the event loop, its
    // current group highlighted (F10 and the Menu key).
    void OpenGroupMenu();
    // The page of the selected group.
    CSkinPage* PageInView() const { return PageOfKind(SlotKind(m_selected)); }
    void SendToTray();
    void RestoreFromTray();
    int InTray() const { return m_tray.InTray(); }
    // Made when the window first goes to the tray; null before.
    const CTrayIcon* Tray() const { return m_tray.Icon(); }
    // Saves and ends the program.
    void ExitProgram();
    void OpenHelp();
    // Window rectangle, settings and an edited skin description, written
    // once at exit.
    void SaveState();
    // The same, whenever they changed: a second after anything that may
    // have changed them while the window runs (never while it is idle).
    void SaveChanges();
    static constexpr int kSaveDelayMs = 1000;
    // Watches for changes and runs SaveChanges; null before Initialise.
    CSaveScheduler* SaveScheduler() const { return m_saveScheduler; }
    // Runs the handler of message 1065 now.
    void BuildRemainingPages() override;

    // What follows the Options dialog: the custom group pages repaint their
    // background; a changed skin or scale reloads the skin and rebuilds the
    // menu and the pages from the first menu entry; changed groups rebuild
    // the menu and the pages.
    void AfterOptions(int skinChanged, int groupsChanged) override;
    // Loads the group page of a keypad kind again from the skin description
    // (after the description changed); 0 when the page is not built.
    int ReloadGroupPage(int kind) override;

    QWidget* HostWidget() override { return this; }
    CCalcController& Calculator() override { return m_calculator; }
    CSkinResources& Resources() override { return m_resources; }
    RegistryAccess& Registry() override { return m_registry; }
    CPageBand& Band() { return m_band; }
    int SelectedSlot() const { return m_selected; }
    int SlotCount() const { return static_cast<int>(m_slotKinds.size()); }
    int SlotKind(int slot) const;
    // The page of a group kind (1 to 15), or null when it is not built.
    CSkinPage* PageOfKind(int kind) const override;
    CDisplayPage* Display() const { return m_pageSet.Display(); }
    CKeypadPage* MainKeypad() const { return m_pageSet.MainKeypad(); }
    const std::vector<GroupMenuItem>& MenuItems() const { return m_menuItems; }

    // Makes the converter pages; set by the program before Initialise (unset:
    // those kinds have no page).
    ConverterPageFactory converterPageFactory = nullptr;
    // Called at the end of start-up, once more when the other pages are built,
    // and whenever the window gains the focus (the automatic rates download
    // check); and when Options... is chosen. Set by the program (unset:
    // Options is not offered).
    std::function<void()> onFocusGained;
    std::function<void(int startOnCurrency)> onOptions;
    // The skin file of a first start (no skin stored yet); unset: the default.
    std::function<std::string()> firstStartSkin;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab belongs to the pages (their lists), not to widget focus.
    bool focusNextPrevChild(bool) override { return false; }

public:
    void setVisible(bool visible) override;

private:
    // The screen reader's focus follows the focus mark of the page in view.
    void AnnounceFocus();
    // Tab and Shift+Tab over a keypad group: its read-out, its buttons, then
    // the main keypad's; 0 when no keypad group is in view.
    int MoveKeypadFocus(bool back);
    std::vector<std::pair<CSkinPage*, int>> KeypadFocusOrder() const;
    // The page whose control has the keypad's focus mark; null for none.
    CSkinPage* KeypadFocusPage() const;
    // Puts the focus mark on control index of page (null: nowhere).
    void SetKeypadFocus(CSkinPage* page, int index);
    // Speaks the converted value of a converter page in view when it changed.
    void SpeakConverted();
    // Speaks what a calculator key did (see CKeyFeedback) when the display is
    // in view, else the converted value.
    void SpeakKey(int type, int id, int accepted, bool typed);
    // F2: the value, the signs beside it and the R.P.N. stack.
    void SpeakDisplay();
    void Say(const std::string& text);
    // Space on the keypad button with the focus mark presses it; 0 for none.
    int PressKeypadFocus();
    // The keys that are no calculator keys (menu, Options, Help, Exit, focus); 1 when taken.
    int RouteKey(int key, int modifiers);
    // Switches to the history page, adding it to the menu when it is not there.
    void ShowHistory();
    void HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam);
    void LoadSkin();
    void BuildMenuItems();
    // The group menu's items for the slots of now.
    void MakeMenuItems();
    void BuildPages();
    // Skin, menu and pages anew (after the pages were destroyed).
    void Rebuild();
    void SwitchToSlot(int slot, int previous, int direction);
    void ShowSlotPage(int slot, bool show);
    void InvalidateValuePages();
    int IsLandscape() const;
    // The double scale where the user never chose one.
    void ChooseScale();
    void OnScreenChanged();
    void RestorePlace();
    // A value to save may have changed: saved a moment later.
    void ScheduleSave();

    RegistryAccess& m_registry;
    CSkinResources& m_resources;
    CMessageReceiver* m_messages;
    CCalcController m_calculator;
    CKeyFeedback m_feedback{m_calculator};
    CPageBand m_band;
    int m_doubleScale = 0;
    std::vector<int> m_slotKinds;
    int m_selected = 0;
    int m_previous = 0;
    std::vector<GroupMenuItem> m_menuItems;
    CPageSet m_pageSet;
    CWindowTray m_tray;
    int m_landscape = 0;
    int m_saved = 0;
    int m_active = 0;
    int m_remainingPending = 0;
    CAnnouncer* m_announcer = nullptr;
    std::string m_spoken;
    int m_exiting = 0;
    int m_screenWatched = 0;
    CSaveScheduler* m_saveScheduler = nullptr;
};
