#pragma once
// Starts the window program from the terminal program. The terminal commands
// never load Qt: the window, with Qt and every page, is a module beside the
// program (tallix-window.so), opened only when the command line asks for the
// window or a screenshot of it. A module rather than a second executable:
// opening it costs less than starting a process again.

#include <string>

// Empty when the window can be shown: a display answers, or a Qt platform
// that needs none is forced. When only one of the X11 and Wayland displays
// named answers, the window is told to use that one. Otherwise why not, in
// words ("the display :58 does not answer"). The display libraries (libxcb,
// libwayland-client) are loaded for the check; Qt is not.
std::string DisplayProblem();
// "--screenshot" among the arguments: the window is drawn off-screen.
bool WantsScreenshot(int argc, char** argv);
// Runs the window program with these arguments (screenshot: draw the window
// into a file instead) and returns its exit code; 1, with a message on
// standard error, when the module cannot be loaded.
int StartWindowProgram(int argc, char** argv, bool screenshot);
