// The names of the files of a run, all formed from the page path.
#pragma once

#include <string>
#include <string_view>

#include "engine/run_error.h"

namespace engine {

// The page path with "backup." inserted after the last "." of its file name (index.html:
// index.backup.html), or with ".backup" appended when the file name has no "." (index:
// index.backup). A "." in a folder name plays no part.
std::string BackupPath(std::string_view pagePath);

// The page path up to and including its last folder separator; empty when it has none.
std::string PageFolder(std::string_view pagePath);

std::string RestoreScriptPath(std::string_view pageFolder);

// The page folder followed directly by the output sheet name.
std::string SheetPath(std::string_view pageFolder, std::string_view sheetName);

// True when the output sheet name can name the sheet's file from the page's folder, as a file
// name or a path of folders ("css/site.css", "..\\site.css", with either separator), and mean
// that file and no other. False for a name that is empty or only spaces; that holds a ":" (a
// stream on NTFS, a drive) or a double quote (which the restore script cannot quote, and no
// Windows name holds); that has an empty part (a leading, doubled or trailing separator);
// with a part, other than the folder parts "." and "..", that ends with "." or a space (Windows
// drops them: "a." names "a"); or with a part that is a device name of Windows (con, prn, aux,
// nul, com1 to com9, lpt1 to lpt9, the last two also with "¹", "²" or "³"), in any case, also
// with an extension ("nul.css") or spaces after it ("con .css"). Other bytes that Windows does
// not take in a file name ("*", "|"...) are left to the writing of the file, which fails there.
bool IsUsableSheetName(std::string_view sheetName);

constexpr const char kRestoreScriptName[] = "restore_backup.bat";

// Every file of one run, named from the page path and the output sheet name.
struct RunFiles {
    std::string page;      // the page path as given
    std::string pageFile;  // the file its bytes are in: the target of a page that is a link
    std::string folder;    // the page folder
    std::string backup;
    std::string sheet;
    std::string script;
};

RunFiles FilesOfRun(const std::string& pagePath, std::string_view sheetName);

// The refusals that need neither the page's contents nor its folder's lock: a missing page, a
// folder, an unusable sheet name, and a sheet that would take the place of the run's other files.
RunOutcome RefuseFilesOfRun(std::string_view sheetName, const RunFiles& run);

}  // namespace engine
