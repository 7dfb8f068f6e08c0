// The window program's entry, the one symbol the window module shows: the
// terminal program (tallix) opens the module and calls it with its command
// line when the window, or with screenshot 1 a screenshot of it, is wanted.
#include "app/window/WindowProgram.h"

extern "C" __attribute__((visibility("default"))) int TallixWindowMain(int argc, char** argv, int screenshot)
{
    return screenshot ? RunScreenshot(argc, argv) : RunWindowProgram(argc, argv);
}
