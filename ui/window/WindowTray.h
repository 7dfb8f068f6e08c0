#pragma once
// The window's life in the notification area: hidden with an icon there, the
// one-time notice of where it went, and the way back.

#include <QPoint>

#include <functional>

class CTrayIcon;
class QWidget;

class CWindowTray {
public:
    explicit CWindowTray(QWidget& window) : m_window(window) {}
    ~CWindowTray();
    CWindowTray(const CWindowTray&) = delete;
    CWindowTray& operator=(const CWindowTray&) = delete;

    // Hides the window behind a tray icon (made at the first use).
    void Send();
    // Shows the window again, where it stood, in front, and removes the icon.
    void Restore();
    // Removes the icon (at exit).
    void HideIcon();
    int InTray() const { return m_inTray; }
    // While set, nothing may show the window (it is in the tray or starts there).
    int KeepHidden() const { return m_keepHidden; }
    void SetKeepHidden() { m_keepHidden = 1; }
    // Null until the window first goes to the tray.
    const CTrayIcon* Icon() const { return m_icon; }

    std::function<void()> onRestore;
    std::function<void()> onExit;

private:
    void Notice();

    QWidget& m_window;
    CTrayIcon* m_icon = nullptr;
    int m_inTray = 0;
    int m_keepHidden = 0;
    // Where the window's inside stood when it went to the tray.
    QPoint m_place;
    int m_placeKnown = 0;
};
