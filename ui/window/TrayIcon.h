#pragma once
// The notification-area icon shown while the window hides in the tray: a
// double click restores the window; its menu offers Restore and Exit. Made
// when the window first goes to the tray, never at start-up.

#include <QIcon>

#include <functional>

class QMenu;
class QSystemTrayIcon;

class CTrayIcon {
public:
    explicit CTrayIcon(const QIcon& icon);
    ~CTrayIcon();

    // Whether the desktop has a notification area (tests may override it).
    static bool Available();
    static void OverrideAvailable(int available);  // -1: ask the desktop

    void Show();
    void Hide();
    // A notification from the icon; the last one is kept for tests.
    void ShowMessage(const QString& title, const QString& text);
    const QString& LastMessage() const { return m_lastMessage; }
    bool IsShown() const { return m_shown; }

    std::function<void()> onRestore;
    std::function<void()> onExit;

private:
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_menu = nullptr;
    bool m_shown = false;
    QString m_lastMessage;
};
