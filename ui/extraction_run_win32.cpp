#include "ui/extraction_run_win32.h"

#include <new>

#include "engine/extraction_run.h"
#include "engine/run_paths.h"
#include "platform/utf16.h"
#include "texts/run_report.h"
#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/main_window.h"
#include "ui/taskbar_progress.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"

namespace {

constexpr DWORD kProgressDelay = 1000;  // milliseconds: shorter runs show no progress
constexpr UINT kProgressPeriod = 100;   // milliseconds between looks at the progress

// What a run reads from the window, which stays as it is until the run ends.
constexpr int kControlsHeldDuringRun[] = {IDB_BROWSE, IDB_LAUNCH, IDE_SHEET_NAME, IDX_CLEAN_UNUSED,
                                          IDI_LANGUAGE};

void EnableRunControls(HWND mainWindow, bool enable) {
    for (int id : kControlsHeldDuringRun) EnableWindow(GetDlgItem(mainWindow, id), enable);
}

// The window as it was before the launch, with the keyboard where the message sends the user:
// the output name when another name would do, else the browse button.
void ReturnToWindow(HWND mainWindow, const WindowRun& run) {
    EnableRunControls(mainWindow, true);
    SetWindowTextOf(mainWindow, MainCaption(CurrentLanguage()));
    std::string sheetPath = SheetPath(PageFolder(run.request.pagePath), run.request.sheetName);
    int focus = MessageConcernsSheetName(run.outcome, sheetPath) ? IDE_SHEET_NAME : IDB_BROWSE;
    SendMessageW(mainWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(mainWindow, focus)),
                 TRUE);
}

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

// A whole run, or a page with nothing to extract, ends the window after its message; a run
// that changed nothing returns to it.
void TellOutcome(HWND mainWindow, const WindowRun& run) {
    if (run.threw) {
        EndMainWindow(mainWindow);
        return;
    }
    Language language = CurrentLanguage();
    RunError error = run.outcome.error;
    if (error == RunError::None) {
        long seconds = ElapsedSeconds(run.startSecondOfDay, SecondsOfDayNow());
        ShowMessage(mainWindow,
                    RunReport(language, run.request.sheetName, run.request.cleanUnused, seconds,
                              run.outcome.wroteBackup, run.outcome.backupToCopyBack),
                    MB_ICONINFORMATION);
        EndMainWindow(mainWindow);
        return;
    }
    if (error != RunError::Stopped)
        ShowMessage(mainWindow, RunErrorMessage(run.outcome, language),
                    error == RunError::NothingToExtract ? MB_ICONINFORMATION : MB_ICONSTOP);
    if (error == RunError::NothingToExtract)
        EndMainWindow(mainWindow);
    else
        ReturnToWindow(mainWindow, run);
}

}  // namespace

void StartExtractionRun(HWND mainWindow, const std::string& sheetName, bool cleanUnused) {
    WindowRun& run = TheUiState().run;
    // The run goes on while the window answers: what it has read, and the language of its
    // report, stay as they are until it ends. The keyboard stays with the window, where
    // Escape asks whether to stop the run.
    EnableRunControls(mainWindow, false);
    SetFocus(mainWindow);
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
    run.request.stop = &run.stop;
    run.outcome = RunOutcome{};
    run.threw = false;
    run.permille = 0;
    run.waiting = false;
    run.stop = false;
    run.asking = false;
    run.endedWhileAsking = false;
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

void AskToStopRun(HWND mainWindow) {
    WindowRun& run = TheUiState().run;
    if (run.asking || run.stop) return;
    run.asking = true;
    std::string question =
        WithArguments(Text(TextId::StopQuestion, CurrentLanguage()), run.request.pagePath);
    int answer = MessageBoxW(mainWindow, Utf16(question).c_str(), Utf16(kProductName).c_str(),
                             MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    run.asking = false;
    if (answer == IDYES) run.stop = true;
    if (run.endedWhileAsking) EndExtractionRun(mainWindow);
}

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
    if (run.asking) {  // taken in once the question is answered
        run.endedWhileAsking = true;
        return;
    }
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
