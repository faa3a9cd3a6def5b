// The names of the files of a run, all formed from the page path.
#pragma once

#include <string>
#include <string_view>

// The page path with "backup." inserted after the last "." of its file name (index.html:
// index.backup.html), or with ".backup" appended when the file name has no "." (index:
// index.backup). A "." in a folder name plays no part.
std::string BackupPath(std::string_view pagePath);

// The page path up to and including its last folder separator; empty when it has none.
std::string PageFolder(std::string_view pagePath);

std::string RestoreScriptPath(std::string_view pageFolder);

// The page folder followed directly by the output sheet name.
std::string SheetPath(std::string_view pageFolder, std::string_view sheetName);

constexpr const char kRestoreScriptName[] = "restore_backup.bat";
