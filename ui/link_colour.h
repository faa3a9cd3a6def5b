// The colour of the web link: pure blue, as links have always been, unless the window's scheme
// asks for the system's link colour. Free of Win32 types, so that the native tests check it.
#pragma once

namespace ui {

struct Rgb {
    int red;
    int green;
    int blue;
};

// The contrast ratio of two colours, from 1 (the same) to 21 (black and white), as the web's
// accessibility guidelines measure it.
double ContrastRatio(Rgb a, Rgb b);

// Whether the link takes the system's link colour: in a high-contrast scheme, and wherever pure
// blue on the window's `background` would read worse than 4.5 to 1 (a dark scheme).
bool UsesSystemLinkColour(bool highContrast, Rgb background);

}  // namespace ui
