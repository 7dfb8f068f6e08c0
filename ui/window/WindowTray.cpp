#include "ui/window/WindowTray.h"

#include <QWidget>
#include <QWindow>

#include "settings/SettingsStore.h"
#include "strings/StringIds.h"
#include "ui/common/ResourceText.h"
#include "ui/window/TrayIcon.h"

CWindowTray::~CWindowTray() { delete m_icon; }

void CWindowTray::Send()
{
    if (!m_icon) {
        m_icon = new CTrayIcon(m_window.windowIcon());
        m_icon->onRestore = [this] { if (onRestore) onRestore(); };
        m_icon->onExit = [this] { if (onExit) onExit(); };
    }
    m_icon->Show();
    m_keepHidden = 1;
    // A window manager may place a window anew when it shows again (centred,
    // say): the place the user left it at is put back then. One that never
    // showed has no place yet.
    m_placeKnown = m_window.isVisible();
    m_place = m_window.geometry().topLeft();
    m_window.hide();
    m_inTray = 1;
    Notice();
}

void CWindowTray::Notice()
{
    // Said once: a window that vanished the first time must not look like a crash.
    CSettingsStore& settings = CSettingsStore::Instance();
    if (settings.TrayNoticeShown()) return;
    settings.SetTrayNoticeShown(1);
    m_icon->ShowMessage(ResourceText(StringId::TrayNoticeTitle), ResourceText(StringId::TrayNoticeText));
}

void CWindowTray::Restore()
{
    m_keepHidden = 0;
    if (m_window.isMinimized()) m_window.showNormal();
    // Given before the window maps, so the window manager takes it as the
    // user's place instead of choosing one.
    if (m_placeKnown && m_window.windowHandle()) m_window.windowHandle()->setPosition(m_place);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
    m_inTray = 0;
    HideIcon();
}

void CWindowTray::HideIcon()
{
    if (m_icon) m_icon->Hide();
}
