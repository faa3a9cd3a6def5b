// The user interface's process-wide state: one instance, alive until the program ends.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "engine/extraction_run.h"
#include "texts/strings.h"

// The extraction run started by the launch button, on its own thread. The window's thread sets
// everything but `outcome`, `threw` and `permille`, which the run's thread writes; the window
// reads the outcome only once the thread has ended.
struct WindowRun {
    HANDLE thread = nullptr;  // from the launch until the window has taken in the run's end
    HWND window = nullptr;    // told of the run's end
    RunRequest request;
    RunOutcome outcome;
    bool threw = false;                // the run ended by an exception, not with an outcome
    std::atomic<int> permille{0};      // thousandths of the run done
    std::atomic<bool> waiting{false};  // for another run that holds the page's folder
    std::atomic<bool> stop{false};     // the user asked the run to stop
    bool asking = false;               // whether to stop is being asked
    bool endedWhileAsking = false;     // the run ended while the question was open
    bool showsWaiting = false;         // the caption says so
    double startSecondOfDay = 0;       // for the report's time
    DWORD startTick = 0;               // for the delay before the progress shows
    int shownPercent = -1;             // the progress in the caption, -1 before it shows
};

struct UiState {
    std::string pagePath;      // UTF-8; "<none selected>" until a page is chosen
    std::string languageCode;  // "EN" or "FR"
    HMENU languageMenu = nullptr;
    HWND tooltipWindow = nullptr;  // created by the first tooltip
    HWND mainWindow = nullptr;     // while it exists
    // The main window's look at its DPI, made again when the DPI changes.
    int dpi = 96;
    HFONT windowFont = nullptr;
    HFONT linkFont = nullptr;
    HHOOK languageKey = nullptr;  // Alt+L opens the language menu
    WindowRun run;
};

UiState& TheUiState();

// The language of every text shown now, from the language code.
inline Language CurrentLanguage() { return LanguageFromCode(TheUiState().languageCode); }
