#pragma once
// A main window on the off-screen platform, over a copy of the program
// folder, with settings in memory. Buttons are pressed by their command pair
// with real mouse events; the display is read as a screen reader reads it.

#include <QTemporaryDir>

#include <memory>
#include <string>

#include "platform/Registry.h"
#include "skins/SkinResources.h"
#include "ui/window/MainWindow.h"

class CSkinPage;

// Makes the QApplication once; installs the Qt services.
void EnsureApplication();

class UiWindow {
public:
    // registry: shared between windows to test a restart; null for a fresh one.
    explicit UiWindow(CMemoryRegistry* registry = nullptr, int startInTray = 0,
                      const std::string& programFolder = std::string());
    ~UiWindow();

    CMainWindow& Window() { return *m_window; }
    CMemoryRegistry& Registry() { return *m_registry; }
    // Clicks the visible skin button of command (type, id); false if none shows it.
    bool Press(int type, int id);
    // Presses a whole sequence given as "type,id type,id ...".
    void PressAll(const std::string& pairs);
    // Presses the shown button of that accessible name, as a screen reader does.
    bool PressNamed(const std::string& name);
    void Type(const std::string& keys);
    // The display's accessible value.
    std::string Display();
    // Finishes a group switch: frames run out, the new band is captured.
    void SettleBand();

private:
    std::unique_ptr<CMemoryRegistry> m_ownRegistry;
    CMemoryRegistry* m_registry;
    CSkinResources m_resources;
    std::unique_ptr<CMainWindow> m_window;
};

// A temporary copy of the built program folder (skins, rates, help), so a
// test may write to it; a window on it keeps the user's files in its "user/".
class ProgramFolderCopy {
public:
    ProgramFolderCopy();
    std::string Path() const { return m_dir.path().toStdString() + "/"; }

private:
    QTemporaryDir m_dir;
};

std::string RuntimeDir();
