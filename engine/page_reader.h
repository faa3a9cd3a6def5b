// A forward reader of the markup of a page: comments, start tags with their attributes, end
// tags and other declarations, each with its span in the page. It never fails: text that is
// not markup is stepped over, and the contents of script, style, textarea and title
// elements are raw text, stepped over up to their end tag.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

struct Attribute {
    size_t begin = 0;  // first byte of the name
    size_t end = 0;    // one past the value (its closing quote), or past the name
    std::string_view name;
    std::string_view value;  // without its quotes
    bool hasValue = false;   // an "=" follows the name
    char quote = 0;          // '"' or '\'' for a quoted value, else 0
    bool unclosed = false;   // a quoted value whose closing quote the page lacks
};

enum class MarkupKind { StartTag, EndTag, Comment, Declaration };

struct Markup {
    MarkupKind kind = MarkupKind::Declaration;
    size_t begin = 0;                   // the "<"
    size_t end = 0;                     // one past the closing ">" (or the end of the page)
    std::string_view name;              // tag name, as written
    size_t nameEnd = 0;                 // one past the tag name
    std::vector<Attribute> attributes;  // start tags only
};

struct PageReader {
    std::string_view page;
    size_t position = 0;
    std::string_view rawTextElement;  // set after a start tag whose contents are raw text
    size_t noDoubleQuoteFrom = std::string_view::npos;  // memo: no '"' at or after
    size_t noSingleQuoteFrom = std::string_view::npos;  // memo: no '\'' at or after
};

PageReader MakePageReader(std::string_view page, size_t from = 0);

// Reads the next markup at or after the reader's position into `markup`; false at the end.
bool NextMarkup(PageReader& reader, Markup& markup);

// True when a start tag's name is `lowerName` (any case).
bool IsTag(const Markup& markup, MarkupKind kind, std::string_view lowerName);

// The first start tag named body, outside comments and raw text; npos when there is none.
size_t FindBodyTag(std::string_view page);
