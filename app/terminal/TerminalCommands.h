#pragma once
// The terminal front end. main() offers it the command line first; what it
// does not take (no arguments, the window's own switches) starts the window.

// Runs the terminal command the arguments ask for and sets exitCode:
// 0 success, 1 the work failed (an error result, a failed conversion,
// download or write), 2 bad usage (the message names the option or value).
// Returns false, touching nothing, when the command line is the window's.
bool RunTerminal(int argc, char** argv, int& exitCode);

// Runs the line calculator on standard input; for main() while the program
// has no window to start.
int RunLineCalculator();
