// The page's header style block: what it becomes and what it yields. The block is the first
// plain "<style>" start tag before the first body tag (both outside comments, raw text and
// template elements), with its contents and its end tag; the page walk finds it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"

// The output sheet name as a URL path: its ASCII bytes as typed, every other byte of its UTF-8
// percent-encoded. A browser resolves a URL path as percent-encoded UTF-8 whatever the page's
// own encoding, so the link finds the file in a Windows-1252 page as in a UTF-8 one, while the
// page's other bytes stay as they are.
std::string SheetHref(std::string_view sheetName);

// The sheet name that SheetHref made `href` from: each "%80" to "%FF" back to its byte.
std::string SheetNameOfHref(std::string_view href);

// The element that links the page to its external style sheet.
std::string LinkElement(std::string_view sheetName);

// True when a style start tag, as it stands once its lang attributes are gone, is a plain
// "<style>" (any case): a tag with other attributes starts no header block.
bool IsPlainStyleTag(std::string_view tagText);

// The CSS of a header style block: the text between its tags, without HTML comment markers
// and without the line breaks at its ends.
std::string HeaderCssOf(std::string_view inner);

// True when the CSS holds as many "{" as "}", counting every one, but the trail bytes of the
// double-byte characters of `encoding`, the page's.
bool BracesBalance(std::string_view css, Encoding encoding = Encoding::SingleByte);
