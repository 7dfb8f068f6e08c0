#include "ui/pages/GroupMenuPopup.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

#include "ui/pages/PageAccessible.h"
#include "ui/pages/SkinMenuButton.h"

namespace {
CGroupMenuPopup* g_current = nullptr;
}

CGroupMenuPopup* CGroupMenuPopup::Current() { return g_current; }

CGroupMenuPopup::CGroupMenuPopup(CSkinMenuButton& button, QWidget* owner)
    : CSkinPage(nullptr), m_button(button), m_owner(dynamic_cast<CSkinPage*>(owner))
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    if (owner) setWindowTitle(owner->window()->windowTitle());
    setAccessibleName(QString::fromStdString(MenuButtonAccessibleName()));
    // Items stack top to bottom, inside a one-pixel frame.
    int width = 0, y = 1;
    const int count = static_cast<int>(button.Items().size());
    for (int i = 0; i < count; ++i) {
        int w = 0, h = 0;
        button.MeasureItem(i, w, h);
        m_rects.push_back({1, y, 1 + w, y + h});
        width = std::max(width, w);
        y += h;
    }
    for (SkinRect& r : m_rects) r.right = 1 + width;
    SetPageSize(width + 2, y + 1, true);
    m_screen.Fill(0, 0, m_screen.Width(), m_screen.Height(), 0x404040u);
    for (int i = 0; i < count; ++i) button.DrawItem(m_screen, i + 1, kDrawEntire, m_rects[i]);
}

int CGroupMenuPopup::Exec(int screenX, int screenY)
{
    move(screenX, screenY);
    if (m_button.OpenedByKeyboard()) {
        int start = 0;
        for (int command = 1; command <= AccessibleCount() && !start; ++command)
            if (AccessibleChecked(command - 1) == 1) start = command;
        if (start) Select(start);
        else MoveSelection(1);
    }
    QEventLoop loop;
    m_loop = &loop;
    g_current = this;
    show();
    setFocus();
    // Qt has just given the menu the focus; the highlighted item takes it
    // now. Orca 43 says only the item: it skips a focus event that a newer
    // one overtook, speaks no "popup menu" ancestor, and Qt 6.4 offers
    // neither an AT-SPI "menu" role (an ancestor Orca names) nor
    // active-descendant events. Delaying the item would cut the name off.
    NotifyAccessibleFocus(this);
    loop.exec();
    g_current = nullptr;
    m_loop = nullptr;
    return m_chosen;
}

void CGroupMenuPopup::hideEvent(QHideEvent*)
{
    if (m_loop) m_loop->quit();
}

int CGroupMenuPopup::Selectable(int command) const
{
    if (command < 1 || command > static_cast<int>(m_rects.size())) return 0;
    const GroupMenuItem& item = m_button.Items()[command - 1];
    return item.kind != kMenuSeparator && item.enabled;
}

void CGroupMenuPopup::Choose(int command)
{
    if (!Selectable(command)) return;
    m_chosen = command;
    close();
}

int CGroupMenuPopup::CommandAt(int x, int y) const
{
    for (size_t i = 0; i < m_rects.size(); ++i)
        if (m_rects[i].Contains(x, y)) return static_cast<int>(i) + 1;
    return 0;
}

void CGroupMenuPopup::Select(int command)
{
    if (!Selectable(command) || command == m_selected) return;
    m_selected = command;
    m_button.DrawItem(m_screen, command, kDrawSelect, m_rects[command - 1]);
    update();
    if (isVisible()) NotifyAccessibleFocus(this);
}

void CGroupMenuPopup::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = ArtPoint(event);
    Select(CommandAt(p.x(), p.y()));
}

void CGroupMenuPopup::mouseReleaseEvent(QMouseEvent* event)
{
    // The release of the press that opened the menu lands outside it; a
    // press outside closes the popup by itself.
    const QPoint p = ArtPoint(event);
    if (rect().contains(event->position().toPoint())) Choose(CommandAt(p.x(), p.y()));
}

void CGroupMenuPopup::MoveSelection(int step)
{
    const int count = static_cast<int>(m_rects.size());
    int command = m_selected;
    for (int tries = 0; tries < count; ++tries) {
        command += step;
        if (command < 1) command = count;
        if (command > count) command = 1;
        if (Selectable(command)) break;
    }
    Select(command);
}

void CGroupMenuPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up: MoveSelection(-1); break;
    case Qt::Key_Down: MoveSelection(1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: Choose(m_selected); break;
    case Qt::Key_Escape: close(); break;
    default: break;
    }
}

int CGroupMenuPopup::AccessibleCount() const { return static_cast<int>(m_rects.size()); }

std::string CGroupMenuPopup::AccessibleName(int index) const
{
    return index >= 0 && index < AccessibleCount() ? m_button.Items()[index].text : std::string();
}

SkinRect CGroupMenuPopup::AccessibleRect(int index) const
{
    return index >= 0 && index < AccessibleCount() ? m_rects[index] : SkinRect{};
}

int CGroupMenuPopup::AccessibleChecked(int index) const
{
    if (index < 0 || index >= AccessibleCount()) return -1;
    const GroupMenuItem& item = m_button.Items()[index];
    return item.kind == kMenuGroup ? item.marked : -1;
}

EAccessRole CGroupMenuPopup::AccessibleRole(int index) const
{
    const bool separator = index >= 0 && index < AccessibleCount() && m_button.Items()[index].kind == kMenuSeparator;
    return separator ? EAccessRole::Separator : EAccessRole::MenuItem;
}
