// Dropping header rules whose class the page never mentions.
#pragma once

#include "engine/run_state.h"

// Removes the header rules whose class name does not occur anywhere in the page text.
// At-rules, rules without a class and rules whose first selector has no class stay.
void RemoveUnusedRules(RunState& state);
