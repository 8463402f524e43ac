// Process entry: hands the start-up values to the main window and ends the
// process with its result (0, or 1 when the window could not be made).
#include <windows.h>

#include "main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    return runMainWindow(instance, previous, commandLine, showCommand);
}
