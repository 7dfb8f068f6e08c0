#pragma once
// The window program's implementations of the core's platform services:
// message boxes (QMessageBox), the desktop clipboard, and the screen size.
// InstallQtServices needs a QApplication; RemoveQtServices puts the
// terminal defaults back (before the application goes away).

#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "platform/SystemInfo.h"

class QMessageBox;
// Widens a message box so that the window manager shows its caption whole.
void FitCaption(QMessageBox& box);

class CQtMessageBox : public IMessageBox {
public:
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageKind kind,
                       MessageButtons buttons) override;
};

class CQtClipboard : public IClipboard {
public:
    int SetText(const std::string& text) override;
    int GetText(std::string& text) override;
};

class CQtSystemInfo : public CPosixSystemInfo {
public:
    int ScreenSize(int& width, int& height) override;
};

void InstallQtServices();
void RemoveQtServices();

// Loads the font database on a worker thread while the window is being built,
// so that the first text of the first paint does not wait for it; the thread
// then resolves the fonts the text painter is asked to prepare. Finish waits
// for the worker (call it before the application goes away).
void StartFontWarmUp();
// Reads the system's font configuration on a worker thread. Callable before
// the QApplication exists, so that the reading overlaps the connection to
// the display; StartFontWarmUp then goes on from it.
void StartFontConfigLoad();
void FinishFontWarmUp();
