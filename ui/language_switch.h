// The language menu, the switch of every window text between English and French, and the one
// function that labels the main window.
#pragma once

#include <windows.h>

#include "texts/strings.h"

namespace ui {

// Posted to the main window when Alt+L asks for the language menu.
constexpr UINT kLanguageKeyMessage = WM_APP + 2;

// Builds the language menu: "English" (checked) then "Français".
HMENU CreateLanguageMenu(texts::Language checked);

// Shows the language menu and applies the language chosen, if any: at the mouse, or below the
// language image when asked from the keyboard. Does nothing while a run goes on.
void LanguageCommand(HWND mainWindow, bool fromKeyboard = false);

// Makes `language` current, re-labels the main window in it, checks the clean-unused box again
// and lays the controls out for the new texts.
void ApplyLanguage(HWND mainWindow, texts::Language language);

// Sets every text of the main window that follows the language, from the table of control
// texts: caption, labels, check box, link, the page path field while no page is chosen,
// tooltips and the names the picture controls give a screen reader.
void LabelMainWindow(HWND mainWindow, texts::Language language);

// While the main window is up, Alt+L in it posts kLanguageKeyMessage to it. The dialog's own
// message loop has no accelerators: a message filter of the window's thread sees its keys.
void ListenForLanguageKey(HWND mainWindow);
void StopListeningForLanguageKey();

}  // namespace ui
