// The user interface's process-wide state: one instance, alive until the program ends.
#pragma once

#include <windows.h>

#include <string>

#include "ui/strings.h"

struct UiState {
    std::string pagePath;      // "<none selected>" until a browse chooses a page
    std::string languageCode;  // "EN" or "FR"
    HMENU languageMenu = nullptr;
    HWND tooltipWindow = nullptr;  // created by the first tooltip
    bool mainWindowEnded = false;  // set once the main window has been told to end
};

UiState& TheUiState();

// The language of every text shown now, from the language code.
inline Language CurrentLanguage() { return LanguageFromCode(TheUiState().languageCode); }

// The text of one control of `dialog`, as ANSI bytes.
std::string DialogItemText(HWND dialog, int controlId);
