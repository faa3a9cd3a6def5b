// The main window at its DPI: the fonts, the pictures, the controls' places and the window's
// size, all from the layout table scaled by DPI / 96 and fitted to the texts shown.
#pragma once

#include <windows.h>

namespace ui {

// The DPI of `window`: its monitor's where the system tells it (Windows 10 1607 and later),
// else the system's.
int WindowDpi(HWND window);

// Makes the fonts and pictures of the main window for `dpi`, gives them to the window and its
// controls and frees the ones they replace; scales the tooltips' width; gives the window the
// table's client area at `dpi`, its top-left corner at `topLeft`. Then lays out the controls.
void ScaleMainWindow(HWND mainWindow, int dpi, POINT topLeft);

// Keeps the dialog manager of Windows 10 1703 and later from scaling the window and its
// controls itself when the DPI changes: the window does it (ScaleMainWindow).
void TakeOverDpiChanges(HWND mainWindow);

// Places the controls at the window's DPI, fitted to the texts they show now.
void LayOutControls(HWND mainWindow);

}  // namespace ui
