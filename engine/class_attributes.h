// Rebuilding a start tag's attributes with all its class attributes merged into one.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/page_reader.h"

namespace engine {

// Appends the attributes of one start tag, as the page reader reads them: the class values, in
// order, merged into one double-quoted class attribute at the front, followed by the tag's
// attributes but those that `merged` tells (by their place among them, from 0), whatever their
// names, each quoted as its value requires, and by "/" for a self-closing tag.
void AppendMergedClassAttributes(std::string& out, const std::vector<std::string_view>& classValues,
                                 const Markup& tag, const std::function<bool(size_t)>& merged);

}  // namespace engine
