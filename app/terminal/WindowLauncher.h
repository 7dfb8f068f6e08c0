#pragma once
// Starts the window program from the terminal program. The terminal commands
// never load Qt: the window, with Qt and every page, is a module beside the
// program (tallix-window.so), opened only when the command line asks for the
// window or a screenshot of it. A module rather than a second executable:
// opening it costs less than starting a process again.

// True when a graphical display can be reached (or a Qt platform is forced).
bool HasGraphicalDisplay();
// "--screenshot" among the arguments: the window is drawn off-screen.
bool WantsScreenshot(int argc, char** argv);
// Runs the window program with these arguments (screenshot: draw the window
// into a file instead) and returns its exit code; 1, with a message on
// standard error, when the module cannot be loaded.
int StartWindowProgram(int argc, char** argv, bool screenshot);
