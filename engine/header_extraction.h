// The page's header style block: cut out, replaced by the link element to the style sheet.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/extraction_run.h"
#include "engine/run_state.h"

// The output sheet name as a URL path: its ASCII bytes as typed, every other byte of its UTF-8
// percent-encoded. A browser resolves a URL path as percent-encoded UTF-8 whatever the page's
// own encoding, so the link finds the file in a Windows-1252 page as in a UTF-8 one, while the
// page's other bytes stay as they are.
std::string SheetHref(std::string_view sheetName);

// The sheet name that SheetHref made `href` from: each "%80" to "%FF" back to its byte.
std::string SheetNameOfHref(std::string_view href);

// The element that links the page to its external style sheet.
std::string LinkElement(std::string_view sheetName);

// Replaces the header style block (the first plain "<style>" outside comments and scripts,
// before the first body tag) and every other block of exactly the same text by the link
// element, and keeps the block's CSS as the header CSS text. Fails when the block has no
// closing tag or its braces do not balance.
RunError ExtractHeaderStyleBlock(RunState& state);

// The href values of the page's link elements, outside comments, in page order.
std::vector<std::string_view> LinkHrefs(std::string_view page);

// Inserts the link element before the first </head>, else before the body tag, else at the
// start: for pages whose styles move to the sheet although they had no header style block.
void InsertLinkElement(RunState& state);
