#include "ui/layout.h"

#include <algorithm>

namespace ui {

namespace {

constexpr int kMargin = 8;  // the table's left margin

Box& BoxOf(WindowLayout& layout, int id) {
    return std::find_if(layout.controls.begin(), layout.controls.end(),
                        [id](const PlacedControl& placed) { return placed.id == id; })
        ->box;
}

// Moves the left edge of `box` by `by` pixels, keeping its right edge.
void MoveLeftEdge(Box& box, int by) {
    box.left += by;
    box.width -= by;
}

}  // namespace

int ScaledPixels(int pixels, int dpi) { return (pixels * dpi + kTableDpi / 2) / kTableDpi; }

Box TableBox(int id, int dpi) {
    for (const PlacedControl& placed : kLayoutTable) {
        if (placed.id != id) continue;
        const Box& table = placed.box;
        int left = ScaledPixels(table.left, dpi);
        int top = ScaledPixels(table.top, dpi);
        return {left, top, ScaledPixels(table.Right(), dpi) - left,
                ScaledPixels(table.Bottom(), dpi) - top};
    }
    return {};
}

WindowLayout MainWindowLayout(int dpi, const TextNeeds& needs) {
    WindowLayout layout{ScaledPixels(kClientWidth, dpi), ScaledPixels(kClientHeight, dpi), {}};
    for (const PlacedControl& placed : kLayoutTable)
        layout.controls.push_back({placed.id, TableBox(placed.id, dpi)});

    int widening =
        needs.labelWidth + ScaledPixels(kLabelGap, dpi) - BoxOf(layout, IDT_HTML_INPUT).width;
    if (widening > 0) {
        for (int label : {IDT_HTML_INPUT, IDT_CSS_OUTPUT}) BoxOf(layout, label).width += widening;
        for (int field : {IDE_PAGE_PATH, IDE_SHEET_NAME})
            MoveLeftEdge(BoxOf(layout, field), widening);
    }

    Box& checkBox = BoxOf(layout, IDX_CLEAN_UNUSED);
    int checkBoxWidth = ScaledPixels(kCheckBoxTextOffset, dpi) + needs.checkBoxTextWidth;
    if (checkBoxWidth > checkBox.width)
        MoveLeftEdge(checkBox, -std::min(checkBoxWidth - checkBox.width,
                                         checkBox.left - ScaledPixels(kMargin, dpi)));

    Box& link = BoxOf(layout, IDT_WEB_LINK);
    if (needs.linkHeight > link.height) {
        link.top -= needs.linkHeight - link.height;
        link.height = needs.linkHeight;
    }
    return layout;
}

}  // namespace ui
