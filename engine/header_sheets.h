// The header sheets of a run over several pages: one for each distinct header CSS text, shared
// by the pages whose header CSS is that text byte for byte (and whose bytes above ASCII read
// alike), named after the output sheet and the first page that uses it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/header_css.h"
#include "engine/page_coding.h"
#include "engine/run_paths.h"

namespace engine {

// How a page reads the bytes of a sheet it links: pages that read them alike can share one.
struct SheetReading {
    PageCoding coding = PageCoding::AsIs;
    Encoding encoding = Encoding::SingleByte;

    bool operator==(const SheetReading& other) const {
        return coding == other.coding && encoding == other.encoding;
    }
};

struct HeaderSheet {
    HeaderCss css;  // in a text of its own
    SheetReading reading;
    std::string name;  // as the pages' links name it, beside the output sheet's name
    std::string path;
    std::vector<bool> used;  // of its rules, by any page that links it
};

class HeaderSheets {
public:
    // `taken`: the paths that no header sheet may take (the run's pages, backups, script and
    // sheet); nor may any file that exists.
    HeaderSheets(std::string sheetName, std::string folder, std::vector<std::string> taken)
        : sheetName_(std::move(sheetName)), folder_(std::move(folder)), taken_(std::move(taken)) {}

    // The name of the header sheet of `css` as read by `reading`: the sheet's if there is one,
    // else a free name made from the output sheet's name and `page`'s ("styles.index.css").
    std::string NameFor(std::string_view css, SheetReading reading, const std::string& page) const;

    // The header sheet of `header`, the header CSS of `page` as read by `reading`, made when
    // the page is the first to use it; none (nullptr) for a page without header CSS. Valid
    // until the next call.
    HeaderSheet* Keep(const HeaderCss& header, SheetReading reading, const std::string& page);

    std::vector<HeaderSheet>& Sheets() { return sheets_; }
    size_t Count() const { return sheets_.size(); }

private:
    // The index of the sheet of `css`, or the number of sheets.
    size_t Find(std::string_view css, SheetReading reading) const;
    bool IsFree(const std::string& path) const;

    std::string sheetName_;
    std::string folder_;
    std::vector<std::string> taken_;
    std::vector<HeaderSheet> sheets_;
};

}  // namespace engine
