// Drives the real main window from a second thread, as a user would: the window runs on its
// own thread through the program's start-up, the test thread clicks, types and reads back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

// Waits until `condition` holds, polling; false after `milliseconds`.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000);

// The text of any window, as ANSI bytes.
std::string WindowText(HWND window);

// User input: mouse clicks on a window, keys and typing to whichever window has the focus.
void ClickWindow(HWND window);
void MoveMouseOnto(HWND window);
void PressKey(WORD key);
void PressKeyWith(WORD modifier, WORD key);
void TypeText(const std::string& text);

// A message box, file dialog or menu shown by the window thread.
struct ThreadWindows {
    static HWND Find(DWORD thread, const std::function<bool(HWND)>& match);
};

// The main window started through StartUp() on its own thread.
class RunningProgram {
public:
    RunningProgram();   // starts the program and waits for its window
    ~RunningProgram();  // closes whatever is still open and waits for the thread

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    std::string ControlText(int id) const { return WindowText(Control(id)); }
    bool Checked(int id) const;
    HWND Focus() const;
    RECT ClientRectOf(int id) const;

    // A dialog of the window thread owned by the main window (message box or file dialog).
    HWND WaitForOwnedDialog(int milliseconds = 10000) const;
    // The text and icon of a message box.
    static std::string MessageText(HWND box);
    static HICON MessageIcon(HWND box);
    // The popup menu window while the language menu is open.
    HWND WaitForMenu() const;
    // Chooses the language menu item at `position` (0 English, 1 French) with the mouse.
    void ChooseLanguage(int position);
    // Types `path` into the open file dialog and confirms it.
    void BrowseTo(const std::string& path);

    // Whether the program's start-up has returned, and what it returned.
    bool WaitForEnd(int milliseconds = 10000);
    DWORD ExitCode() const;

private:
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// Folder of the corpus pages and path of stylewick-cli.exe, as Windows paths.
std::string CorpusFolder();
std::string CliProgram();
void SetCorpusFolder(const std::string& folder);

// The OEM code page this test run was started for (0: whichever it has), from the option
// --oem-code-page=N: scripts/wine-tests starts Wine with a locale that should give it.
unsigned ExpectedOemCodePage();
void SetExpectedOemCodePage(unsigned codePage);

// A fresh folder under the temporary folder, removed with its files afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The full Windows path of `name` in the folder.
    std::string File(const std::string& name) const { return path_ + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Has(const std::string& name) const;

private:
    std::string path_;  // ends in "\"
};

// The whole text of a tool as ANSI bytes (enumerating tools copies only 80 characters).
std::string FullToolText(HWND tooltip, const TTTOOLINFOA& tool);
