#include "ui/extraction_run_win32.h"

#include <new>

#include "engine/extraction_run.h"
#include "ui/dialog_texts.h"
#include "ui/main_window.h"
#include "ui/run_report.h"
#include "ui/taskbar_progress.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"

namespace {

constexpr DWORD kProgressDelay = 1000;  // milliseconds: shorter runs show no progress
constexpr UINT kProgressPeriod = 100;   // milliseconds between looks at the progress

// The run's thread: nothing may unwind out of it.
DWORD WINAPI RunThread(void*) {
    WindowRun& run = TheUiState().run;
    try {
        run.outcome = RunExtraction(run.request);
    } catch (const std::bad_alloc&) {
        run.outcome = {RunError::OutOfMemory, run.request.pagePath};
    } catch (...) {
        run.threw = true;
    }
    PostMessageW(run.window, kRunEndedMessage, 0, 0);
    return 0;
}

void ShowPercent(HWND mainWindow, int percent) {
    WindowRun& run = TheUiState().run;
    if (percent == run.shownPercent) return;
    run.shownPercent = percent;
    SetWindowTextOf(mainWindow, ProgressCaption(CurrentLanguage(), percent));
    ShowTaskbarProgress(mainWindow, percent);
}

// What the launch command has always told at the end of a run.
void TellOutcome(HWND mainWindow, const WindowRun& run) {
    if (run.threw) {
        EndMainWindow(mainWindow);
        return;
    }
    Language language = CurrentLanguage();
    if (run.outcome.error != RunError::None) {
        UINT icon =
            run.outcome.error == RunError::NothingToExtract ? MB_ICONINFORMATION : MB_ICONSTOP;
        ShowMessage(mainWindow, RunErrorMessage(run.outcome, language), icon);
    } else {
        long seconds = ElapsedSeconds(run.startSecondOfDay, SecondsOfDayNow());
        ShowMessage(mainWindow,
                    RunReport(language, run.request.sheetName, run.request.cleanUnused, seconds,
                              run.outcome.wroteBackup, run.outcome.backupToCopyBack),
                    MB_ICONINFORMATION);
    }
    EndMainWindow(mainWindow);
}

}  // namespace

void StartExtractionRun(HWND mainWindow, const std::string& sheetName, bool cleanUnused) {
    WindowRun& run = TheUiState().run;
    run.window = mainWindow;
    run.request = RunRequest{};
    run.request.pagePath = TheUiState().pagePath;
    run.request.sheetName = sheetName;
    run.request.cleanUnused = cleanUnused;
    run.request.progress = [&run](double done) {
        run.waiting.store(false, std::memory_order_relaxed);
        run.permille.store(static_cast<int>(done * 1000), std::memory_order_relaxed);
    };
    run.request.waiting = [&run] { run.waiting.store(true, std::memory_order_relaxed); };
    run.outcome = RunOutcome{};
    run.threw = false;
    run.permille = 0;
    run.waiting = false;
    run.showsWaiting = false;
    run.shownPercent = -1;
    run.startSecondOfDay = SecondsOfDayNow();
    run.startTick = GetTickCount();

    run.thread = CreateThread(nullptr, 0, RunThread, nullptr, 0, nullptr);
    if (!run.thread) {  // no room for a thread: nothing has run
        run.outcome = {RunError::OutOfMemory, run.request.pagePath};
        TellOutcome(mainWindow, run);
        return;
    }
    SetTimer(mainWindow, kRunProgressTimer, kProgressPeriod, nullptr);
    // The wait cursor now, not at the mouse's next move, when the mouse is on the window.
    POINT mouse{};
    GetCursorPos(&mouse);
    HWND underMouse = WindowFromPoint(mouse);
    if (underMouse == mainWindow || IsChild(mainWindow, underMouse))
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

bool RunUnderWay() { return TheUiState().run.thread != nullptr; }

void ShowRunProgress(HWND mainWindow) {
    WindowRun& run = TheUiState().run;
    if (!run.thread) return;
    bool waiting = run.waiting.load(std::memory_order_relaxed);
    if (waiting != run.showsWaiting) {
        run.showsWaiting = waiting;
        run.shownPercent = -1;
        Language language = CurrentLanguage();
        if (waiting)
            SetWindowTextOf(mainWindow, std::string(Text(TextId::WaitingForFolder, language)) +
                                            " - " + MainCaption(language));
    }
    if (!waiting && GetTickCount() - run.startTick >= kProgressDelay)
        ShowPercent(mainWindow, run.permille.load(std::memory_order_relaxed) / 10);
}

void EndExtractionRun(HWND mainWindow) {
    WindowRun& run = TheUiState().run;
    if (!run.thread) return;
    WaitForSingleObject(run.thread, INFINITE);
    CloseHandle(run.thread);
    run.thread = nullptr;
    KillTimer(mainWindow, kRunProgressTimer);
    if (run.shownPercent >= 0) ShowPercent(mainWindow, run.permille.load() / 10);
    EndTaskbarProgress(mainWindow);
    TellOutcome(mainWindow, run);
}

void WaitForExtractionRun() {
    WindowRun& run = TheUiState().run;
    if (!run.thread) return;
    WaitForSingleObject(run.thread, INFINITE);
    CloseHandle(run.thread);
    run.thread = nullptr;
    EndTaskbarProgress(run.window);
}
