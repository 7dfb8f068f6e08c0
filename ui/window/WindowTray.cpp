#include "ui/window/WindowTray.h"

#include <QWidget>

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
