// The two comment lines of the style sheets the tool writes, built from its web address (the
// configured version header). Every sheet it writes holds the inline comment line as a whole
// line: a file without it at the style sheet path was not written by the tool and is never
// replaced.
#pragma once

#include <string_view>

#include "version.h"

namespace engine {

constexpr std::string_view kInlineCommentLine =
    "/* Inline CSS extracted with stylewick (" STYLEWICK_WEBSITE ") */";
constexpr std::string_view kInternalCommentLine =
    "/* Internal CSS from header cleaned with stylewick (" STYLEWICK_WEBSITE ") */";

}  // namespace engine
