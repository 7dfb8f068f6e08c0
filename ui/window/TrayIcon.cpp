#include "ui/window/TrayIcon.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "strings/Language.h"
#include "strings/StringIds.h"

namespace {
int g_override = -1;
const int kEmbedMs = 1000;

QString Text(int id, const char* fallback)
{
    std::string text = fallback;
    LoadResString(LocalizedId(id), text);
    return QString::fromStdString(text);
}
}  // namespace

bool CTrayIcon::Available()
{
    if (g_override >= 0) return g_override != 0;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CTrayIcon::OverrideAvailable(int available) { g_override = available; }

CTrayIcon::CTrayIcon(const QIcon& icon)
{
    m_icon = new QSystemTrayIcon(icon);
    m_icon->setToolTip(Text(StringId::TrayTip, "Tallix - Fernhill"));
    m_menu = new QMenu;
    m_menu->addAction(Text(StringId::TrayRestore, "Restore"), [this] {
        if (onRestore) onRestore();
    });
    m_menu->addAction(Text(StringId::MenuExit, "Exit"), [this] {
        if (onExit) onExit();
    });
    m_icon->setContextMenu(m_menu);
    QObject::connect(m_icon, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
        if ((reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) && onRestore)
            onRestore();
    });
}

CTrayIcon::~CTrayIcon()
{
    delete m_icon;
    delete m_menu;
}

void CTrayIcon::Show()
{
    m_icon->show();
    m_shown = true;
}

void CTrayIcon::Hide()
{
    m_icon->hide();
    m_shown = false;
}

void CTrayIcon::ShowMessage(const QString& title, const QString& text)
{
    m_lastMessage = text;
    // An icon shown this moment is not yet in the notification area, and a
    // message of an icon with no place there is dropped: give it a moment.
    QTimer::singleShot(kEmbedMs, m_icon, [icon = m_icon, title, text] {
        icon->showMessage(title, text, QSystemTrayIcon::Information, 10000);
    });
}
