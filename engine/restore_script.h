// restore_backup.bat, the script that undoes the conversions in place of a folder's pages:
// for each conversion, the newest first, a copy of the backup over the page, then the deletion
// of the backup and of every sheet the page's runs wrote (three lines for one run), then the
// line that deletes the script.
// It is in the command interpreter's code page when every path can be written there exactly,
// else in UTF-8 after a "chcp 65001 >nul" line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One conversion in place that the script undoes: the backup holds the page as it was before
// the first of its runs; each run wrote one of the sheets, the newest first.
struct Conversion {
    std::string backupPath;
    std::string pagePath;
    std::vector<std::string> sheetPaths;
};

// The conversions that a script written by the tool undoes, in its order. False when `bytes`
// are not in a form the tool writes: this one, or the four lines of earlier versions (whose
// paths may be relative to the folder they were run from: they are made absolute from the
// current folder).
bool ReadRestoreScript(std::string_view bytes, std::vector<Conversion>& conversions);

// The script that undoes `conversions` in that order and then deletes itself from
// `scriptPath`. False when a path can be written neither in the code page nor in UTF-8.
bool RestoreScriptBytes(const std::vector<Conversion>& conversions, const std::string& scriptPath,
                        std::string& bytes);
