#pragma once
// Starts the window program from the terminal program. The terminal commands
// never load Qt: the window, with Qt and every page, is loaded only here,
// when the command line asks for the window or a screenshot of it.

// True when a graphical display can be reached (or a Qt platform is forced).
bool HasGraphicalDisplay();
// "--screenshot" among the arguments: the window is drawn off-screen.
bool WantsScreenshot(int argc, char** argv);
// Runs the window program with these arguments and returns its exit code;
// 1, with a message on standard error, when it cannot be started.
int StartWindowProgram(int argc, char** argv);
