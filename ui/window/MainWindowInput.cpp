// The main window's input: window messages from the pages and the tray,
// skin button commands, typed keys and the wheel, each routed to the
// calculator, the group band or the window's own commands.
#include <QKeyEvent>
#include <QWheelEvent>

#include "settings/SettingsStore.h"
#include "ui/common/SoundPlayer.h"
#include "ui/pages/ConverterPage.h"
#include "ui/pages/DisplayPage.h"
#include "ui/pages/KeypadPage.h"
#include "ui/pages/PageAccessible.h"
#include "ui/window/KeyboardTable.h"
#include "ui/window/MainWindow.h"

bool CMainWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        m_active = 1;
        update();
        if (onFocusGained) onFocusGained();
        break;
    case QEvent::WindowDeactivate:
        m_active = 0;
        // The main keypad repaints its background after losing the focus.
        if (CKeypadPage* main = m_pageSet.MainKeypad()) main->SetBackgroundFlag();
        break;
    case QEvent::ShortcutOverride: {
        // Keys of the keyboard table reach keyPressEvent, not shortcuts.
        event->accept();
        return true;
    }
    default: break;
    }
    return QWidget::event(event);
}

void CMainWindow::HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam)
{
    switch (msg) {
    case kMsgButton:
    case kMsgForwardedButton: Command(static_cast<int>(wParam), static_cast<int>(lParam)); break;
    case kMsgGroupSelect: ChooseMenuItem(static_cast<int>(wParam)); break;
    case kMsgBuildPages: BuildRemainingPages(); break;
    case kCmdRestore: RestoreFromTray(); break;
    case kCmdExit: ExitProgram(); break;
    default: break;
    }
}

void CMainWindow::Command(int type, int id)
{
    if (CSettingsStore::Instance().PlaySounds()) PlayClick();
    m_feedback.Before(Display() ? Display()->SpokenValue() : std::string());
    const int accepted = m_calculator.Dispatch(type, id);
    InvalidateValuePages();
    SpeakKey(type, id, accepted, false);
}

void CMainWindow::Character(char ch)
{
    KeyCommand key;
    const bool found = LookupKeyCharacter(ch, key);
    m_feedback.Before(Display() ? Display()->SpokenValue() : std::string());
    int accepted = 0;
    if (found) {
        switch (key.type) {
        case 0: accepted = m_calculator.DigitCommand(key.id); break;
        case 1: accepted = m_calculator.OperatorCommand(key.id); break;
        case 2: accepted = m_calculator.FunctionCommand(key.id); break;
        case 3: accepted = m_calculator.ParenthesisCommand(key.id); break;
        case 5: accepted = m_calculator.EqualsCommand(key.id); break;
        default: break;
        }
    }
    InvalidateValuePages();
    if (found)
        SpeakKey(key.type, key.id, accepted, true);
    else if (ch > ' ' && ch < 127 && Display() && Display()->isVisible())
        Say(m_feedback.NoKey());
}

void CMainWindow::InvalidateValuePages()
{
    // The calculator's saved values (memory, mode, base...) may have changed.
    ScheduleSave();
    m_pageSet.InvalidateValues();
    RefreshAccessibleNames(Display());
    RefreshAccessibleNames(PageInView());
}

void CMainWindow::keyPressEvent(QKeyEvent* event)
{
    // A converter page moves between its lists with Tab, Left and Right.
    if (auto* page = dynamic_cast<CConverterPage*>(PageOfKind(SlotKind(m_selected))))
        if (page->isVisible() && page->OnKey(event->key(), static_cast<int>(event->modifiers()))) return;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (RouteKey(event->key(), static_cast<int>(event->modifiers()))) return;
    switch (event->key()) {
    case Qt::Key_Backspace: Command(8, 3); return;
    case Qt::Key_Delete:
    // Escape clears as on most desktop calculators.
    case Qt::Key_Escape: Command(8, 0); return;
    case Qt::Key_Up:
    case Qt::Key_Down: return;  // handled at key up
    case Qt::Key_Return:
    case Qt::Key_Enter: Character(ctrl ? '=' : '\r'); return;
    case Qt::Key_C:
        if (ctrl) return Command(9, 0);
        break;
    case Qt::Key_V:
        if (ctrl) return Command(9, 2);
        break;
    default: break;
    }
    if (ctrl || event->modifiers() & Qt::AltModifier) return;
    const QString text = event->text();
    if (text.isEmpty()) return;
    for (QChar c : text) Character(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\0');
}

void CMainWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) return;
    if (auto* page = dynamic_cast<CConverterPage*>(PageOfKind(SlotKind(m_selected))))
        if (page->isVisible() && page->TakesArrowKeys()) return;
    if (event->key() == Qt::Key_Up) PreviousSlot();
    if (event->key() == Qt::Key_Down) NextSlot();
}

void CMainWindow::wheelEvent(QWheelEvent* event)
{
    const int dy = event->angleDelta().y();
    if (dy < 0) NextSlot();
    if (dy > 0) PreviousSlot();
    event->accept();
}
