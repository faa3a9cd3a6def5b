// Dropping header rules whose class the page never mentions.
#pragma once

#include <vector>

#include "engine/run_state.h"

// Removes the header rules whose class names do not occur anywhere in the page text, in any
// ASCII case. A rule is judged by the first class of each selector of its group outside
// brackets, and stays when any of them occurs: at-rules (with every rule of their block),
// and rules with a selector that names no class, or one only inside brackets (":not(.x)"),
// always stay.
void RemoveUnusedRules(RunState& state);

// The two halves of that, for header rules that several pages share: marks in `used` (one per
// header rule, grown to their number) each rule that the page text of `state` uses or that
// always stays; then keeps the rules marked.
void MarkUsedRules(RunState& state, std::vector<bool>& used);
void KeepUsedRules(RunState& state, const std::vector<bool>& used);
