// The user interface's process-wide state: one instance, alive until the program ends.
#pragma once

#include <windows.h>

#include <string>

#include "ui/strings.h"

struct UiState {
    std::string pagePath;      // UTF-8; "<none selected>" until a page is chosen
    std::string languageCode;  // "EN" or "FR"
    HMENU languageMenu = nullptr;
    HWND tooltipWindow = nullptr;  // created by the first tooltip
    bool mainWindowEnded = false;  // set once the main window has been told to end
};

UiState& TheUiState();

// The language of every text shown now, from the language code.
inline Language CurrentLanguage() { return LanguageFromCode(TheUiState().languageCode); }
