#include "engine/header_extraction.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"

namespace {

constexpr size_t npos = std::string_view::npos;

void RemoveAll(std::string& text, std::string_view marker) {
    std::string kept;
    kept.reserve(text.size());
    size_t from = 0;
    for (size_t at = text.find(marker); at != npos; at = text.find(marker, from)) {
        kept.append(text, from, at - from);
        from = at + marker.size();
    }
    kept.append(text, from, npos);
    text.swap(kept);
}

}  // namespace

std::string SheetHref(std::string_view sheetName) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string href;
    for (char c : sheetName) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            href += c;
            continue;
        }
        href += '%';
        href += kHex[byte >> 4];
        href += kHex[byte & 0xF];
    }
    return href;
}

std::string SheetNameOfHref(std::string_view href) {
    std::string name;
    for (size_t i = 0; i < href.size(); ++i) {
        int high = i + 2 < href.size() && href[i] == '%' ? HexValue(href[i + 1]) : -1;
        int low = high >= 8 ? HexValue(href[i + 2]) : -1;
        if (low < 0) {
            name += href[i];
            continue;
        }
        name += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return name;
}

std::string LinkElement(std::string_view sheetName) {
    std::string link = "<link rel=\"stylesheet\" type=\"text/css\" href=\"";
    link += SheetHref(sheetName);
    link += "\" />";
    return link;
}

bool IsPlainStyleTag(std::string_view tagText) { return EqualsNoCase(tagText, "<style>"); }

std::string HeaderCssOf(std::string_view inner) {
    std::string css(inner);
    RemoveAll(css, "<!--");
    RemoveAll(css, "-->");
    size_t first = css.find_first_not_of("\r\n");
    if (first == npos) return std::string();
    size_t last = css.find_last_not_of("\r\n");
    return css.substr(first, last - first + 1);
}

bool BracesBalance(std::string_view css, Encoding encoding) {
    if (encoding == Encoding::SingleByte)
        return std::count(css.begin(), css.end(), '{') == std::count(css.begin(), css.end(), '}');
    return CountCharacter(css, '{', encoding) == CountCharacter(css, '}', encoding);
}
