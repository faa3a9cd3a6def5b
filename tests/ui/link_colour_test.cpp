// The web link's colour: blue where it reads, the system's link colour where it would not.
#include "ui/link_colour.h"

#include <gtest/gtest.h>

namespace ui {

namespace {

TEST(LinkColour, ContrastRatioSpansOneToTwentyOne) {
    EXPECT_NEAR(ContrastRatio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({12, 34, 56}, {12, 34, 56}), 1.0, 1e-9);
    EXPECT_NEAR(ContrastRatio({0, 0, 255}, {0, 0, 0}), 2.44, 0.01);  // blue on black
}

TEST(LinkColour, BlueStaysOnLightBackgroundsUnlessTheSchemeIsHighContrast) {
    struct Case {
        bool highContrast;
        Rgb background;
        bool systemColour;
    };
    const Case cases[] = {
        {false, {240, 240, 240}, false},  // the usual button face
        {false, {255, 255, 255}, false},
        {true, {255, 255, 255}, true},  // a white high-contrast scheme
        {false, {0, 0, 0}, true},       // a dark scheme
        {false, {45, 45, 48}, true},
        {false, {128, 128, 128}, true},  // mid grey: 2.9 to 1
    };
    for (const Case& c : cases)
        EXPECT_EQ(UsesSystemLinkColour(c.highContrast, c.background), c.systemColour)
            << c.background.red << "," << c.background.green << "," << c.background.blue;
}

}  // namespace

}  // namespace ui
