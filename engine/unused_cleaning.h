// Dropping header rules whose class the page never mentions.
#pragma once

#include <string_view>
#include <vector>

#include "engine/header_css.h"
#include "engine/run_progress.h"

namespace engine {

// Removes the header rules whose class names do not occur anywhere in `page` (the page as
// rewritten), in any ASCII case, telling `progress` how far along the page it is. A rule is
// judged by the first class of each selector of its group outside brackets, and stays when any
// of them occurs: at-rules (with every rule of their block), and rules with a selector that
// names no class, or one only inside brackets (":not(.x)"), always stay.
void RemoveUnusedRules(HeaderCss& header, std::string_view page, RunProgress& progress);

// The two halves of that, for header rules that several pages share: marks in `used` (one per
// header rule, grown to their number) each rule that `page` uses or that always stays; then
// keeps the rules marked.
void MarkUsedRules(const HeaderCss& header, std::string_view page, std::vector<bool>& used,
                   RunProgress& progress);
void KeepUsedRules(std::vector<HeaderRule>& rules, const std::vector<bool>& used);

}  // namespace engine
