#include "engine/page_reader.h"

#include <array>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"

namespace {

constexpr size_t npos = std::string_view::npos;

// What ends a name or an unquoted value inside a tag, looked up for every byte of a tag.
enum TagStop : unsigned char { kEndsTagName = 1, kEndsAttributeName = 2, kEndsUnquotedValue = 4 };

constexpr std::array<unsigned char, 256> MakeTagStops() {
    std::array<unsigned char, 256> stops{};
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        bool endsTagName = IsSpace(c) || c == '/' || c == '>';
        stops[b] = (endsTagName ? kEndsTagName : 0) |
                   (endsTagName || c == '=' ? kEndsAttributeName : 0) |
                   (IsSpace(c) || c == '>' ? kEndsUnquotedValue : 0);
    }
    return stops;
}

constexpr std::array<unsigned char, 256> kTagStops = MakeTagStops();

bool Stops(char c, TagStop stop) { return (kTagStops[static_cast<unsigned char>(c)] & stop) != 0; }

// True when a tag name ends at `at`: "</stylea>" does not end a style element.
bool EndsTagName(std::string_view page, size_t at) {
    return at >= page.size() || Stops(page[at], kEndsTagName);
}

size_t TagNameEnd(std::string_view page, size_t at) {
    while (at < page.size() && !EndsTagName(page, at)) ++at;
    return at;
}

// The raw-text element named `name` (any case); none for others.
const RawTextElement* RawTextElementNamed(std::string_view name) {
    for (const RawTextElement& element : kRawTextElements)
        if (EqualsNoCase(name, element.name)) return &element;
    return nullptr;
}

// Where the raw text of `rawText` that begins at `from` ends: at its end tag ("</", the name in
// any case, then whitespace, "/", ">" or the end of the page), else at the end of the page.
size_t RawTextEnd(std::string_view page, size_t from, const RawTextElement& rawText) {
    if (rawText.toEndOfPage) return page.size();
    std::string_view element = rawText.name;
    for (size_t at = page.find("</", from); at != npos; at = page.find("</", at + 2)) {
        size_t nameEnd = at + 2 + element.size();
        if (nameEnd <= page.size() && EqualsNoCase(page.substr(at + 2, element.size()), element) &&
            EndsTagName(page, nameEnd))
            return at;
    }
    return page.size();
}

// "<!--" through "-->", or to the end of the page.
void ReadComment(std::string_view page, size_t at, Markup& markup) {
    size_t close = page.find("-->", at + 4);
    markup.kind = MarkupKind::Comment;
    markup.end = close == npos ? page.size() : close + 3;
}

// "<!" or "<?" through the next ">": a doctype, a CDATA section, a conditional comment's
// marker or a processing instruction.
void ReadDeclaration(std::string_view page, size_t at, Markup& markup) {
    size_t close = page.find('>', at + 2);
    markup.kind = MarkupKind::Declaration;
    markup.end = close == npos ? page.size() : close + 1;
}

// "</" and a name through the next ">".
void ReadEndTag(std::string_view page, size_t at, Markup& markup) {
    markup.kind = MarkupKind::EndTag;
    markup.nameEnd = TagNameEnd(page, at + 2);
    markup.name = page.substr(at + 2, markup.nameEnd - at - 2);
    size_t close = page.find('>', markup.nameEnd);
    markup.end = close == npos ? page.size() : close + 1;
}

}  // namespace

bool ReadStartTag(std::string_view text, size_t at, Markup& markup) {
    markup.kind = MarkupKind::StartTag;
    markup.begin = at;
    markup.nameEnd = TagNameEnd(text, at + 1);
    markup.name = text.substr(at + 1, markup.nameEnd - at - 1);
    markup.end = ReadAttributes(text, markup.nameEnd, markup);
    return markup.end != npos;
}

size_t ReadAttributes(std::string_view text, size_t at, Markup& markup) {
    const size_t size = text.size();
    markup.attributes.clear();
    markup.selfClosing = false;
    while (true) {
        bool slash = false;
        for (; at < size && (IsSpace(text[at]) || text[at] == '/'); ++at)
            slash = slash || text[at] == '/';
        markup.selfClosing = slash;
        if (at >= size) return npos;
        if (text[at] == '>') return at + 1;

        Attribute attribute;
        attribute.begin = at;
        ++at;  // a name may begin with "=" and holds at least one byte
        while (at < size && !Stops(text[at], kEndsAttributeName)) ++at;
        attribute.name = text.substr(attribute.begin, at - attribute.begin);
        attribute.end = at;

        size_t afterName = at;
        while (afterName < size && IsSpace(text[afterName])) ++afterName;
        if (afterName < size && text[afterName] == '=') {
            attribute.hasValue = true;
            at = afterName + 1;
            while (at < size && IsSpace(text[at])) ++at;
            char c = at < size ? text[at] : 0;
            if (c == '"' || c == '\'') {
                attribute.quote = c;
                size_t close = text.find(c, at + 1);
                if (close == npos) {
                    // The value never ends: the tag ends at its first ">".
                    size_t tagEnd = text.find('>', at + 1);
                    attribute.unclosed = true;
                    attribute.end = tagEnd == npos ? size : tagEnd;
                    attribute.value = text.substr(at + 1, attribute.end - at - 1);
                    markup.attributes.push_back(attribute);
                    markup.selfClosing = false;
                    return tagEnd == npos ? npos : tagEnd + 1;
                }
                attribute.value = text.substr(at + 1, close - at - 1);
                at = close + 1;
            } else {
                size_t start = at;
                while (at < size && !Stops(text[at], kEndsUnquotedValue)) ++at;
                attribute.value = text.substr(start, at - start);
            }
            attribute.end = at;
        }
        markup.attributes.push_back(attribute);
    }
}

PageReader MakePageReader(std::string_view page, size_t from) {
    PageReader reader;
    reader.page = page;
    reader.position = from;
    return reader;
}

bool NextMarkup(PageReader& reader, Markup& markup) {
    std::string_view page = reader.page;
    const size_t size = page.size();
    if (reader.rawTextElement != nullptr) {
        reader.position = RawTextEnd(page, reader.position, *reader.rawTextElement);
        reader.rawTextElement = nullptr;
    }
    markup.attributes.clear();
    markup.selfClosing = false;
    markup.name = {};
    for (size_t at = page.find('<', reader.position); at != npos && at + 1 < size;
         at = page.find('<', at + 1)) {
        markup.begin = at;
        char next = page[at + 1];
        if (page.compare(at, 4, "<!--") == 0) {
            ReadComment(page, at, markup);
        } else if (next == '!' || next == '?') {
            ReadDeclaration(page, at, markup);
        } else if (next == '/' && at + 2 < size && IsAsciiLetter(page[at + 2])) {
            ReadEndTag(page, at, markup);
        } else if (IsAsciiLetter(next)) {
            if (!ReadStartTag(page, at, markup)) break;  // nothing follows a tag never closed
            reader.rawTextElement = RawTextElementNamed(markup.name);
            // For a browser a value whose quote never closes runs to the end of the page:
            // nothing after it is markup.
            if (!markup.attributes.empty() && markup.attributes.back().unclosed) {
                reader.position = size;
                reader.rawTextElement = nullptr;
                return true;
            }
        } else {
            continue;  // a "<" that opens no markup is text
        }
        reader.position = markup.end;
        return true;
    }
    markup.attributes.clear();
    reader.position = size;
    return false;
}

bool IsTag(const Markup& markup, MarkupKind kind, std::string_view lowerName) {
    return markup.kind == kind && EqualsNoCase(markup.name, lowerName);
}
