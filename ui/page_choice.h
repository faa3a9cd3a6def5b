// Which pages the window takes from files dropped on it, named on its command line or chosen
// in its file-open dialog. Free of Win32 types, so that the native tests check it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

// An existing file or folder offered as the page.
struct OfferedFile {
    std::string path;
    bool isFolder = false;
};

// Whether the name ends in ".htm" or ".html", in any case.
bool IsHtmlPageName(std::string_view path);

// The first HTML page among `offered`, else the first file; never a folder. Empty when there
// is none.
std::string ChosenPage(const std::vector<OfferedFile>& offered);

// What a drop chooses: every HTML page dropped (one, as ChosenPage takes it, or several); else
// the pages of the first folder dropped, which the caller lists; else the first file. Neither
// when nothing fits.
struct DroppedChoice {
    std::vector<std::string> pages;
    std::string folder;
};
DroppedChoice ChosenFromDrop(const std::vector<OfferedFile>& offered);

// The pages chosen in the file-open dialog from its list of names, each ended by NUL: one full
// path, or the folder followed by the names of several files in it.
std::vector<std::string> PagesFromOpenDialog(std::string_view names);

}  // namespace ui
