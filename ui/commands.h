// The main window's commands: browse, launch, language and web link.
#pragma once

#include <windows.h>

// Runs the command of control `controlId` for the notification `code`; any other does nothing.
void OnCommand(HWND mainWindow, int controlId, int code);

// Lets the user choose the page in the file-open dialog; shows it in the page path field.
void BrowseCommand(HWND mainWindow);

// Runs the extraction on the chosen page, reports it and ends the main window.
void LaunchCommand(HWND mainWindow);

// Opens the author's web site.
void WebLinkCommand();
