#include "ui/page_choice.h"

#include "engine/ansi_text.h"

bool IsHtmlPageName(std::string_view path) {
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string_view extension = path.substr(dot);
    return EqualsNoCase(extension, ".htm") || EqualsNoCase(extension, ".html");
}

std::string ChosenPage(const std::vector<OfferedFile>& offered) {
    const OfferedFile* firstFile = nullptr;
    for (const OfferedFile& file : offered) {
        if (file.isFolder) continue;
        if (IsHtmlPageName(file.path)) return file.path;
        if (!firstFile) firstFile = &file;
    }
    return firstFile ? firstFile->path : std::string();
}
