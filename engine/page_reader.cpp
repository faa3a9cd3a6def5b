#include "engine/page_reader.h"

#include "engine/ansi_text.h"

namespace {

constexpr size_t npos = std::string_view::npos;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// True when a tag name ends at `at`: "</stylea>" does not end a style element.
bool EndsTagName(std::string_view page, size_t at) {
    return at >= page.size() || IsSpace(page[at]) || page[at] == '/' || page[at] == '>';
}

bool HasRawTextContents(std::string_view name) {
    return EqualsNoCase(name, "script") || EqualsNoCase(name, "style") ||
           EqualsNoCase(name, "textarea") || EqualsNoCase(name, "title");
}

// Position of the next `quote` at or after `from`, remembering a failed search so that a
// page full of unclosed quotes is still read in linear time.
size_t FindQuote(PageReader& reader, char quote, size_t from) {
    size_t& memo = quote == '"' ? reader.noDoubleQuoteFrom : reader.noSingleQuoteFrom;
    if (memo != npos && from >= memo) return npos;
    size_t found = reader.page.find(quote, from);
    if (found == npos) memo = from;
    return found;
}

// Reads the attributes of a start tag from `at` (just past its name) to its closing ">".
// Returns one past the ">", or npos when the page ends inside the tag.
size_t ReadAttributes(PageReader& reader, size_t at, std::vector<Attribute>& attributes) {
    std::string_view page = reader.page;
    const size_t size = page.size();
    while (true) {
        while (at < size && (IsSpace(page[at]) || page[at] == '/')) ++at;
        if (at >= size) return npos;
        if (page[at] == '>') return at + 1;

        Attribute attribute;
        attribute.begin = at;
        ++at;  // a name may begin with "=" and holds at least one byte
        while (at < size && !IsSpace(page[at]) && page[at] != '/' && page[at] != '>' &&
               page[at] != '=')
            ++at;
        attribute.name = page.substr(attribute.begin, at - attribute.begin);
        attribute.end = at;

        size_t afterName = at;
        while (afterName < size && IsSpace(page[afterName])) ++afterName;
        if (afterName < size && page[afterName] == '=') {
            attribute.hasValue = true;
            at = afterName + 1;
            while (at < size && IsSpace(page[at])) ++at;
            if (at >= size) return npos;
            char c = page[at];
            if (c == '"' || c == '\'') {
                attribute.quote = c;
                size_t close = FindQuote(reader, c, at + 1);
                if (close == npos) {
                    // The value never ends: the tag ends at its first ">".
                    size_t tagEnd = page.find('>', at + 1);
                    attribute.unclosed = true;
                    attribute.value =
                        page.substr(at + 1, (tagEnd == npos ? size : tagEnd) - at - 1);
                    attribute.end = tagEnd == npos ? size : tagEnd;
                    attributes.push_back(attribute);
                    return tagEnd == npos ? npos : tagEnd + 1;
                }
                attribute.value = page.substr(at + 1, close - at - 1);
                at = close + 1;
            } else if (c == '>') {
                attribute.value = page.substr(at, 0);
            } else {
                size_t start = at;
                while (at < size && !IsSpace(page[at]) && page[at] != '>') ++at;
                attribute.value = page.substr(start, at - start);
            }
            attribute.end = at;
        }
        attributes.push_back(attribute);
    }
}

}  // namespace

PageReader MakePageReader(std::string_view page, size_t from) {
    PageReader reader;
    reader.page = page;
    reader.position = from;
    return reader;
}

bool NextMarkup(PageReader& reader, Markup& markup) {
    std::string_view page = reader.page;
    const size_t size = page.size();
    if (!reader.rawTextElement.empty()) {
        // Raw text runs to the element's end tag; without one, to the end of the page.
        std::string lowerEnd = "</" + AnsiLowerCopy(reader.rawTextElement);
        reader.rawTextElement = {};
        size_t end = reader.position;
        while ((end = FindNoCase(page, lowerEnd, end)) != npos &&
               !EndsTagName(page, end + lowerEnd.size()))
            ++end;
        reader.position = end == npos ? size : end;
    }
    markup.attributes.clear();
    while (reader.position < size) {
        size_t at = page.find('<', reader.position);
        if (at == npos || at + 1 >= size) {
            reader.position = size;
            return false;
        }
        markup.begin = at;
        markup.name = {};
        char next = page[at + 1];
        if (page.compare(at, 4, "<!--") == 0) {
            size_t close = page.find("-->", at + 4);
            markup.kind = MarkupKind::Comment;
            markup.end = close == npos ? size : close + 3;
        } else if (next == '!' || next == '?') {
            size_t close = page.find('>', at + 2);
            markup.kind = MarkupKind::Declaration;
            markup.end = close == npos ? size : close + 1;
        } else if (next == '/' && at + 2 < size && IsAsciiLetter(page[at + 2])) {
            size_t nameEnd = at + 2;
            while (nameEnd < size && !IsSpace(page[nameEnd]) && page[nameEnd] != '/' &&
                   page[nameEnd] != '>')
                ++nameEnd;
            size_t close = page.find('>', nameEnd);
            markup.kind = MarkupKind::EndTag;
            markup.name = page.substr(at + 2, nameEnd - at - 2);
            markup.nameEnd = nameEnd;
            markup.end = close == npos ? size : close + 1;
        } else if (IsAsciiLetter(next)) {
            size_t nameEnd = at + 1;
            while (nameEnd < size && !IsSpace(page[nameEnd]) && page[nameEnd] != '/' &&
                   page[nameEnd] != '>')
                ++nameEnd;
            size_t end = ReadAttributes(reader, nameEnd, markup.attributes);
            if (end == npos) {
                // The page ends inside the tag: it is not a tag, and nothing follows it.
                markup.attributes.clear();
                reader.position = size;
                return false;
            }
            markup.kind = MarkupKind::StartTag;
            markup.name = page.substr(at + 1, nameEnd - at - 1);
            markup.nameEnd = nameEnd;
            markup.end = end;
            if (HasRawTextContents(markup.name)) reader.rawTextElement = markup.name;
            // For a browser a value whose quote never closes runs to the end of the page:
            // nothing after it is markup.
            if (!markup.attributes.empty() && markup.attributes.back().unclosed) {
                reader.position = size;
                reader.rawTextElement = {};
                return true;
            }
        } else {
            reader.position = at + 1;
            continue;
        }
        reader.position = markup.end;
        return true;
    }
    return false;
}

bool IsTag(const Markup& markup, MarkupKind kind, std::string_view lowerName) {
    return markup.kind == kind && EqualsNoCase(markup.name, lowerName);
}

size_t FindBodyTag(std::string_view page) {
    PageReader reader = MakePageReader(page);
    Markup markup;
    while (NextMarkup(reader, markup))
        if (IsTag(markup, MarkupKind::StartTag, "body")) return markup.begin;
    return npos;
}
