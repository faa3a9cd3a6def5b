// stylewick-cli's progress line: quiet for a second, then one figure a change, cleared at the end.
#include "texts/progress_line.h"

#include <gtest/gtest.h>

namespace texts {

namespace {

TEST(ProgressLine, ShowsAfterASecondOnlyWhenThePercentChangesAndClearsItself) {
    ProgressLine line(Language::English);
    EXPECT_EQ(line.Clear(), "");
    EXPECT_EQ(line.Update(0.30, 0.5), "");  // a short run shows nothing
    EXPECT_EQ(line.Update(0.37, 1.0), "\r37%");
    EXPECT_EQ(line.Update(0.375, 1.5), "");  // still 37
    EXPECT_EQ(line.Update(0.999, 2.0), "\r99%");
    EXPECT_EQ(line.Update(1.0, 2.5), "\r100%");
    EXPECT_EQ(line.Clear(), "\r    \r");
}

TEST(ProgressLine, FrenchPutsASpaceBeforeThePercentSign) {
    ProgressLine line(Language::French);
    EXPECT_EQ(line.Update(0.05, 3.0), "\r5\u00A0%");
    EXPECT_EQ(line.Clear(), "\r    \r");  // as many spaces as bytes: enough for the figure
}

}  // namespace

}  // namespace texts
