// From the value of a style attribute to the declarations of a style sheet rule.
#pragma once

#include <string>
#include <string_view>

// The style text of an attribute value: each line break (a CR LF pair counting as one)
// becomes a space, and the character references &quot; &apos; &amp; &lt; &gt; and &#N; or
// &#xH; below 256 become their byte. Other references stay as written.
std::string StyleTextOf(std::string_view attributeValue);

// True when the style text can stand between the braces of a rule without changing the rest
// of the style sheet: no brace outside strings, and every string, comment and parenthesis
// closed.
bool FitsInOneRule(std::string_view styleText);

// The declarations of an inline class: each declaration (ended by a ";" outside strings and
// parentheses) marked " !important" unless it already is, followed by CR LF; a final ";"
// added when the text does not end with one.
std::string InlineDeclarations(std::string_view styleText);

// The declarations of a style text as a set: each declaration (ended by a ";" outside
// strings and parentheses) lower-cased and without whitespace, empty ones dropped, sorted.
// Two style texts with equal sets style an element the same way; equal declaration keys
// alone are not enough, since a key ignores the order of the characters (12px and 21px).
std::string DeclarationSet(std::string_view styleText);
