// The main window: one modal dialog holding the nine controls of the tool.
#pragma once

#include <windows.h>

namespace ui {

// Creates the main window (no owner when `parent` is nullptr) with its controls, runs it
// modally until it closes and returns the result it was ended with, once a run it started has
// ended too.
INT_PTR ShowMainWindow(HWND parent);

// Ends the main window with the result 0; the modal loop then closes it.
void EndMainWindow(HWND mainWindow);

}  // namespace ui
