// The web link: a static text drawn as a link, that the keyboard reaches with Tab and follows
// with Enter (the Enter key is the main window's command, see OnCommand).
#pragma once

#include <windows.h>

namespace ui {

// Gives the link its focus rectangle, drawn while it has the keyboard focus.
void MakeWebLink(HWND link);

// The link's text colour: pure blue, or the system's link colour (COLOR_HOTLIGHT) in a
// high-contrast scheme and wherever blue would not read on the window's background.
COLORREF WebLinkColour();

}  // namespace ui
