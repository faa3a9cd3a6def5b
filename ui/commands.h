// The main window's commands: browse, launch, language, web link, and a page dropped on it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// Runs the command of control `controlId` for the notification `code`; any other does nothing.
void OnCommand(HWND mainWindow, int controlId, int code);

// Lets the user choose the page in the file-open dialog, which opens in the folder of the page
// chosen last; shows it in the page path field.
void BrowseCommand(HWND mainWindow);

// Chooses the page among files dropped on the window, as a browse would; ignored once the
// launch has begun. Frees `drop`.
void DropCommand(HWND mainWindow, HDROP drop);

// Starts the extraction on the chosen page; once it has ended, its report shows and the main
// window ends (see StartExtractionRun).
void LaunchCommand(HWND mainWindow);

// Opens the author's web site.
void WebLinkCommand();

// The page among `paths` (dropped, or named on the command line), made absolute: the first
// existing HTML page, else the first existing file. Empty when none fits.
std::string PageAmong(const std::vector<std::string>& paths);
