// restore_backup.bat, the script that undoes the conversions in place of a folder's pages:
//   @setlocal EnableExtensions DisableDelayedExpansion
//   copy /b /y "BACKUP" "PAGE"
//   if not errorlevel 1 del "BACKUP"
//   if not errorlevel 1 del "SHEET"
//   if errorlevel 1 set stylewick_failed=1
//   if not defined stylewick_failed del "SCRIPT"
// For each conversion, the newest first, a binary copy of the backup over the page, then the
// deletion of the backup and of every sheet the page's runs wrote (one line each), only when
// the copy succeeded; a failed copy marks the run as failed. The script deletes itself only when
// no copy failed, so that it can be run again. A sheet that several conversions list (pages
// converted in one run share their sheets) is noted in each ("rem links SHEET") and deleted
// once, after the last of them, when no copy failed: a page restored before another fails
// still needs it. Delayed expansion is off whatever cmd was started
// with, so a "!" in a path stays itself.
// A path that cmd cannot open as it is is written in a form it can (platform::BatchPath). A
// conversion with a path that has no such form is written commented out ("rem " before each
// line, the real paths) and marks the run as failed ("set stylewick_failed=1"): the script
// names the page it cannot restore and stays.
// It is in the command interpreter's code page when every path can be written there exactly,
// else in UTF-8 after a "chcp 65001 >nul" line, which follows the first line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// One conversion in place that the script undoes: the backup holds the page as it was before
// the first of its runs; each run wrote one of the sheets, the newest first.
struct Conversion {
    std::string backupPath;
    std::string pagePath;
    std::vector<std::string> sheetPaths;
};

// The conversions that a script written by the tool undoes, in its order, those written
// commented out included. False when `bytes` are not in a form the tool writes: this one, the
// one of the version before it (no first line, no failure marks, "copy" without switches, the
// last line "del SCRIPT"), or the four lines of earlier versions (whose paths may be relative to
// the folder they were run from: they are made absolute from the current folder).
bool ReadRestoreScript(std::string_view bytes, std::vector<Conversion>& conversions);

// The script that undoes `conversions` in that order and then deletes itself from
// `scriptPath`. False when a path can be written neither in the code page nor in UTF-8.
// `unrestorable`, when given, receives the page of every conversion that the script names
// without undoing it (a path cmd cannot open in any form), in the script's order.
bool RestoreScriptBytes(const std::vector<Conversion>& conversions, const std::string& scriptPath,
                        std::string& bytes, std::vector<std::string>* unrestorable = nullptr);

}  // namespace engine
