// The language menu and the switch of every window text between English and French.
#pragma once

#include <windows.h>

#include "ui/strings.h"

// Builds the language menu: "English" (checked) then "Français".
HMENU CreateLanguageMenu();

// Shows the language menu at the mouse and applies the language chosen, if any.
void LanguageCommand(HWND mainWindow);

// Makes `language` current and re-labels the main window in it.
void ApplyLanguage(HWND mainWindow, Language language);
