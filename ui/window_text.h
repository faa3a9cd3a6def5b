// The window's texts across the Win32 boundary: UTF-8 inside the program, UTF-16 in the
// wide-character calls that show and read them.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

std::string WindowTextOf(HWND window);
void SetWindowTextOf(HWND window, std::string_view text);

// The name a screen reader gives a control that shows a picture: its window text, stored past
// the control's own handling (a picture static control keeps no text of its own).
void SetPictureName(HWND control, std::string_view name);

std::string DialogItemText(HWND dialog, int controlId);

// The page path field's text, scrolled to its end: a long path shows its file name.
void SetPagePathText(HWND mainWindow, std::string_view text);
void SetDialogItemText(HWND dialog, int controlId, std::string_view text);

// A message box owned by the main window, captioned with the product name, modal for the
// whole task, with one OK button and `icon`.
void ShowMessage(HWND mainWindow, std::string_view text, UINT icon);

}  // namespace ui
