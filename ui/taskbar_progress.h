// The progress of a run on the window's taskbar button, where the shell shows one (Windows 7
// and later); elsewhere these do nothing.
#pragma once

#include <windows.h>

namespace ui {

// Shows `percent` (0 to 100) on the taskbar button of `window`.
void ShowTaskbarProgress(HWND window, int percent);

// Takes the progress off the button and lets the shell's object go.
void EndTaskbarProgress(HWND window);

}  // namespace ui
