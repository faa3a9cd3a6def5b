// Which page the window takes from files dropped on it or named on its command line. Free of
// Win32 types, so that the native tests check it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
