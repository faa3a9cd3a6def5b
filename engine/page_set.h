// A run over several pages of one folder. A first pass reads every page for what their shared
// classes must be (their form in the cascade, and a number past every page's own); a second
// rewrites each page against one index of inline classes, judges it against what earlier runs
// left, and writes it to a temporary before it reads the next, so that one page is in memory
// at a time. Only then are the sheets and the script written and the pages committed.
#pragma once

#include "engine/extraction_run.h"

namespace engine {

// `request.pagePaths` holds two pages or more.
RunOutcome RunPageSet(const RunRequest& request);

}  // namespace engine
