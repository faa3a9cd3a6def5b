#include "engine/page_reader.h"

#include <array>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"

namespace engine {

namespace {

// What ends a name or an unquoted value inside a tag, looked up for every byte of a tag.
enum TagStop : unsigned char { kEndsTagName = 1, kEndsAttributeName = 2, kEndsUnquotedValue = 4 };

constexpr std::array<unsigned char, 256> MakeTagStops() {
    std::array<unsigned char, 256> stops{};
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        bool endsTagName = IsTagSpace(c) || c == '/' || c == '>';
        stops[b] = (endsTagName ? kEndsTagName : 0) |
                   (endsTagName || c == '=' ? kEndsAttributeName : 0) |
                   (IsTagSpace(c) || c == '>' ? kEndsUnquotedValue : 0);
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
    markup.tag = TagKindOf(markup.name);
    size_t close = page.find('>', markup.nameEnd);
    markup.end = close == npos ? page.size() : close + 1;
}

size_t SkipTagSpace(std::string_view text, size_t at) {
    while (at < text.size() && IsTagSpace(text[at])) ++at;
    return at;
}

// Steps over the whitespace and "/"s before an attribute or the end of a tag; `slash` tells
// whether they hold a "/".
size_t SkipSeparators(std::string_view text, size_t at, bool& slash) {
    slash = false;
    for (; at < text.size() && (IsTagSpace(text[at]) || text[at] == '/'); ++at)
        slash = slash || text[at] == '/';
    return at;
}

// Reads the value of `attribute` that begins at `at` (past the "=" and the whitespace after
// it): quoted, unquoted, or a quoted one that never closes, which then runs to the tag's first
// ">", or to the end of the text. Returns one past the value: past its closing quote, or where
// the unclosed value ends.
size_t ReadValue(std::string_view text, size_t at, Attribute& attribute) {
    const char quote = at < text.size() ? text[at] : 0;
    if (quote != '"' && quote != '\'') {
        size_t start = at;
        while (at < text.size() && !Stops(text[at], kEndsUnquotedValue)) ++at;
        attribute.value = text.substr(start, at - start);
        return at;
    }
    attribute.quote = quote;
    size_t close = text.find(quote, at + 1);
    if (close != npos) {
        attribute.value = text.substr(at + 1, close - at - 1);
        return close + 1;
    }
    // The value never ends: the tag ends at its first ">".
    size_t tagEnd = text.find('>', at + 1);
    attribute.unclosed = true;
    size_t end = tagEnd == npos ? text.size() : tagEnd;
    attribute.value = text.substr(at + 1, end - at - 1);
    return end;
}

TagKind Named(std::string_view name, std::string_view lowerName, TagKind kind) {
    return EqualsNoCase(name, lowerName) ? kind : TagKind::Other;
}

}  // namespace

TagKind TagKindOf(std::string_view name) {
    // By the length and the first letters, so that a name is compared with one known name at most.
    switch (name.size()) {
        case 4:
            switch (AnsiLower(name[0])) {
                case 'h':
                    return AnsiLower(name[1]) == 't' ? Named(name, "html", TagKind::Html)
                                                     : Named(name, "head", TagKind::Head);
                case 'b':
                    return AnsiLower(name[1]) == 'o' ? Named(name, "body", TagKind::Body)
                                                     : Named(name, "base", TagKind::Base);
                case 'l': return Named(name, "link", TagKind::Link);
                case 'm': return Named(name, "meta", TagKind::Meta);
                default: return TagKind::Other;
            }
        case 5: return Named(name, "style", TagKind::Style);
        case 6: return Named(name, "script", TagKind::Script);
        case 8: return Named(name, "template", TagKind::Template);
        default: return TagKind::Other;
    }
}

bool ReadStartTag(std::string_view text, size_t at, Markup& markup) {
    markup.kind = MarkupKind::StartTag;
    markup.begin = at;
    markup.nameEnd = TagNameEnd(text, at + 1);
    markup.name = text.substr(at + 1, markup.nameEnd - at - 1);
    markup.tag = TagKindOf(markup.name);
    markup.end = ReadAttributes(text, markup.nameEnd, markup);
    return markup.end != npos;
}

bool ReadNextAttribute(std::string_view text, size_t& at, Attribute& attribute, bool& slash) {
    const size_t size = text.size();
    at = SkipSeparators(text, at, slash);
    if (at >= size) {
        at = npos;
        return false;
    }
    if (text[at] == '>') {
        ++at;
        return false;
    }

    attribute = Attribute();
    attribute.begin = at;
    ++at;  // a name may begin with "=" and holds at least one byte
    while (at < size && !Stops(text[at], kEndsAttributeName)) ++at;
    attribute.name = text.substr(attribute.begin, at - attribute.begin);
    attribute.end = at;

    size_t afterName = SkipTagSpace(text, at);
    if (afterName < size && text[afterName] == '=') {
        attribute.hasValue = true;
        at = ReadValue(text, SkipTagSpace(text, afterName + 1), attribute);
        attribute.end = at;
    }
    return true;
}

size_t ReadAttributes(std::string_view text, size_t at, Markup& markup) {
    markup.kind = MarkupKind::StartTag;
    markup.text = text;
    markup.nameEnd = at;
    markup.unclosedValue = false;
    Attribute attribute;
    bool slash = false;
    while (ReadNextAttribute(text, at, attribute, slash)) markup.unclosedValue = attribute.unclosed;
    markup.selfClosing = slash;
    return at;
}

std::vector<Attribute> AllAttributes(const Markup& tag) {
    std::vector<Attribute> attributes;
    for (const Attribute& attribute : TagAttributes(tag)) attributes.push_back(attribute);
    return attributes;
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
    markup.selfClosing = false;
    markup.unclosedValue = false;
    markup.name = {};
    markup.tag = TagKind::Other;
    markup.text = page;
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
            if (markup.unclosedValue) {
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
    reader.position = size;
    return false;
}

namespace {

struct EncodingLabel {
    std::string_view label;
    Encoding encoding;
};

constexpr EncodingLabel kDoubleByteLabels[] = {
    {"shift_jis", Encoding::ShiftJis},
    {"shift-jis", Encoding::ShiftJis},
    {"sjis", Encoding::ShiftJis},
    {"x-sjis", Encoding::ShiftJis},
    {"windows-31j", Encoding::ShiftJis},
    {"cp932", Encoding::ShiftJis},
    {"ms932", Encoding::ShiftJis},
    {"ms_kanji", Encoding::ShiftJis},
    {"csshiftjis", Encoding::ShiftJis},
    {"gbk", Encoding::Gbk},
    {"x-gbk", Encoding::Gbk},
    {"gb2312", Encoding::Gbk},
    {"gb_2312", Encoding::Gbk},
    {"gb_2312-80", Encoding::Gbk},
    {"csgb2312", Encoding::Gbk},
    {"csiso58gb231280", Encoding::Gbk},
    {"iso-ir-58", Encoding::Gbk},
    {"chinese", Encoding::Gbk},
    {"gb18030", Encoding::Gbk},
    {"big5", Encoding::Big5},
    {"big5-hkscs", Encoding::Big5},
    {"cn-big5", Encoding::Big5},
    {"csbig5", Encoding::Big5},
    {"x-x-big5", Encoding::Big5},
};

Encoding EncodingOfLabel(std::string_view label) {
    label = TrimSpace(label);
    for (const EncodingLabel& known : kDoubleByteLabels)
        if (EqualsNoCase(label, known.label)) return known.encoding;
    return Encoding::SingleByte;
}

// The charset named in a Content-Type value ("text/html; charset=shift_jis"): after "charset",
// whitespace, "=" and whitespace, a quoted value or the bytes up to whitespace or ";". Empty
// when there is none.
std::string_view CharsetOfContentType(std::string_view content) {
    for (size_t at = FindNoCase(content, "charset"); at != npos;
         at = FindNoCase(content, "charset", at + 1)) {
        size_t from = at + 7;
        while (from < content.size() && IsSpace(content[from])) ++from;
        if (from >= content.size() || content[from] != '=') continue;
        ++from;
        while (from < content.size() && IsSpace(content[from])) ++from;
        if (from < content.size() && (content[from] == '"' || content[from] == '\'')) {
            size_t close = content.find(content[from], from + 1);
            if (close == npos) return {};
            return content.substr(from + 1, close - from - 1);
        }
        size_t end = from;
        while (end < content.size() && !IsSpace(content[end]) && content[end] != ';') ++end;
        return content.substr(from, end - from);
    }
    return {};
}

// The charset that a meta element declares; empty when it declares none.
std::string_view CharsetOfMeta(const Markup& meta) {
    bool contentType = false;
    std::string_view content;
    for (const Attribute& attribute : TagAttributes(meta)) {
        if (EqualsNoCase(attribute.name, "charset")) return attribute.value;
        if (EqualsNoCase(attribute.name, "http-equiv"))
            contentType = EqualsNoCase(TrimSpace(attribute.value), "content-type");
        if (EqualsNoCase(attribute.name, "content")) content = attribute.value;
    }
    return contentType ? CharsetOfContentType(content) : std::string_view();
}

}  // namespace

std::string_view DeclaredCharset(std::string_view page) {
    PageReader reader = MakePageReader(page);
    Markup markup;
    while (NextMarkup(reader, markup)) {
        if (IsTag(markup, MarkupKind::StartTag, TagKind::Body) ||
            IsTag(markup, MarkupKind::EndTag, TagKind::Head))
            break;
        if (!IsTag(markup, MarkupKind::StartTag, TagKind::Meta)) continue;
        std::string_view charset = CharsetOfMeta(markup);
        if (!charset.empty()) return TrimSpace(charset);
    }
    return {};
}

Encoding DeclaredEncoding(std::string_view page) {
    if (page.compare(0, 3, "\xEF\xBB\xBF") == 0) return Encoding::SingleByte;
    return EncodingOfLabel(DeclaredCharset(page));
}

}  // namespace engine
