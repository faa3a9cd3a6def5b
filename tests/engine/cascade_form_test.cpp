// Which pages raise their inline classes in the cascade, and by how much.
#include "engine/cascade_form.h"

#include <gtest/gtest.h>

#include <string>

namespace engine {

namespace {

const std::string kRaised = ":not(#_):not(#_):not(#_)";

struct FormCase {
    const char* page;
    std::string raisedBy;
    Encoding encoding = Encoding::SingleByte;
};

class CascadeFormTest : public testing::TestWithParam<FormCase> {};

TEST_P(CascadeFormTest, RaisesTheClassesOfPagesWhereImportantWouldChangeThePage) {
    const FormCase& c = GetParam();
    EXPECT_EQ(ChooseCascadeForm(c.page, c.encoding).raisedBy, c.raisedBy) << c.page;
}

INSTANTIATE_TEST_SUITE_P(
    Features, CascadeFormTest,
    testing::Values(FormCase{"<style>p {color:red}</style><p style=\"color:blue\" id=a>", ""},
                    FormCase{"<p style=\"color:red !important\">",
                             ""},  // no other style to stand outside
                    FormCase{"<p style=\"color:red !important\"><i style=\"margin:0\">", kRaised},
                    FormCase{"<style>p {color:red! IMPORTANT}</style>", kRaised},
                    FormCase{"<style>p {color:red!\fimportant}</style>", kRaised},
                    FormCase{"<p style=\"\fanimation:spin 1s\">", kRaised},
                    FormCase{"<body><style>p {color:red !\n important}</style>", kRaised},
                    FormCase{"<style>/* !important */ p {content:\"!important\"}</style>", ""},
                    FormCase{"<style>@-webkit-keyframes spin {to {left:0}}</style>", kRaised},
                    FormCase{"<p style=\"-moz-transition-duration:1s\">", kRaised},
                    FormCase{"<style>p {x:y; animation:spin 1s}</style>", kRaised},
                    FormCase{"<style>.transition, .animation-box {color:red}</style>", ""},
                    FormCase{"<style>@import url(a.css);</style>", kRaised},
                    FormCase{"<script></script>", kRaised}, FormCase{"<SCRIPT src=a.js>", kRaised},
                    FormCase{"<p onclick=\"f()\">", kRaised}, FormCase{"<p one two=x>", ""},
                    FormCase{"<link rel=\"alternate StyleSheet\" href=a.css>", kRaised},
                    FormCase{"<link rel=File-List href=a.xml><link rel=themeData href=b.thmx>", ""},
                    FormCase{"<!-- <script> --><textarea><script></textarea>", ""},
                    // In Shift_JIS a lead byte with no trail byte stays a character of its own:
                    // the backslash of "&#92;" after it escapes the quote, and the string holds
                    // the "!important".
                    FormCase{"<p style=\"a:'\x95&#92;';b:c!important\"><i style=\"d:e\">", "",
                             Encoding::ShiftJis}));

// One id more than the selector with the most ids, at least three, of an id no element has.
INSTANTIATE_TEST_SUITE_P(
    Raising, CascadeFormTest,
    testing::Values(
        FormCase{"<style>#a #b #c p, .x {}</style><script></script>",
                 ":not(#_):not(#_):not(#_):not(#_)"},
        FormCase{"<style>@media print {#a #b:is(#c, #d) {}}</style><script></script>",
                 ":not(#_):not(#_):not(#_):not(#_):not(#_)"},
        FormCase{"<style>a[href=\"#a#b#c\"], .x\\#y#z {color:#ffffff}</style><script></script>",
                 kRaised},
        FormCase{"<p id=_><i id=__><b id=\"___x\"><script></script>",
                 ":not(#___):not(#___):not(#___)"}));

TEST(CascadeForm, MostIdsInOneSelectorCountsEachSelectorOfAGroup) {
    EXPECT_EQ(MostIdsInOneSelector("#a #b, #c {} p {color:#abc}"), 2u);
    EXPECT_EQ(MostIdsInOneSelector("#a, #b, #c {}"), 1u);
    EXPECT_EQ(MostIdsInOneSelector("p {}"), 0u);
}

}  // namespace

}  // namespace engine
