// Cutting the header CSS text into rules.
#pragma once

#include <string_view>
#include <vector>

#include "engine/run_state.h"

// One rule per "{" of the text, in order: the selector before it and the declarations up to
// the next "}", both trimmed of whitespace. Braces do not nest, and only comments standing
// before a selector are skipped.
std::vector<Rule> ParseHeaderRules(std::string_view headerCss);
