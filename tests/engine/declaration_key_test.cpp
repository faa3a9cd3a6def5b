#include "engine/declaration_key.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/reference_forms.h"
#include "tests/support/text_case.h"

namespace engine {

namespace {

using KeyCase = TextCase;  // declarations and their key

class DeclarationKeyTest : public testing::TestWithParam<KeyCase> {};

TEST_P(DeclarationKeyTest, GivesTheSortedLowerCaseCharacters) {
    EXPECT_EQ(DeclarationKey(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DeclarationKeyTest,
    testing::Values(KeyCase{"", ""}, KeyCase{"    ", ""}, KeyCase{"\t\r\n\t \r\n", ""},
                    KeyCase{"color:red;", ":;cdeloorr"}, KeyCase{"Color: Red;", ":;cdeloorr"},
                    KeyCase{"red:color;", ":;cdeloorr"}, KeyCase{"color:red", ":cdeloorr"},
                    KeyCase{"top:1px;left:2px", "12::;eflopppttxx"},
                    KeyCase{"left:1px;top:2px", "12::;eflopppttxx"},
                    KeyCase{"color:\r\n\tred;\r\n", ":;cdeloorr"},
                    // Windows-1252 capitals: accented letters and the four of 0x8A-0x9F;
                    // the multiplication sign 0xD7 has no lower case.
                    KeyCase{"\xC9\xDE\xD7\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xD7\xE9\xFE\xFF"},
                    // Bytes sort unsigned: 0xE9 after every ASCII character.
                    KeyCase{"\xE9z", "z\xE9"},
                    KeyCase{"\xC0"
                            "A",
                            "a\xE0"}));

TEST(DeclarationKey, KeepsRepeatedCharactersAndNulBytes) {
    std::string text("b\0a\0b", 5);
    EXPECT_EQ(DeclarationKey(text), std::string("\0\0abb", 5));
}

TEST(DeclarationKey, TellsApartTextsThatDifferInMoreThanCaseSpaceOrOrder) {
    EXPECT_NE(DeclarationKey("color:red;"), DeclarationKey("color:red"));
    EXPECT_NE(DeclarationKey("margin:0"), DeclarationKey("margin:00"));
    EXPECT_NE(DeclarationKey("color:red"), DeclarationKey("color:rod"));
}

}  // namespace

}  // namespace engine
