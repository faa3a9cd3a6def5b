#include "engine/run_paths.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "platform/files.h"

namespace engine {

namespace {

// A device name of Windows, which names the device in any folder, whatever follows its first
// "." and whatever spaces stand before that.
bool IsDeviceName(std::string_view part) {
    std::string_view base = part.substr(0, part.find('.'));
    base = base.substr(0, base.find_last_not_of(' ') + 1);
    for (std::string_view device : {"con", "prn", "aux", "nul"})
        if (EqualsNoCase(base, device)) return true;
    if (!StartsWithNoCase(base, "com") && !StartsWithNoCase(base, "lpt")) return false;
    std::string_view number = base.substr(3);
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace

bool IsUsableSheetName(std::string_view sheetName) {
    if (sheetName.find_first_not_of(' ') == std::string_view::npos) return false;
    // A stream on NTFS; and a double quote, which the restore script's quoting cannot hold
    // (Windows takes none in a name).
    if (sheetName.find_first_of(":\"") != std::string_view::npos) return false;
    size_t start = 0;
    while (true) {
        size_t end = std::min(sheetName.find_first_of("/\\", start), sheetName.size());
        std::string_view part = sheetName.substr(start, end - start);
        bool folder = end < sheetName.size();
        if (part.empty() || IsDeviceName(part)) return false;
        bool moves = folder && (part == "." || part == "..");
        if (!moves && (part.back() == '.' || part.back() == ' ')) return false;
        if (!folder) return true;
        start = end + 1;
    }
}

std::string BackupPath(std::string_view pagePath) {
    size_t separator = pagePath.find_last_of(platform::kFolderSeparators);
    size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    size_t dot = pagePath.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) return std::string(pagePath) + ".backup";
    std::string backup(pagePath.substr(0, dot + 1));
    backup += "backup.";
    backup += pagePath.substr(dot + 1);
    return backup;
}

std::string PageFolder(std::string_view pagePath) {
    size_t separator = pagePath.find_last_of(platform::kFolderSeparators);
    if (separator == std::string_view::npos) return std::string();
    return std::string(pagePath.substr(0, separator + 1));
}

std::string RestoreScriptPath(std::string_view pageFolder) {
    return std::string(pageFolder) + kRestoreScriptName;
}

std::string SheetPath(std::string_view pageFolder, std::string_view sheetName) {
    return std::string(pageFolder) + std::string(sheetName);
}

RunFiles FilesOfRun(const std::string& pagePath, std::string_view sheetName) {
    RunFiles run;
    run.page = pagePath;
    // A page that is a symbolic link stays one: the file it names is converted, while the
    // backup, the script and the sheet go beside the link, where the user sees the page.
    run.pageFile = platform::ResolvedPath(pagePath);
    run.folder = PageFolder(pagePath);
    run.backup = BackupPath(pagePath);
    run.sheet = SheetPath(run.folder, sheetName);
    run.script = RestoreScriptPath(run.folder);
    return run;
}

RunOutcome RefuseFilesOfRun(std::string_view sheetName, const RunFiles& run) {
    if (!platform::Exists(run.page)) return {RunError::PageMissing, run.page};
    if (platform::IsFolder(run.page)) return {RunError::PageIsFolder, run.page};
    if (!IsUsableSheetName(sheetName)) return {RunError::SheetNameInvalid, std::string(sheetName)};
    // The style sheet must not take the place of the run's other files.
    if (platform::SamePath(run.sheet, run.page) || platform::SamePath(run.sheet, run.backup) ||
        platform::SamePath(run.sheet, run.script))
        return {RunError::SheetNameCollides, run.page};
    return {};
}

}  // namespace engine
