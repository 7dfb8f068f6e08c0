// The main window's life beyond the calculator: hidden in the tray instead
// of closed, its help, and what it saves as it runs and at exit.
#include <QCloseEvent>
#include <QCoreApplication>

#include "settings/SettingsStore.h"
#include "skins/ButtonGroup.h"
#include "skins/SkinResources.h"
#include "ui/common/HelpLauncher.h"
#include "ui/window/MainWindow.h"
#include "ui/window/SaveScheduler.h"
#include "ui/window/TrayIcon.h"

void CMainWindow::setVisible(bool visible)
{
    // While in the tray nothing may show the window by accident.
    if (visible && m_tray.KeepHidden()) return;
    QWidget::setVisible(visible);
}

void CMainWindow::closeEvent(QCloseEvent* event)
{
    // Quitting closes every window first: that close must not become the tray's.
    if (m_exiting) {
        event->accept();
        return;
    }
    event->ignore();
    if (CTrayIcon::Available()) {
        SendToTray();
    } else {
        // Without a tray a hidden window could not be brought back.
        ExitProgram();
    }
}

void CMainWindow::SendToTray() { m_tray.Send(); }

void CMainWindow::RestoreFromTray() { m_tray.Restore(); }

void CMainWindow::OpenHelp()
{
    const GroupKind* row = FindGroupKind(SlotKind(m_selected));
    OpenHelpTopic(m_resources, row ? row->helpTopic : kMainHelpTopic);
}

void CMainWindow::SaveChanges()
{
    CSettingsStore& settings = CSettingsStore::Instance();
    const QRect frame = frameGeometry();
    settings.SetWindowRect({frame.left(), frame.top(), frame.right() + 1, frame.bottom() + 1});
    // Both write only what changed since they last wrote.
    settings.SaveSettings(m_registry, &m_calculator, this);
    if (m_resources.IsDescriptionLoaded()) m_resources.SaveSkinDescription();
}

void CMainWindow::ScheduleSave()
{
    if (m_saveScheduler) m_saveScheduler->Schedule();
}

void CMainWindow::SaveState()
{
    if (m_saved) return;
    m_saved = 1;
    SaveChanges();
    m_tray.HideIcon();
}

void CMainWindow::ExitProgram()
{
    m_exiting = 1;
    SaveState();
    QCoreApplication::quit();
}
