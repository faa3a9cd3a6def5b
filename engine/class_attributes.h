// Rebuilding a start tag's attribute text with all its class attributes merged into one.
#pragma once

#include <string>
#include <string_view>

// Takes the attribute text of one start tag (after the tag name and its whitespace, without
// the closing ">") and returns it with every class attribute merged, in order, into one
// double-quoted class attribute at the front, followed by the other attributes, each quoted
// as its value requires. Returns the empty text when the text holds no class attribute.
std::string MergeClassAttributes(std::string_view attributeText);
