// The user interface's process-wide state: one instance, alive until the program ends.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/extraction_run.h"
#include "texts/strings.h"

namespace ui {

// What the run's thread works on, handed to it as its parameter. The window's thread fills it
// in before the thread starts and reads `outcome` and `threw` only once the thread has ended;
// meanwhile the two share only the atomics.
struct RunJob {
    HWND window = nullptr;  // told of the run's end
    engine::RunRequest request;
    engine::RunOutcome outcome;
    bool threw = false;                // the run ended by an exception, not with an outcome
    std::atomic<int> permille{0};      // thousandths of the run done
    std::atomic<bool> waiting{false};  // for another run that holds the page's folder
    std::atomic<bool> stop{false};     // the user asked the run to stop
};

// The extraction run started by the launch button, as the window's thread keeps it.
struct WindowRun {
    std::unique_ptr<RunJob> job;    // from the launch until the window has taken in the run's end
    HANDLE thread = nullptr;        // the job's thread, until it has been waited for
    bool asking = false;            // whether to stop is being asked
    bool endedWhileAsking = false;  // the run ended while the question was open
    bool showsWaiting = false;      // the caption says so
    double startSecondOfDay = 0;    // for the report's time
    DWORD startTick = 0;            // for the delay before the progress shows
    int shownPercent = -1;          // the progress in the caption, -1 before it shows
};

struct UiState {
    std::string pagePath;  // UTF-8; "<none selected>" until a page is chosen; the first of several
    std::vector<std::string> pagePaths;  // the pages chosen together, when several were
    std::string languageCode;            // "EN" or "FR"
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
inline texts::Language CurrentLanguage() {
    return texts::LanguageFromCode(TheUiState().languageCode);
}

// The pages the launch runs on: the several chosen together, else the one chosen; none before
// a page is chosen.
std::vector<std::string> ChosenPages();

}  // namespace ui
