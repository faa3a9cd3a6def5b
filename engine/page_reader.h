// A forward reader of the markup of a page: comments, start tags with their attributes, end
// tags and other declarations, each with its span in the page. It is the one reader of tags
// and attributes of the engine. It never fails: text that is not markup is stepped over, and
// the contents of the raw-text elements are stepped over up to their end tag. The attributes
// of a tag are read when asked for, so that a tag of millions of them takes no memory.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"

namespace engine {

struct Attribute {
    size_t begin = 0;  // first byte of the name
    size_t end = 0;    // one past the value (its closing quote), or past the name
    std::string_view name;
    std::string_view value;  // without its quotes
    bool hasValue = false;   // an "=" follows the name
    char quote = 0;          // '"' or '\'' for a quoted value, else 0
    bool unclosed = false;   // a quoted value whose closing quote the text lacks
};

enum class MarkupKind { StartTag, EndTag, Comment, Declaration };

// The elements that the engine tells apart by their tags; every other is Other.
enum class TagKind : unsigned char {
    Other,
    Html,
    Head,
    Body,
    Style,
    Link,
    Base,
    Meta,
    Template,
    Script
};

// The kind of the tag named `name` (any case).
TagKind TagKindOf(std::string_view name);

struct Markup {
    MarkupKind kind = MarkupKind::Declaration;
    size_t begin = 0;              // the "<"
    size_t end = 0;                // one past the closing ">" (or the end of the page)
    std::string_view name;         // tag name, as written
    TagKind tag = TagKind::Other;  // of a start or end tag, read with its name; else Other
    size_t nameEnd = 0;            // one past the tag name, where its attributes begin
    bool selfClosing = false;      // a start tag whose last separator holds a "/"
    bool unclosedValue = false;    // a start tag whose last attribute's quote never closes
    std::string_view text;         // the text the markup was read from, its attributes' too
};

// Reads the attribute at `at` of a tag's text, past the separators before it. False at the end
// of the tag: `at` is then one past its ">", or npos when the text ends first, and `slash`
// tells whether the separators before that end hold a "/". After a value whose quote never
// closes, `at` stands at the end of that value: nothing of the tag follows it.
bool ReadNextAttribute(std::string_view text, size_t& at, Attribute& attribute, bool& slash);

// The attributes of a start tag, read one after another from its text on each pass over them
// and none kept, as a tag may hold millions: for (const Attribute& a : TagAttributes(tag)).
class TagAttributes {
public:
    explicit TagAttributes(const Markup& tag)
        : text_(tag.text), from_(tag.kind == MarkupKind::StartTag ? tag.nameEnd : npos) {}

    class iterator {
    public:
        iterator() = default;
        iterator(std::string_view text, size_t at) : text_(text), at_(at) { ++*this; }
        const Attribute& operator*() const { return attribute_; }
        const Attribute* operator->() const { return &attribute_; }
        iterator& operator++() {
            bool slash = false;
            if (at_ != npos && !ReadNextAttribute(text_, at_, attribute_, slash)) at_ = npos;
            return *this;
        }
        bool operator==(const iterator& other) const { return at_ == other.at_; }
        bool operator!=(const iterator& other) const { return at_ != other.at_; }

    private:
        std::string_view text_;
        size_t at_ = npos;  // where the next attribute is read; npos past the last
        Attribute attribute_;
    };

    iterator begin() const { return iterator(text_, from_); }
    iterator end() const { return iterator(); }

private:
    std::string_view text_;
    size_t from_;
};

// Every attribute of a start tag at once, for a caller that needs them together.
std::vector<Attribute> AllAttributes(const Markup& tag);

// An element whose contents the reader steps over as text, as a browser that runs scripts
// reads them: nothing in them is markup, so nothing in them is rewritten.
struct RawTextElement {
    std::string_view name;     // in lower case
    bool toEndOfPage = false;  // no end tag closes it: its text runs to the end of the page
};

// The elements whose contents are text up to the element's end tag. The contents of textarea
// and title may hold character references, which a browser decodes, but no tags either.
constexpr RawTextElement kRawTextElements[] = {
    {"script"},   {"style"},    {"xmp"},      {"iframe"}, {"noembed"},
    {"noframes"}, {"noscript"}, {"textarea"}, {"title"},  {"plaintext", true},
};

struct PageReader {
    std::string_view page;
    size_t position = 0;
    // Set after a start tag whose contents are raw text: the next markup read lies past them.
    const RawTextElement* rawTextElement = nullptr;
};

PageReader MakePageReader(std::string_view page, size_t from = 0);

// Reads the next markup at or after the reader's position into `markup`; false at the end.
bool NextMarkup(PageReader& reader, Markup& markup);

// True when the markup is of `kind` (a start or end tag) and its tag of `tag`.
inline bool IsTag(const Markup& markup, MarkupKind kind, TagKind tag) {
    return markup.kind == kind && markup.tag == tag;
}

// Reads the start tag whose "<" stands at `at` in `text` into `markup`. False when the text
// ends inside the tag: it is then no tag.
bool ReadStartTag(std::string_view text, size_t at, Markup& markup);

// Reads the attributes of a tag from `at` (just past its name) for `markup`, up to its
// closing ">" or the end of `text`, which then counts as the tag's end. Attribute names and
// unquoted values end at whitespace, "/" (names only), "=" (names only) and ">"; a "/"
// between attributes separates them. A quoted value that never closes runs to the first ">"
// after its quote, or to the end of the text, and ends the tag. Returns one past the ">", or
// npos when the text ends first. The markup keeps where they are, not the attributes
// themselves (TagAttributes reads them).
size_t ReadAttributes(std::string_view text, size_t at, Markup& markup);

// The charset that the first meta element before the body tag or "</head>" declares (its
// charset attribute, or an http-equiv="Content-Type" with a charset in its content), trimmed;
// empty when there is none.
std::string_view DeclaredCharset(std::string_view page);

// The encoding the page declares, as a browser's prescan finds it: UTF-8 for a byte-order mark,
// else the charset of the first meta element before the body tag or "</head>" that has a
// charset attribute, or an http-equiv="Content-Type" with a charset in its content. Only the
// double-byte encodings are told apart (Shift_JIS, GBK and Big5 with their aliases); any
// other is SingleByte.
Encoding DeclaredEncoding(std::string_view page);

}  // namespace engine
