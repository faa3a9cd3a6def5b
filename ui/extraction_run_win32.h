// The extraction run as the main window starts it: on a thread of its own, so that the window
// keeps painting and answering; its end comes back to the window as a message, which the main
// window's handler takes in (EndExtractionRun).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

// Posted to the main window once the run has ended: by the run's thread, or again once the
// question whether to stop, open when the run ended, is answered.
constexpr UINT kRunEndedMessage = WM_APP + 1;
// The main window's timer that shows the run's progress.
constexpr UINT_PTR kRunProgressTimer = 1;

// Starts the run on the chosen `pages`: one page, or several of one folder, run together. The
// outcome is told when kRunEndedMessage comes, as EndExtractionRun says; a run whose thread
// cannot start ends so too.
void StartExtractionRun(HWND mainWindow, const std::vector<std::string>& pages,
                        const std::string& sheetName, bool cleanUnused);

// Whether a run has started and its end has not yet been taken in by the window.
bool RunUnderWay();

// Asks the user whether to stop the run under way (Escape, Alt+F4, the close box); Yes stops it
// at its next progress point, with nothing changed, unless its outputs are being placed.
void AskToStopRun(HWND mainWindow);

// Once the run has lasted about a second: how much of it is done, in the caption and on the
// taskbar button. Called by the progress timer.
void ShowRunProgress(HWND mainWindow);

// Takes in the run's end: a whole run shows its report and a page with nothing to extract its
// message, and true is returned: the main window is to end; a run that changed nothing shows its
// message (none when the user stopped it) and the window comes back as it was, ready for another
// launch. False too while the question whether to stop is open (the end is taken in once it is
// answered) and when no run has ended.
bool EndExtractionRun(HWND mainWindow);

// Waits until a run still under way has ended: the program never ends in the middle of writing.
void WaitForExtractionRun();

}  // namespace ui
