#include "ui/extraction_run_win32.h"

#include <memory>
#include <new>
#include <utility>

#include "engine/extraction_run.h"
#include "engine/run_paths.h"
#include "platform/utf16.h"
#include "texts/run_report.h"
#include "ui/control_ids.h"
#include "ui/dialog_texts.h"
#include "ui/taskbar_progress.h"
#include "ui/ui_state.h"
#include "ui/window_text.h"

namespace ui {

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
void ReturnToWindow(HWND mainWindow, const RunJob& job) {
    EnableRunControls(mainWindow, true);
    SetWindowTextOf(mainWindow, MainCaption(CurrentLanguage()));
    std::string sheetPath =
        engine::SheetPath(engine::PageFolder(job.request.pagePath), job.request.sheetName);
    int focus =
        texts::MessageConcernsSheetName(job.outcome, sheetPath) ? IDE_SHEET_NAME : IDB_BROWSE;
    SendMessageW(mainWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(mainWindow, focus)),
                 TRUE);
}

// The run's thread, given its job: nothing may unwind out of it, and once it has told the
// window of the run's end it touches the job no more.
DWORD WINAPI RunThread(void* parameter) {
    RunJob& job = *static_cast<RunJob*>(parameter);
    try {
        job.outcome = engine::RunExtraction(job.request);
    } catch (const std::bad_alloc&) {
        job.outcome = {engine::RunError::OutOfMemory, job.request.pagePath};
    } catch (...) {
        job.threw = true;
    }
    PostMessageW(job.window, kRunEndedMessage, 0, 0);
    return 0;
}

// The job of a run from the window on `request`, whose progress and wait it records.
std::unique_ptr<RunJob> NewJob(HWND mainWindow, engine::RunRequest request) {
    auto job = std::make_unique<RunJob>();
    job->window = mainWindow;
    job->request = std::move(request);
    RunJob* shared = job.get();
    job->request.progress = [shared](double done) {
        shared->waiting.store(false, std::memory_order_relaxed);
        shared->permille.store(static_cast<int>(done * 1000), std::memory_order_relaxed);
    };
    job->request.waiting = [shared] { shared->waiting.store(true, std::memory_order_relaxed); };
    job->request.stop = &shared->stop;
    return job;
}

// Waits until the run's thread has ended and lets it go.
void WaitForThread(WindowRun& run) {
    if (!run.thread) return;
    WaitForSingleObject(run.thread, INFINITE);
    CloseHandle(run.thread);
    run.thread = nullptr;
}

void ShowPercent(HWND mainWindow, int percent) {
    WindowRun& run = TheUiState().run;
    if (percent == run.shownPercent) return;
    run.shownPercent = percent;
    SetWindowTextOf(mainWindow, ProgressCaption(CurrentLanguage(), percent));
    ShowTaskbarProgress(mainWindow, percent);
}

// The pages of a run from the window: its several, or its one.
std::vector<std::string> PagesOf(const engine::RunRequest& request) {
    if (request.pagePaths.empty()) return {request.pagePath};
    return request.pagePaths;
}

// The report of a completed run: of its one page, or of its several.
std::string Report(const RunJob& job, texts::Language language, double startSecondOfDay) {
    long seconds = texts::ElapsedSeconds(startSecondOfDay, texts::SecondsOfDayNow());
    const engine::RunRequest& request = job.request;
    if (request.pagePaths.size() > 1)
        return texts::SeveralPagesReport(job.outcome, request.sheetName, language, seconds);
    return texts::RunReport(language, request.sheetName, request.cleanUnused, seconds,
                            job.outcome.wroteBackup, job.outcome.backupToCopyBack);
}

// A whole run, or a page with nothing to extract, ends the window after its message (true); a
// run that changed nothing returns to it.
bool TellOutcome(HWND mainWindow, const RunJob& job, double startSecondOfDay) {
    if (job.threw) return true;
    texts::Language language = CurrentLanguage();
    engine::RunError error = job.outcome.error;
    if (error == engine::RunError::None) {
        ShowMessage(mainWindow, Report(job, language, startSecondOfDay), MB_ICONINFORMATION);
        return true;
    }
    if (error != engine::RunError::Stopped)
        ShowMessage(mainWindow, texts::RunErrorMessage(job.outcome, language),
                    error == engine::RunError::NothingToExtract ? MB_ICONINFORMATION : MB_ICONSTOP);
    if (error == engine::RunError::NothingToExtract) return true;
    ReturnToWindow(mainWindow, job);
    return false;
}

}  // namespace

void StartExtractionRun(HWND mainWindow, const std::vector<std::string>& pages,
                        const std::string& sheetName, bool cleanUnused) {
    WindowRun& run = TheUiState().run;
    // The run goes on while the window answers: what it has read, and the language of its
    // report, stay as they are until it ends. The keyboard stays with the window, where
    // Escape asks whether to stop the run.
    EnableRunControls(mainWindow, false);
    SetFocus(mainWindow);
    engine::RunRequest request;
    request.pagePath = pages.front();
    if (pages.size() > 1) request.pagePaths = pages;
    request.sheetName = sheetName;
    request.cleanUnused = cleanUnused;
    run = WindowRun{};
    run.job = NewJob(mainWindow, std::move(request));
    run.startSecondOfDay = texts::SecondsOfDayNow();
    run.startTick = GetTickCount();

    run.thread = CreateThread(nullptr, 0, RunThread, run.job.get(), 0, nullptr);
    if (!run.thread) {  // no room for a thread: nothing has run
        run.job->outcome = {engine::RunError::OutOfMemory, run.job->request.pagePath};
        PostMessageW(mainWindow, kRunEndedMessage, 0, 0);
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

bool RunUnderWay() { return TheUiState().run.job != nullptr; }

void AskToStopRun(HWND mainWindow) {
    WindowRun& run = TheUiState().run;
    if (!run.job || run.asking || run.job->stop) return;
    run.asking = true;
    std::string question = StopQuestionText(CurrentLanguage(), PagesOf(run.job->request));
    int answer = MessageBoxW(mainWindow, platform::Utf16(question).c_str(),
                             platform::Utf16(texts::kProductName).c_str(),
                             MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    run.asking = false;
    if (answer == IDYES) run.job->stop = true;
    if (run.endedWhileAsking) {  // its end was put off: the main window takes it in now
        run.endedWhileAsking = false;
        PostMessageW(mainWindow, kRunEndedMessage, 0, 0);
    }
}

void ShowRunProgress(HWND mainWindow) {
    WindowRun& run = TheUiState().run;
    if (!run.thread) return;
    bool waiting = run.job->waiting.load(std::memory_order_relaxed);
    if (waiting != run.showsWaiting) {
        run.showsWaiting = waiting;
        run.shownPercent = -1;
        texts::Language language = CurrentLanguage();
        if (waiting)
            SetWindowTextOf(mainWindow,
                            std::string(texts::Text(texts::TextId::WaitingForFolder, language)) +
                                " - " + MainCaption(language));
    }
    if (!waiting && GetTickCount() - run.startTick >= kProgressDelay)
        ShowPercent(mainWindow, run.job->permille.load(std::memory_order_relaxed) / 10);
}

bool EndExtractionRun(HWND mainWindow) {
    WindowRun& run = TheUiState().run;
    if (!run.job) return false;
    if (run.asking) {  // taken in once the question is answered
        run.endedWhileAsking = true;
        return false;
    }
    WaitForThread(run);
    std::unique_ptr<RunJob> job = std::move(run.job);
    KillTimer(mainWindow, kRunProgressTimer);
    if (run.shownPercent >= 0) ShowPercent(mainWindow, job->permille.load() / 10);
    EndTaskbarProgress(mainWindow);
    return TellOutcome(mainWindow, *job, run.startSecondOfDay);
}

void WaitForExtractionRun() {
    WindowRun& run = TheUiState().run;
    if (!run.job) return;
    WaitForThread(run);
    EndTaskbarProgress(run.job->window);
    run.job.reset();
}

}  // namespace ui
