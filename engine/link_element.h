// The page's header style block: what it becomes and what it yields. The block is the first
// plain "<style>" start tag before the first body tag (both outside comments, raw text and
// template elements), with its contents and its end tag; the page walk finds it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"

namespace engine {

// The output sheet name as a URL path in a double-quoted attribute: its ASCII bytes as typed,
// but those that the attribute or the URL would read otherwise, percent-encoded with every
// other byte of its UTF-8. A browser resolves a URL path as percent-encoded UTF-8 whatever the
// page's own encoding, so the link finds the file in a Windows-1252 page as in a UTF-8 one,
// while the page's other bytes stay as they are. Encoded: "%" itself; "#" and "?", which would
// end the path; '"', which would end the attribute; an "&" that begins a character reference,
// which the attribute would decode; a ":" before the first "/", which would make the name
// before it a scheme; the control bytes, which a URL drops (tab, line breaks) or trims at its
// ends; the spaces at the name's ends, which a URL trims. A name without any of these keeps
// every byte as typed.
std::string SheetHref(std::string_view sheetName);

// The sheet name that SheetHref made `href` from: each escape that SheetHref writes back to its
// byte ("%20" only in the runs of them at the ends of the href, where SheetHref writes it).
// Earlier links are read as they were meant too: earlier versions escaped only the bytes from
// 0x80 up and wrote "%" as it is, so any other escape in an earlier link ("%41.css") is read as
// written. Only an earlier name that held "%" followed by the hex digits of a byte escaped now
// ("100%25.css", "%23.css") is read as another name: such names are rare, and the common ones,
// in any script, are read as before.
std::string SheetNameOfHref(std::string_view href);

// The element that links the page to its external style sheet.
std::string LinkElement(std::string_view sheetName);

// True when a style start tag, as it stands once its lang attributes are gone, is a plain
// "<style>" (any case): a tag with other attributes starts no header block.
bool IsPlainStyleTag(std::string_view tagText);

// The CSS of a header style block: the text between its tags, without HTML comment markers
// and without the line breaks at its ends.
std::string HeaderCssOf(std::string_view inner);

// Where `css`, the CSS of a block whose text between its tags is `inner`, stands in `inner` as
// it is, as it does when comment markers stand only at its ends; npos when it stands nowhere.
size_t HeaderCssPlace(std::string_view inner, std::string_view css);

// True when the CSS holds as many "{" as "}", counting every one, but the trail bytes of the
// double-byte characters of `encoding`, the page's.
bool BracesBalance(std::string_view css, Encoding encoding = Encoding::SingleByte);

}  // namespace engine
