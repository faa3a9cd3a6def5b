// The main window's commands: browse, launch, language, web link, and a page dropped on it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "texts/strings.h"

namespace ui {

// Runs the command of control `controlId` for the notification `code`; any other does nothing.
void OnCommand(HWND mainWindow, int controlId, int code);

// Lets the user choose the page, or several pages of one folder, in the file-open dialog, which
// opens in the folder of the page chosen last; shows them in the page path field.
void BrowseCommand(HWND mainWindow);

// Chooses pages among files dropped on the window, as a browse would: every page dropped, else
// the pages of a folder dropped (a folder without any is named in a message and changes
// nothing), else the first file. Ignored once the launch has begun. Frees `drop`.
void DropCommand(HWND mainWindow, HDROP drop);

// Starts the extraction on the chosen pages; once it has ended, its report shows and the main
// window ends (see StartExtractionRun).
void LaunchCommand(HWND mainWindow);

// Shows the chosen pages in the page path field, in `language`: the one page's path, with the
// same tooltip; how many pages and their folder, with their names in the tooltip; or that none
// is chosen yet.
void ShowChosenPages(HWND mainWindow, texts::Language language);

// Opens the author's web site.
void WebLinkCommand();

// The pages the command line names (as the shell's Send To or a shortcut passes them), chosen
// as a drop chooses them: every HTML page, else the pages of the first folder, else the first
// file; made absolute. Empty when none fits.
std::vector<std::string> PagesAmong(const std::vector<std::string>& paths);

}  // namespace ui
