#include "engine/header_sheets.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "platform/files.h"

namespace engine {

namespace {

// `name` cut before the "." of its extension in its last part: "css/site.css" gives
// "css/site" and ".css"; a name without one has an empty extension.
std::pair<std::string, std::string> StemAndExtension(std::string_view name) {
    size_t part = name.find_last_of(platform::kFolderSeparators);
    part = part == std::string_view::npos ? 0 : part + 1;
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot <= part) return {std::string(name), ""};
    return {std::string(name.substr(0, dot)), std::string(name.substr(dot))};
}

}  // namespace

size_t HeaderSheets::Find(std::string_view css, SheetReading reading) const {
    size_t i = 0;
    while (i < sheets_.size() && !(sheets_[i].reading == reading && sheets_[i].css.Css() == css))
        ++i;
    return i;
}

bool HeaderSheets::IsFree(const std::string& path) const {
    if (platform::Exists(path)) return false;
    // The paths are all made from the same folder: a name that differs in case alone is taken
    // too, as it is on Windows.
    std::string lower = path;
    for (char& c : lower) c = AsciiLower(c);
    auto same = [&](const std::string& other) { return EqualsNoCase(other, lower); };
    return std::none_of(taken_.begin(), taken_.end(), same) &&
           std::none_of(sheets_.begin(), sheets_.end(),
                        [&](const HeaderSheet& sheet) { return same(sheet.path); });
}

std::string HeaderSheets::NameFor(std::string_view css, SheetReading reading,
                                  const std::string& page) const {
    if (css.empty()) return {};
    if (size_t known = Find(css, reading); known < sheets_.size()) return sheets_[known].name;
    auto [stem, extension] = StemAndExtension(sheetName_);
    std::string pageStem = StemAndExtension(page.substr(PageFolder(page).size())).first;
    if (!IsUsableSheetName(stem + "." + pageStem + extension)) pageStem = "page";
    for (unsigned number = 1;; ++number) {
        std::string name = stem + "." + pageStem +
                           (number > 1 ? "-" + std::to_string(number) : std::string()) + extension;
        if (IsFree(SheetPath(folder_, name))) return name;
    }
}

HeaderSheet* HeaderSheets::Keep(const HeaderCss& header, SheetReading reading,
                                const std::string& page) {
    std::string_view css = header.Css();
    if (css.empty()) return nullptr;
    if (size_t known = Find(css, reading); known < sheets_.size()) return &sheets_[known];
    HeaderSheet sheet;
    sheet.reading = reading;
    sheet.name = NameFor(css, reading, page);
    sheet.path = SheetPath(folder_, sheet.name);
    sheet.css = header.Kept();
    sheets_.push_back(std::move(sheet));
    return &sheets_.back();
}

}  // namespace engine
