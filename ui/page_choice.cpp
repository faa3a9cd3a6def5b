#include "ui/page_choice.h"

#include <algorithm>

#include "engine/ansi_text.h"

namespace ui {

bool IsHtmlPageName(std::string_view path) {
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    std::string_view extension = path.substr(dot);
    return engine::EqualsNoCase(extension, ".htm") || engine::EqualsNoCase(extension, ".html");
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

DroppedChoice ChosenFromDrop(const std::vector<OfferedFile>& offered) {
    DroppedChoice choice;
    for (const OfferedFile& file : offered)
        if (!file.isFolder && IsHtmlPageName(file.path)) choice.pages.push_back(file.path);
    if (!choice.pages.empty()) return choice;
    for (const OfferedFile& file : offered) {
        if (!file.isFolder) continue;
        choice.folder = file.path;
        return choice;
    }
    std::string page = ChosenPage(offered);
    if (!page.empty()) choice.pages.push_back(page);
    return choice;
}

std::vector<std::string> PagesFromOpenDialog(std::string_view names) {
    std::vector<std::string> parts;
    for (size_t start = 0; start < names.size();) {
        size_t end = std::min(names.find('\0', start), names.size());
        if (end > start) parts.emplace_back(names.substr(start, end - start));
        start = end + 1;
    }
    if (parts.size() < 2) return parts;
    std::string folder = parts.front();
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    std::vector<std::string> pages;
    for (size_t i = 1; i < parts.size(); ++i) pages.push_back(folder + parts[i]);
    return pages;
}

}  // namespace ui
