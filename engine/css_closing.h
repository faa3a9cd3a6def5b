// Keeping one part of a style sheet from swallowing the next.
#pragma once

#include <string>
#include <string_view>

#include "engine/byte_classes.h"

namespace engine {

// What must follow `css` so that the rules after it are read on their own: the closing
// characters of every comment, bracket, parenthesis and block it leaves open, then "{}" when
// it ends in a selector without rules (as a "<![CDATA[" wrapper leaves one). Browsers ignore
// such an unfinished part, so closing it changes nothing else. Empty for well-formed CSS.
// `encoding` is the page's, in which the CSS is written.
std::string CssClosers(std::string_view css, Encoding encoding = Encoding::SingleByte);

}  // namespace engine
