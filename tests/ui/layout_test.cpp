// The main window's layout: the table scaled to the DPI, and widened or wrapped where a text
// does not fit.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>

namespace ui {

void PrintTo(const Box& box, std::ostream* out) {
    *out << "{" << box.left << ", " << box.top << ", " << box.width << ", " << box.height << "}";
}

namespace {

std::map<int, Box> Boxes(const WindowLayout& layout) {
    std::map<int, Box> boxes;
    for (const PlacedControl& placed : layout.controls) boxes[placed.id] = placed.box;
    return boxes;
}

// Texts as wide as those of the English window at each DPI: each fits its table box.
TextNeeds FittingTexts(int dpi) { return {ScaledPixels(60, dpi), ScaledPixels(110, dpi), 0}; }

TEST(Layout, TextsThatFitKeepTheTableScaledEdgeByEdge) {
    struct Case {
        int dpi;
        int clientWidth, clientHeight;
        Box htmlLabel, pagePath, webLink;
    };
    const Case cases[] = {
        {96, 387, 144, {8, 12, 64, 20}, {72, 10, 136, 20}, {8, 120, 232, 16}},
        {120, 484, 180, {10, 15, 80, 25}, {90, 13, 170, 25}, {10, 150, 290, 20}},
        {144, 581, 216, {12, 18, 96, 30}, {108, 15, 204, 30}, {12, 180, 348, 24}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        WindowLayout layout = MainWindowLayout(c.dpi, FittingTexts(c.dpi));
        EXPECT_EQ(layout.clientWidth, c.clientWidth);
        EXPECT_EQ(layout.clientHeight, c.clientHeight);
        std::map<int, Box> boxes = Boxes(layout);
        ASSERT_EQ(boxes.size(), std::size(kLayoutTable));
        EXPECT_EQ(boxes[IDT_HTML_INPUT], c.htmlLabel);
        EXPECT_EQ(boxes[IDE_PAGE_PATH], c.pagePath);
        EXPECT_EQ(boxes[IDT_WEB_LINK], c.webLink);
        // Controls that touch in the table still touch.
        EXPECT_EQ(boxes[IDT_HTML_INPUT].Right(), boxes[IDE_PAGE_PATH].left);
        EXPECT_EQ(boxes[IDE_PAGE_PATH].Right(), boxes[IDB_BROWSE].left);
    }
}

TEST(Layout, AWiderLabelWidensTheColumnAndTheFieldsKeepTheirRightEdges) {
    TextNeeds french = FittingTexts(96);
    french.labelWidth = 62;  // with the gap of 2, just what the table has
    EXPECT_EQ(Boxes(MainWindowLayout(96, french))[IDT_HTML_INPUT], TableBox(IDT_HTML_INPUT, 96));
    french.labelWidth = 67;
    std::map<int, Box> boxes = Boxes(MainWindowLayout(96, french));
    EXPECT_EQ(boxes[IDT_HTML_INPUT], (Box{8, 12, 69, 20}));
    EXPECT_EQ(boxes[IDT_CSS_OUTPUT], (Box{8, 52, 69, 20}));
    EXPECT_EQ(boxes[IDE_PAGE_PATH], (Box{77, 10, 131, 20}));
    EXPECT_EQ(boxes[IDE_SHEET_NAME], (Box{77, 48, 91, 20}));
    EXPECT_EQ(boxes[IDB_BROWSE], TableBox(IDB_BROWSE, 96));
    EXPECT_EQ(boxes[IDI_LANGUAGE], TableBox(IDI_LANGUAGE, 96));
}

TEST(Layout, ALongCheckBoxTextGrowsItToTheLeftUpToTheMargin) {
    struct Case {
        int dpi, textWidth;
        Box expected;
    };
    const Case cases[] = {
        {96, 194, {28, 84, 212, 24}},  // 18 + 194 = 212: fits
        {96, 200, {22, 84, 218, 24}},
        {96, 400, {8, 84, 232, 24}},  // no further than the margin
        {144, 300, {33, 126, 327, 36}},
    };
    for (const Case& c : cases) {
        TextNeeds needs = FittingTexts(c.dpi);
        needs.checkBoxTextWidth = c.textWidth;
        EXPECT_EQ(Boxes(MainWindowLayout(c.dpi, needs))[IDX_CLEAN_UNUSED], c.expected)
            << c.dpi << " " << c.textWidth;
    }
}

TEST(Layout, AWrappedLinkGrowsUpwardsAndKeepsItsBottomEdge) {
    TextNeeds twoLines = FittingTexts(96);
    twoLines.linkHeight = 26;
    EXPECT_EQ(Boxes(MainWindowLayout(96, twoLines))[IDT_WEB_LINK], (Box{8, 110, 232, 26}));
    twoLines.linkHeight = 38;
    EXPECT_EQ(Boxes(MainWindowLayout(144, twoLines))[IDT_WEB_LINK], (Box{12, 166, 348, 38}));
    twoLines.linkHeight = 13;  // one line, shorter than the box: the box stays
    EXPECT_EQ(Boxes(MainWindowLayout(96, twoLines))[IDT_WEB_LINK], (Box{8, 120, 232, 16}));
}

}  // namespace

}  // namespace ui
