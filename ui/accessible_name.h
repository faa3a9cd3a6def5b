// A name for screen readers other than what a control shows: the browse button shows "..." but
// is read as what it does.
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

// Gives `control` the accessible name `name` (replacing an earlier one): the control answers
// the system's request for its accessible object with its standard one, whose name is `name`.
void SetAccessibleName(HWND control, std::string_view name);

}  // namespace ui
