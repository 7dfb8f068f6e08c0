#pragma once
// A window as the core sees it: something that receives numbered messages with
// two parameters. The message numbers are contracts between parts:
#include <cstdint>

enum : unsigned {
    kMsgButton = 1025,          // skin button -> main window: type, id
    kMsgGroupSelect = 1027,     // group menu -> main window: item index
    kMsgBuildPages = 1065,      // main window -> itself
    kMsgTray = 1074,            // tray icon -> main window: icon id, mouse message
    kMsgForwardedButton = 1124, // group page -> main window: type, id
    kMsgDownload = 1324,        // download worker -> starting page: progress, status
    kCmdRestore = 32771,        // tray menu, second instance -> main window
    kCmdExit = 32772,           // tray menu -> main window
};

class IMessageTarget {
public:
    virtual ~IMessageTarget() = default;
    // Queued: returns at once; the target handles it later on its own thread.
    virtual void PostMessage(unsigned msg, intptr_t wParam, intptr_t lParam) = 0;
    // Returns after the target has handled it (across threads: a blocking queued call).
    virtual intptr_t SendMessage(unsigned msg, intptr_t wParam, intptr_t lParam) = 0;
};
