#include "engine/class_attributes.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/reference_forms.h"
#include "tests/support/text_case.h"

namespace engine {

namespace {

using MergeCase = TextCase;  // the attribute text of a tag and the text it is rebuilt into

class MergeClassAttributesTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeClassAttributesTest, RebuildsTheAttributeText) {
    EXPECT_EQ(MergeClassAttributes(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Basics, MergeClassAttributesTest,
    testing::Values(
        MergeCase{"class=inlineClass001", "class=\"inlineClass001\""},
        MergeCase{"id=main class=\"box\" class=inlineClass002 title=\"A b\"",
                  "class=\"box inlineClass002\" id=main  title=\"A b\""},
        MergeCase{"title='say \"hi\"' class=inlineClass001",
                  "class=\"inlineClass001\" title='say \"hi\"'"},
        MergeCase{"class=inlineClass001 alt=\"it's\"", "class=\"inlineClass001\" alt=\"it's\""},
        MergeCase{"CLASS=\"a\" Class=b", "class=\"a b\""},
        MergeCase{"class=inlineClass001 href=a.php?x=1", "class=\"inlineClass001\" href=a.php?x=1"},
        MergeCase{"class=x title=\"a=b\"", "class=\"x\" title=a=b"},
        MergeCase{"data-class=x", "class=\"\" data-class=x"}, MergeCase{"id=main", ""},
        MergeCase{"", ""}, MergeCase{"disabled", ""}, MergeCase{"  class=x  ", "class=\"x\""},
        MergeCase{"class='a b' class=c", "class=\"a b c\""},
        MergeCase{"Id=A CLASS=b", "class=\"b\" Id=A"}));

// Attributes are separated by any whitespace, also around "=", as in tags wrapped over lines.
INSTANTIATE_TEST_SUITE_P(
    Separators, MergeClassAttributesTest,
    testing::Values(MergeCase{"class = \"x\" class=inlineClass001", "class=\"x inlineClass001\""},
                    MergeCase{"class=MsoNormal\r\nclass=inlineClass001",
                              "class=\"MsoNormal inlineClass001\""},
                    MergeCase{"class=a\tid=b\nclass=c\rtitle=d", "class=\"a c\" id=b  title=d"},
                    MergeCase{"class\r\n=\r\n'x'", "class=\"x\""},
                    MergeCase{"class=\"a\"id=b", "class=\"a\" id=b"},
                    MergeCase{"class =x", "class=\"x\""},
                    // A value holding a form feed is quoted: unquoted, the form feed ends it.
                    MergeCase{"class=x\fid=a title=\"a\fb\"", "class=\"x\" id=a  title=\"a\fb\""}));

// Words without "=" are attributes without value and keep their place; the "/" of a
// self-closing tag stays last, and a "/" between attributes only separates them, as the page
// reader reads a tag.
INSTANTIATE_TEST_SUITE_P(WordsWithoutValue, MergeClassAttributesTest,
                         testing::Values(MergeCase{"disabled class=x", "class=\"x\" disabled"},
                                         MergeCase{"class=inlineClass001 src=a.png /",
                                                   "class=\"inlineClass001\" src=a.png  /"},
                                         MergeCase{"checked id=a selected class=b",
                                                   "class=\"b\" checked  id=a  selected"},
                                         MergeCase{"src=\"a.png\"/ class=x",
                                                   "class=\"x\" src=a.png"},
                                         MergeCase{"class=x alt=\"\" /", "class=\"x\" alt=\"\"  /"},
                                         MergeCase{"class id=a", "class=\"\" id=a"}));

// Quoted values are kept byte for byte; an unclosed quote runs to the end of the text.
INSTANTIATE_TEST_SUITE_P(
    Values, MergeClassAttributesTest,
    testing::Values(MergeCase{"class=x alt=\"two\r\nlines\"", "class=\"x\" alt=\"two\r\nlines\""},
                    MergeCase{"class=x title='a\tb'", "class=\"x\" title=\"a\tb\""},
                    MergeCase{"class=\"a\r\nb\"", "class=\"a\r\nb\""},
                    MergeCase{"class=x title=\"open id=y", "class=\"x\" title=\"open id=y\""},
                    MergeCase{"title='open class=y", "class=\"\" title=\"open class=y\""},
                    MergeCase{"class=\"x", "class=\"x\""},
                    MergeCase{"class=x alt=", "class=\"x\" alt=\"\""},
                    MergeCase{"class=x alt=\"\" id=y", "class=\"x\" alt=\"\"  id=y"},
                    MergeCase{"class=x alt='' id=y", "class=\"x\" alt=\"\"  id=y"},
                    MergeCase{"class=\"\" class=b", "class=\"b\""},
                    MergeCase{"class=x title='he said \"it&#39;s\"'",
                              "class=\"x\" title='he said \"it&#39;s\"'"},
                    MergeCase{"class=x title=\"it's \"", "class=\"x\" title=\"it's \""},
                    MergeCase{"class=x title=it's\"", "class=\"x\" title=\"it's&quot;\""},
                    MergeCase{"class=x title='a>b'", "class=\"x\" title=\"a>b\""},
                    MergeCase{"class='say \"x\"'", "class=\"say &quot;x&quot;\""},
                    MergeCase{"class=x value=\"\xC9t\xE9\"", "class=\"x\" value=\xC9t\xE9"}));

TEST(MergeClassAttributes, ReadsManyAttributesInOrder) {
    // A long tag: every attribute read, in order, with its value.
    std::string text;
    std::string expected = "class=\"c0 c1999\"";
    for (int i = 0; i < 2000; ++i) {
        std::string index = std::to_string(i);
        if (i == 0 || i == 1999) {
            text += "class=c" + index + "\r\n";
            continue;
        }
        text += "data-" + index + "='v " + index + "'\t";
        expected += " data-" + index + "=\"v " + index + "\" ";
    }
    while (expected.back() == ' ') expected.pop_back();
    EXPECT_EQ(MergeClassAttributes(text), expected);
}

}  // namespace

namespace {

// A stray "=" starts an attribute name in a tag; written after a word without value it would
// become that word's value, so such names come right after the class value.
TEST(MergeClassAttributes, NamesBeginningWithEqualsStayAttributesOfTheirOwn) {
    EXPECT_EQ(MergeClassAttributes("disabled class=x =y"), "class=\"x\" =y  disabled");
    EXPECT_EQ(MergeClassAttributes("=a =b class=x"), "class=\"x\" =a=b");  // as a tag reads it
    EXPECT_EQ(MergeClassAttributes("=a class=x =b"), "class=\"x\" =a=\"\"  =b");
    for (const char* text : {"  =en\" c=a<en\" class a=st\" =", "d class=\"\"=", "=x class=y"}) {
        std::string merged = MergeClassAttributes(text);
        EXPECT_EQ(MergeClassAttributes(merged), merged) << text;
    }
}

}  // namespace

}  // namespace engine
