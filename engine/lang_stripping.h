// Removal of the lang attributes of a page.
#pragma once

#include <string>
#include <string_view>

// The page without the attributes named lang (any case) of its start tags: each goes with
// its value and the single space before it, if there is one. Other attributes (hreflang,
// xml:lang), text, comments and raw text such as scripts are left as they are.
std::string StripLangAttributes(std::string_view page);
