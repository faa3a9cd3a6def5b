// The program's start-up: shared state, language menu, then the main window until it closes.
#pragma once

#include <string>
#include <vector>

namespace ui {

// Returns 0 once the main window has closed. A page named in `arguments` (the program's
// command line) is chosen as if picked with the browse button.
int StartUp(const std::vector<std::string>& arguments = {});

}  // namespace ui
