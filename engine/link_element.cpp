#include "engine/link_element.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/character_references.h"

namespace engine {

namespace {

// Removes every `marker` of the text, as found in it from left to right: what the removal
// joins is not looked at again. In place: the text never grows.
void RemoveAll(std::string& text, std::string_view marker) {
    size_t kept = 0;
    size_t from = 0;
    for (size_t at = text.find(marker); at != npos; at = text.find(marker, from)) {
        std::copy(text.begin() + from, text.begin() + at, text.begin() + kept);
        kept += at - from;
        from = at + marker.size();
    }
    if (from == 0) return;
    std::copy(text.begin() + from, text.end(), text.begin() + kept);
    text.resize(kept + text.size() - from);
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// The length of the comment marker or line break at `at` of `text`, 0 for none.
size_t MarkerOrLineBreakAt(std::string_view text, size_t at) {
    if (IsLineBreak(text[at])) return 1;
    if (text.compare(at, 4, "<!--") == 0) return 4;
    return text.compare(at, 3, "-->") == 0 ? 3 : 0;
}

}  // namespace

namespace {

// Bytes that the href writes as escapes wherever they stand in the name.
bool AlwaysEscaped(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte >= 0x80 || c == '%' || c == '#' || c == '?' || c == '"';
}

// Bytes that SheetNameOfHref decodes wherever their escape stands: those that SheetHref
// escapes in some places only ("&", ":") can be decoded anywhere, since SheetHref writes every
// "%" as an escape. Spaces are the exception: see SheetNameOfHref.
bool DecodedAnywhere(int byte) {
    return byte >= 0 && (AlwaysEscaped(static_cast<char>(byte)) || byte == '&' || byte == ':');
}

// The byte of the escape "%XY" at `at` of `text`, either case of hex digits; -1 for none.
int EscapedByte(std::string_view text, size_t at) {
    if (at + 2 >= text.size() || text[at] != '%') return -1;
    int high = HexValue(text[at + 1]);
    int low = HexValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

std::string SheetHref(std::string_view sheetName) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    size_t firstSlash = std::min(sheetName.find('/'), sheetName.size());
    size_t leadingSpaces = std::min(sheetName.find_first_not_of(' '), sheetName.size());
    size_t trailingSpacesStart = sheetName.find_last_not_of(' ') + 1;  // 0 when all are spaces
    std::string href;
    href.reserve(sheetName.size());
    for (size_t i = 0; i < sheetName.size(); ++i) {
        char c = sheetName[i];
        char32_t first = 0, second = 0;
        bool escaped = AlwaysEscaped(c) || (c == ':' && i < firstSlash) ||
                       (c == ' ' && (i < leadingSpaces || i >= trailingSpacesStart)) ||
                       (c == '&' && ReadCharacterReference(sheetName.substr(i), first, second) > 0);
        if (!escaped) {
            href += c;
            continue;
        }
        unsigned char byte = static_cast<unsigned char>(c);
        href += '%';
        href += kHex[byte >> 4];
        href += kHex[byte & 0xF];
    }
    return href;
}

std::string SheetNameOfHref(std::string_view href) {
    // SheetHref writes "%20" only for the spaces at the name's ends: the runs of "%20" at the
    // ends of the href. Elsewhere it stands for itself, as an earlier link's "my%20page.css".
    constexpr std::string_view kSpace = "%20";
    size_t leadingEnd = 0;
    while (href.substr(leadingEnd, kSpace.size()) == kSpace) leadingEnd += kSpace.size();
    size_t trailingStart = href.size();
    while (trailingStart >= leadingEnd + kSpace.size() &&
           href.substr(trailingStart - kSpace.size(), kSpace.size()) == kSpace)
        trailingStart -= kSpace.size();
    std::string name;
    name.reserve(href.size());
    for (size_t i = 0; i < href.size(); ++i) {
        int byte = EscapedByte(href, i);
        bool decoded =
            DecodedAnywhere(byte) || (byte == ' ' && (i < leadingEnd || i >= trailingStart));
        if (!decoded) {
            name += href[i];
            continue;
        }
        name += static_cast<char>(byte);
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
    css.erase(css.find_last_not_of("\r\n") + 1);
    css.erase(0, first);
    return css;
}

size_t HeaderCssPlace(std::string_view inner, std::string_view css) {
    // Past the markers and line breaks at the start, as word processors write them.
    size_t begin = 0;
    for (size_t step; begin < inner.size() && (step = MarkerOrLineBreakAt(inner, begin)) > 0;)
        begin += step;
    return inner.compare(begin, css.size(), css) == 0 ? begin : npos;
}

bool BracesBalance(std::string_view css, Encoding encoding) {
    if (encoding == Encoding::SingleByte)
        return std::count(css.begin(), css.end(), '{') == std::count(css.begin(), css.end(), '}');
    return CountCharacter(css, '{', encoding) == CountCharacter(css, '}', encoding);
}

}  // namespace engine
