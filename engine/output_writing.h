// The style sheet a run writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/run_state.h"

// The style sheet: in the plain layout the header CSS text as the page held it, in the
// cleaned layout the header rules one by one; then the inline classes.
std::string StyleSheetText(const RunState& state, bool cleanedLayout);

// The rules of the style sheet as it writes them: the header rules of the cleaned layout, and
// the inline classes.
std::vector<Rule> HeaderRulesOf(const RunState& state);
std::vector<Rule> InlineClassesOf(const RunState& state);

// True when `sheet` holds the inline comment line as a whole line, as every sheet the tool
// writes does (after a UTF-8 byte-order mark, in the sheet of a UTF-16 page).
bool HoldsInlineCommentLine(std::string_view sheet);
