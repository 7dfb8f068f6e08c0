// The main window's keyboard route to everything and the screen reader's
// focus: the group menu, Options, Help and Exit by key, and a focus mark
// over the keypad that assistive technology follows.
#include <QFocusEvent>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

#include "settings/SettingsStore.h"
#include "ui/common/Announcer.h"
#include "ui/pages/ConverterPage.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/KeypadPage.h"
#include "ui/pages/PageAccessible.h"
#include "ui/pages/SkinMenuButton.h"
#include "ui/window/MainWindow.h"

void CMainWindow::OpenGroupMenu()
{
    CSkinMenuButton* menu = nullptr;
    if (auto* converter = dynamic_cast<CConverterPage*>(PageInView()))
        menu = converter->MenuButton();
    else if (Display())
        menu = Display()->MenuButton();
    if (menu) menu->OpenLater();
}

void CMainWindow::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // After the window's own focus news, the control a screen reader is on.
    QTimer::singleShot(0, this, [this] { AnnounceFocus(); });
}

void CMainWindow::AnnounceFocus()
{
    if (!isActiveWindow()) return;
    CSkinPage* page = KeypadFocusPage();
    NotifyAccessibleFocus(page ? page : PageInView());
}

std::vector<std::pair<CSkinPage*, int>> CMainWindow::KeypadFocusOrder() const
{
    std::vector<std::pair<CSkinPage*, int>> order;
    auto* group = dynamic_cast<CKeypadPage*>(PageInView());
    if (!group) return order;
    // The read-out, the group menu button, the group's keys, the main keypad's.
    if (Display())
        for (int i = 0; i < Display()->AccessibleCount(); ++i) order.emplace_back(Display(), i);
    for (int i = 0; i < group->AccessibleCount(); ++i) order.emplace_back(group, i);
    if (MainKeypad())
        for (int i = 0; i < MainKeypad()->AccessibleCount(); ++i) order.emplace_back(MainKeypad(), i);
    return order;
}

CSkinPage* CMainWindow::KeypadFocusPage() const
{
    for (const auto& [page, index] : KeypadFocusOrder())
        if (page->AccessibleFocus() == index) return page;
    return nullptr;
}

int CMainWindow::MoveKeypadFocus(bool back)
{
    const std::vector<std::pair<CSkinPage*, int>> order = KeypadFocusOrder();
    if (order.empty()) return 0;
    const int count = static_cast<int>(order.size());
    int at = -1;
    for (int i = 0; i < count && at < 0; ++i)
        if (order[i].first->AccessibleFocus() == order[i].second) at = i;
    const int next = at < 0 ? (back ? count - 1 : 0) : (at + (back ? count - 1 : 1)) % count;
    SetKeypadFocus(order[next].first, order[next].second);
    AnnounceFocus();
    return 1;
}

void CMainWindow::SetKeypadFocus(CSkinPage* page, int index)
{
    if (auto* group = dynamic_cast<CKeypadPage*>(PageInView())) group->SetKeyFocus(page == group ? index : -1);
    if (MainKeypad()) MainKeypad()->SetKeyFocus(page == MainKeypad() ? index : -1);
    if (Display()) Display()->SetKeyFocus(page == Display() ? index : -1);
}

int CMainWindow::PressKeypadFocus()
{
    CSkinPage* page = KeypadFocusPage();
    const int focus = page ? page->AccessibleFocus() : -1;
    if (focus < 0 || page->AccessibleRole(focus) != EAccessRole::Button) return 0;
    page->AccessiblePress(focus);
    return 1;
}

int CMainWindow::RouteKey(int key, int modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier, alt = modifiers & Qt::AltModifier;
    switch (key) {
    case Qt::Key_F10:
    case Qt::Key_Menu:
        if (ctrl || alt) return 0;
        OpenGroupMenu();
        return 1;
    case Qt::Key_F1: OpenHelp(); return 1;
    case Qt::Key_Comma:
        if (!ctrl || !onOptions) return 0;
        ChooseMenuItem(GroupMenuLayout{SlotCount()}.Options());
        return 1;
    case Qt::Key_Q:
        if (!ctrl) return 0;
        ExitProgram();
        return 1;
    case Qt::Key_H:
        if (!ctrl || alt) return 0;
        ShowHistory();
        return 1;
    case Qt::Key_F2:
        if (ctrl || alt) return 0;
        SpeakDisplay();
        return 1;
    case Qt::Key_F9:
        Command(2, 18);  // change sign, as on desktop calculators
        return 1;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return !ctrl && !alt && MoveKeypadFocus(key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier));
    case Qt::Key_Space: return !ctrl && !alt && PressKeypadFocus();
    default: return 0;
    }
}

void CMainWindow::ShowHistory()
{
    const auto at = std::find(m_slotKinds.begin(), m_slotKinds.end(), kHistoryKind);
    if (at != m_slotKinds.end()) {
        ChooseMenuItem(static_cast<int>(at - m_slotKinds.begin()));
        return;
    }
    // Not among the user's groups: shown as one more group until the menu is
    // built again, without taking the place of a group the user chose.
    m_slotKinds.push_back(kHistoryKind);
    MakeMenuItems();
    SwitchToSlot(SlotCount() - 1, m_selected, 1);
}

void CMainWindow::SpeakConverted()
{
    CSkinPage* page = PageInView();
    const std::string value = page && page->isVisible() ? page->AccessibleValue() : std::string();
    if (value.empty() || value == m_spoken) return;
    m_spoken = value;
    Say(value);
}

void CMainWindow::SpeakKey(int type, int id, int accepted, bool typed)
{
    if (!Display() || !Display()->isVisible()) return SpeakConverted();
    Say(m_feedback.After(type, id, accepted, typed, Display()->SpokenValue()));
}

void CMainWindow::SpeakDisplay()
{
    if (!Display() || !Display()->isVisible()) return;
    const std::string value = Display()->SpokenValue();
    const std::string stack = StackWords(m_calculator, value);
    const std::string signs = Display()->SpokenIndicators();
    Say((stack.empty() ? value : stack) + (signs.empty() ? "" : ", " + signs));
}

void CMainWindow::Say(const std::string& text)
{
    if (text.empty()) return;
    if (!m_announcer) m_announcer = new CAnnouncer(this);
    m_announcer->Say(QString::fromStdString(text));
}
