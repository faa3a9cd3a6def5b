#include "ui/extraction_run_win32.h"

#include <new>

#include "engine/extraction_run.h"
#include "ui/control_ids.h"
#include "ui/main_window.h"
#include "ui/run_report.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"

void ExtractionRun(HWND mainWindow, int cleanUnused) {
    RunRequest request;
    request.pagePath = TheUiState().pagePath;
    request.sheetName = DialogItemText(mainWindow, IDE_SHEET_NAME);
    request.cleanUnused = cleanUnused == 1;

    RunOutcome outcome;
    try {
        outcome = RunExtraction(request);
    } catch (const std::bad_alloc&) {
        outcome = {RunError::OutOfMemory, request.pagePath};
    }
    if (outcome.error == RunError::None) return;

    // Nothing to extract is told as a run's outcome, the errors as errors; the window closes.
    UINT icon = outcome.error == RunError::NothingToExtract ? MB_ICONINFORMATION : MB_ICONSTOP;
    std::string message =
        RunErrorMessage(outcome.error, outcome.path, CurrentLanguage(), outcome.otherPath);
    ShowMessage(mainWindow, message, icon);
    EndMainWindow(mainWindow);
}
