// How far a run has come: the phases' shares, a few reports each, never going back, 1 at the
// end of a whole run only.
#include "engine/run_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/extraction_run.h"
#include "tests/support/page_run.h"

namespace engine {

namespace {

TEST(RunProgress, EachPhaseTellsItsShareAFewTimesAndNeverGoesBack) {
    std::vector<double> told;
    RunProgress progress([&](double done) { told.push_back(done); });
    progress.StartPhase(0.0, 0.5, 1000);
    for (size_t at = 0; at <= 1000; ++at) progress.At(at);
    progress.StartPhase(0.5, 0.8, 0);  // a phase over nothing
    progress.At(0);
    progress.StartPhase(0.8, 1.0, 3);
    progress.At(2);
    progress.At(1);  // a later call for less is no step back
    progress.Finish();
    progress.Finish();

    ASSERT_EQ(told.size(), 1u + RunProgress::kStepsPerPhase + 1 + 1 + 1);
    EXPECT_EQ(told.front(), 0.0);
    EXPECT_DOUBLE_EQ(told[RunProgress::kStepsPerPhase], 0.5);
    EXPECT_DOUBLE_EQ(told[told.size() - 2], 0.8 + 0.2 * 2 / 3);
    EXPECT_EQ(told.back(), 1.0);
    for (size_t i = 1; i < told.size(); ++i) EXPECT_GT(told[i], told[i - 1]) << i;
}

// A page of `paragraphs` paragraphs, each with a style attribute and a lang attribute.
std::string PageOf(int paragraphs) {
    std::string page = "<html><head><style>p.a{color:red}\n.never{margin:0}</style></head><body>";
    for (int i = 0; i < paragraphs; ++i)
        page += "<p class=a lang=FR style='margin-left:" + std::to_string(i % 50) +
                "pt'>Paragraphe " + std::to_string(i) + "</p>\r\n";
    return page + "</body></html>";
}

TEST(RunProgress, AWholeRunGoesUpToOneAndAFailedRunNever) {
    ScratchFolder folder;
    folder.Write("page.html", PageOf(20000));
    std::vector<double> told;
    RunRequest request;
    request.pagePath = folder.File("page.html");
    request.progress = [&](double done) { told.push_back(done); };
    ASSERT_EQ(RunExtraction(request).error, RunError::None);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), 1.0);
    EXPECT_LE(told.size(), 500u);
    for (size_t i = 1; i < told.size(); ++i) EXPECT_GT(told[i], told[i - 1]) << i;
    // The walk over the page and the cleaning tell how far along the page they are.
    auto toldBetween = [&](double from, double to) {
        return std::count_if(told.begin(), told.end(),
                             [&](double done) { return done > from && done < to; });
    };
    EXPECT_GE(toldBetween(0.05, 0.70), 50);
    EXPECT_GE(toldBetween(0.70, 0.85), 50);

    told.clear();
    request.pagePath = folder.File("absent.html");
    EXPECT_EQ(RunExtraction(request).error, RunError::PageMissing);
    folder.Write("bad.html", "<head><style>p{color:red</style></head><body><p style='a:b'>");
    request.pagePath = folder.File("bad.html");
    EXPECT_NE(RunExtraction(request).error, RunError::None);
    for (double done : told) EXPECT_LT(done, 1.0);
}

// The cleaning of each page of a run over several tells how far along it is too, past the
// page's last tag: here a text after it that names a class of the header CSS.
TEST(RunProgress, ARunOverSeveralPagesGoesUpToOneAndNeverBack) {
    ScratchFolder folder;
    std::string tail;
    for (int i = 0; i < 20000; ++i) tail += " mind ";
    tail += " never";
    folder.Write("a.htm", PageOf(2000) + tail);
    folder.Write("b.htm", PageOf(1000) + tail);
    std::vector<double> told;
    RunRequest request;
    request.pagePaths = {folder.File("a.htm"), folder.File("b.htm")};
    request.progress = [&](double done) { told.push_back(done); };
    ASSERT_EQ(RunExtraction(request).error, RunError::None);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), 1.0);
    for (size_t i = 1; i < told.size(); ++i) EXPECT_GT(told[i], told[i - 1]) << i;
}

}  // namespace

}  // namespace engine
