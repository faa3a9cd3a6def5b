#include "engine/run_paths.h"

#include "platform/files.h"

std::string BackupPath(std::string_view pagePath) {
    size_t separator = pagePath.find_last_of(files::kFolderSeparators);
    size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
    size_t dot = pagePath.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart) return std::string(pagePath) + ".backup";
    std::string backup(pagePath.substr(0, dot + 1));
    backup += "backup.";
    backup += pagePath.substr(dot + 1);
    return backup;
}

std::string PageFolder(std::string_view pagePath) {
    size_t separator = pagePath.find_last_of(files::kFolderSeparators);
    if (separator == std::string_view::npos) return std::string();
    return std::string(pagePath.substr(0, separator + 1));
}

std::string RestoreScriptPath(std::string_view pageFolder) {
    return std::string(pageFolder) + kRestoreScriptName;
}

std::string SheetPath(std::string_view pageFolder, std::string_view sheetName) {
    return std::string(pageFolder) + std::string(sheetName);
}
