#include "engine/header_extraction.h"

#include <algorithm>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/page_reader.h"

namespace {

constexpr size_t npos = std::string_view::npos;

bool IsPlainStyleTag(std::string_view page, const Markup& markup) {
    return IsTag(markup, MarkupKind::StartTag, "style") &&
           EqualsNoCase(page.substr(markup.begin, markup.end - markup.begin), "<style>");
}

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

// The CSS of a style block: the text between its tags, without HTML comment markers and
// without the line breaks at its ends.
std::string HeaderCssOf(std::string_view inner) {
    std::string css(inner);
    RemoveAll(css, "<!--");
    RemoveAll(css, "-->");
    size_t first = css.find_first_not_of("\r\n");
    if (first == npos) return std::string();
    size_t last = css.find_last_not_of("\r\n");
    return css.substr(first, last - first + 1);
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
    auto hexDigit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string name;
    for (size_t i = 0; i < href.size(); ++i) {
        int high = i + 2 < href.size() && href[i] == '%' ? hexDigit(href[i + 1]) : -1;
        int low = high >= 8 ? hexDigit(href[i + 2]) : -1;
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

RunError ExtractHeaderStyleBlock(RunState& state) {
    std::string_view page = state.pageText;
    PageReader reader = MakePageReader(page);
    Markup markup;
    size_t blockStart = npos;
    size_t closeTag = npos;
    bool bodyFound = false;
    while (!bodyFound && NextMarkup(reader, markup)) {
        bodyFound = IsTag(markup, MarkupKind::StartTag, "body");
        if (blockStart != npos || !IsPlainStyleTag(page, markup)) continue;
        blockStart = markup.begin;
        closeTag = FindNoCase(page, "</style>", markup.end);
        // Without its closing tag the block runs to the end of the page, over the body.
        if (closeTag == npos)
            return FindNoCase(page, "<body", markup.end) == npos ? RunError::None
                                                                 : RunError::StyleBlockUnclosed;
        reader = MakePageReader(page, closeTag + 8);
    }
    if (blockStart == npos || !bodyFound) return RunError::None;
    std::string_view block = page.substr(blockStart, closeTag + 8 - blockStart);
    state.headerCss = HeaderCssOf(page.substr(blockStart + 7, closeTag - blockStart - 7));

    // The block and every other block of the same text outside comments become the link.
    std::vector<size_t> sameBlocks;
    reader = MakePageReader(page);
    while (NextMarkup(reader, markup)) {
        if (!IsPlainStyleTag(page, markup) || page.compare(markup.begin, block.size(), block) != 0)
            continue;
        sameBlocks.push_back(markup.begin);
        reader = MakePageReader(page, markup.begin + block.size());
    }
    std::string link = LinkElement(state.sheetName);
    std::string rewritten;
    rewritten.reserve(page.size() + link.size());
    size_t copied = 0;
    for (size_t at : sameBlocks) {
        rewritten.append(page, copied, at - copied);
        rewritten += link;
        copied = at + block.size();
    }
    rewritten.append(page, copied, npos);
    state.pageText.swap(rewritten);
    state.hasHeaderBlock = true;

    if (std::count(state.headerCss.begin(), state.headerCss.end(), '{') !=
        std::count(state.headerCss.begin(), state.headerCss.end(), '}'))
        return RunError::BracesMismatch;
    return RunError::None;
}

std::vector<std::string_view> LinkHrefs(std::string_view page) {
    std::vector<std::string_view> hrefs;
    PageReader reader = MakePageReader(page);
    Markup markup;
    while (NextMarkup(reader, markup)) {
        if (!IsTag(markup, MarkupKind::StartTag, "link")) continue;
        for (const Attribute& attribute : markup.attributes)
            if (attribute.hasValue && EqualsNoCase(attribute.name, "href"))
                hrefs.push_back(attribute.value);
    }
    return hrefs;
}

void InsertLinkElement(RunState& state) {
    std::string_view page = state.pageText;
    size_t at = npos;
    size_t bodyTag = npos;
    PageReader reader = MakePageReader(page);
    Markup markup;
    while (at == npos && NextMarkup(reader, markup)) {
        if (IsTag(markup, MarkupKind::EndTag, "head"))
            at = markup.begin;
        else if (bodyTag == npos && IsTag(markup, MarkupKind::StartTag, "body"))
            bodyTag = markup.begin;
    }
    if (at == npos) at = bodyTag == npos ? 0 : bodyTag;
    state.pageText.insert(at, LinkElement(state.sheetName));
}
