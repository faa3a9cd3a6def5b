// The extraction run as the main window starts it.
#pragma once

#include <windows.h>

// Runs the extraction on the chosen page with the sheet name of the output name field.
// When the run fails, shows its message owned by `mainWindow` and ends the main window.
void ExtractionRun(HWND mainWindow, int cleanUnused);
