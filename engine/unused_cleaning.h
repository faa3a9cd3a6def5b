// Dropping header rules whose class the page never mentions.
#pragma once

#include "engine/run_state.h"

// Removes the header rules whose class name does not occur anywhere in the page text, in any
// ASCII case. A rule is judged by the first class of its first selector outside brackets:
// at-rules (with every rule of their block), rules without a class and rules whose first
// selector names a class only inside brackets (":not(.x)") stay.
void RemoveUnusedRules(RunState& state);
