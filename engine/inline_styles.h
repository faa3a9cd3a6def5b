// Conversion of the page's style attributes into classes of the style sheet.
#pragma once

#include <cstddef>

#include "engine/run_state.h"

// Replaces every style attribute of the start tags from the body tag on (the whole page when
// it has none), outside comments and raw text, by a class: the class of a header rule with
// the same declarations when there is one, else a new inline class appended to the rules,
// numbered after the highest "inlineClassN" that the page already names.
// Tags that get a new class, or end up with two class attributes, have their class
// attributes merged. Returns the number of style attributes converted.
size_t ConvertInlineStyles(RunState& state);
