#pragma once
// The window program: start-up in order, single instance, the main window
// for the whole life of the program, and the saved state at the end.

// Runs the window program; returns the process's exit code.
int RunWindowProgram(int argc, char** argv);
// "-m" anywhere in the command line, in any case, also inside another
// argument: start hidden in the tray.
bool HasTraySwitch(int argc, char** argv);
// tallix --screenshot FILE [--group KIND] [--vga] [--skin NAME] [--language CODE]
// [--options PAGE]: the main window, or the Options dialog open on PAGE
// (general, calculator, groups, customize, currency, skins), rendered
// off-screen into a PNG, the user's settings untouched.
int RunScreenshot(int argc, char** argv);

class CMainWindow;
// Hands the window the converter pages' factory and the automatic rates
// download check; call it before the window's Initialise.
void InstallConverterPages(CMainWindow& window);
