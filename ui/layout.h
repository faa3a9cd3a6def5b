// The main window's layout: its controls' pixels at 96 DPI (the layout table), scaled to the
// window's DPI, with the label column widened and the web link wrapped where a text does not
// fit. Free of Win32 types, so that the native tests check it.
#pragma once

#include <vector>

#include "ui/control_ids.h"

namespace ui {

constexpr int kTableDpi = 96;
// A check box's text starts this far right of its left edge, past the box, at 96 DPI.
constexpr int kCheckBoxTextOffset = 18;
// The least room between a label's text and the field beside it, at 96 DPI.
constexpr int kLabelGap = 2;

// A rectangle in client pixels.
struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
};

inline bool operator==(const Box& a, const Box& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

struct PlacedControl {
    int id;
    Box box;
};

// The layout table: the client area and every control at 96 DPI, in creation order.
constexpr int kClientWidth = 387;
constexpr int kClientHeight = 144;
inline constexpr PlacedControl kLayoutTable[] = {
    // id, {x, y, width, height}
    {IDT_HTML_INPUT, {8, 12, 64, 20}},      // label
    {IDE_PAGE_PATH, {72, 10, 136, 20}},     // read-only field
    {IDB_BROWSE, {208, 8, 32, 24}},         // "..."
    {IDT_CSS_OUTPUT, {8, 52, 64, 20}},      // label
    {IDE_SHEET_NAME, {72, 48, 96, 20}},     // field
    {IDI_LANGUAGE, {192, 46, 24, 24}},      // image
    {IDX_CLEAN_UNUSED, {28, 84, 212, 24}},  // check box
    {IDB_LAUNCH, {248, 8, 128, 128}},       // icon button
    {IDT_WEB_LINK, {8, 120, 232, 16}},      // link
};

// A length of the table in pixels at `dpi`, rounded to the nearest (halves up).
int ScaledPixels(int pixels, int dpi);

// The box of the control `id` in the table, scaled to `dpi` edge by edge, so that controls that
// touch in the table still touch.
Box TableBox(int id, int dpi);

// What the texts need at the window's DPI, in pixels, measured with their controls' fonts.
struct TextNeeds {
    int labelWidth = 0;         // the wider of the two labels, on one line
    int checkBoxTextWidth = 0;  // the check box's text on one line
    int linkHeight = 0;         // the web link's text wrapped at the width of its scaled table box
};

struct WindowLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<PlacedControl> controls;  // in creation order
};

// The table scaled to `dpi`, then fitted to the texts: the label column widens to its wider
// label and a small gap, and the two fields beside it keep their right edges; the check box grows
// to the left, up to the margin; the web link grows upwards. A text that fits moves nothing.
WindowLayout MainWindowLayout(int dpi, const TextNeeds& needs);

}  // namespace ui
