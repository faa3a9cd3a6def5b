// Drives the real main window from a second thread, as a user would: the window runs on its
// own thread through the program's start-up, the test thread clicks, types and reads back.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/corpus_pages.h"
#include "tests/support/scratch_folder.h"
#include "texts/strings.h"

namespace ui {

// Waits until `condition` holds, polling; false after `milliseconds`.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000);

// The text of any window, in UTF-8.
std::string WindowText(HWND window);

// User input: mouse clicks on a window, keys and typing to whichever window has the focus.
void ClickWindow(HWND window);
void MoveMouseOnto(HWND window);
void PressKey(WORD key);
void PressKeyWith(WORD modifier, WORD key);
void TypeText(const std::string& utf8);

// A message box, file dialog or menu shown by the window thread.
struct ThreadWindows {
    static HWND Find(DWORD thread, const std::function<bool(HWND)>& match);
};

// The main window started through StartUp() on its own thread, with `arguments` as its
// command line.
class RunningProgram {
public:
    explicit RunningProgram(std::vector<std::string> arguments = {});  // waits for the window
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
    // The popup menu window while the language menu is open; nullptr when none opens in time.
    HWND WaitForMenu(int milliseconds = 10000) const;
    // Chooses the language menu item at `position` (0 English, 1 French) with the mouse.
    void ChooseLanguage(int position);
    // Types `path` into the open file dialog and confirms it.
    void BrowseTo(const std::string& path);

    // Whether the program's start-up has returned, and what it returned.
    bool WaitForEnd(int milliseconds = 10000);
    DWORD ExitCode() const;

    // Drops files on the window as the shell does: a WM_DROPFILES message with wide names.
    void Drop(const std::vector<std::string>& paths) const;

private:
    std::vector<std::string> arguments_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// The full path of one of the programs built beside the tests ("stylewick-cli.exe", ...).
std::string ProgramPath(const std::string& name);
// What stylewick-cli.exe did: its exit code (-1 when it did not end in time) and what it wrote
// to its stdout and stderr, redirected to pipes.
struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Runs stylewick-cli.exe with `arguments` (a command line, UTF-8), in `folder` when given.
CliResult RunCli(const std::string& arguments, const std::string& folder = "");

// A full Windows path (UTF-8) for the wide file functions, with the "\\?\" prefix.
std::wstring LongPath(const std::string& path);
// An existing path by the short (8.3) names the file system gives its parts, without the
// "\\?\" prefix; empty when the system gives none.
std::string ShortPath(const std::string& path);
// Removes a folder and everything in it, whatever the length of its path (std::filesystem of
// the MinGW runtime cannot walk a folder whose path is longer than MAX_PATH).
void RemoveFolder(const std::string& path);

// Another process that holds a file open for reading with the sharing `share` (FILE_SHARE_*
// flags), as an editor or a browser showing the page would, until this object goes.
class HeldByAnotherProcess {
public:
    HeldByAnotherProcess(const std::string& path, DWORD share);
    ~HeldByAnotherProcess();
    HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
    HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;
    bool Holding() const { return holding_; }

private:
    PROCESS_INFORMATION process_{};
    HANDLE input_ = nullptr;  // closing it lets the other process go
    bool holding_ = false;
};
// The other process's side: the test program started with "--hold=PATH --share=FLAGS" holds
// PATH, writes "held" and waits until its standard input closes. Returns its exit code.
int HoldFile(const std::string& path, DWORD share);

// The web browser's side in the test of the web link: writes `address` into the file `path`.
int RecordOpenedAddress(const std::string& path, const std::string& address);

// The OEM code page this test run was started for (0: whichever it has), from the option
// --oem-code-page=N: scripts/wine-tests starts Wine with a locale that should give it.
unsigned ExpectedOemCodePage();
void SetExpectedOemCodePage(unsigned codePage);

// The DPI this test run was started for (0: whichever it has), from the option --dpi=N:
// scripts/wine-tests sets the prefix's LogPixels to it first. ScreenDpi() is the one it has.
unsigned ExpectedDpi();
void SetExpectedDpi(unsigned dpi);
int ScreenDpi();
// `pixels` of the layout table at `dpi`, rounded as the system rounds.
inline int Scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// The tooltip control owned by the main window, and its tools in order: the control each
// belongs to and its whole text in UTF-8.
HWND MainTooltip(HWND mainWindow);
struct Tool {
    HWND control;
    std::string text;
};
std::vector<Tool> Tools(HWND mainWindow);
// The texts of the tools that belong to `control`.
std::vector<std::string> ToolTexts(HWND mainWindow, HWND control);

// Checks the caption and every text that a language switch sets, as shown in `language`
// while no page is chosen.
void ExpectWindowIn(const RunningProgram& program, texts::Language language);

}  // namespace ui
