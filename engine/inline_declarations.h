// From the value of a style attribute to the declarations of a style sheet rule. Every job
// here reads the style text with the CSS lexer: a ";" ends a declaration only outside
// strings, comments and brackets. `encoding` is the page's, in which the style is written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/byte_classes.h"

namespace engine {

// The style text of an attribute value: each line break (a CR LF pair counting as one)
// becomes a space, and each character reference is decoded as a browser decodes it (the
// named ones of HTML, numeric ones of any size): an ASCII character becomes its byte, any
// other a CSS escape ("\AB "), so that the style sheet holds no byte whose meaning depends on
// the page's encoding. What is no reference stays as written. The value is read in the page's
// `encoding`, a double-byte character as one: its trail byte is no backslash before a
// reference, and a lead byte with no trail byte never takes a reference's character for one.
// Returns the value itself when it holds nothing to change, else the text made in `decoded`.
std::string_view StyleTextOf(std::string_view attributeValue, std::string& decoded,
                             Encoding encoding = Encoding::SingleByte);

// True when the style text can stand between the braces of a rule without changing the rest
// of the style sheet: no brace outside strings and comments, no ")" that closes nothing, and
// every string, comment and bracket closed.
bool FitsInOneRule(std::string_view styleText, Encoding encoding = Encoding::SingleByte);

// How an inline class marks its declarations: each one !important, or each as the style
// attribute had it.
enum class Importance { MarkAll, AsWritten };

// The declarations of an inline class: each declaration marked " !important" unless it
// already is (with Importance::AsWritten, none that is not), followed by CR LF; a final ";"
// added when the text does not end with one.
std::string InlineDeclarations(std::string_view styleText, Encoding encoding = Encoding::SingleByte,
                               Importance importance = Importance::MarkAll);

// True when two style texts hold the same declarations, each compared lower-cased with every
// whitespace run that parts two words as one space and any other whitespace left out (next to
// ":", ";", ",", "(", ")" or "!", or at either end), empty ones aside, in the same order
// wherever order may change the result: two declarations that may set the same property stand
// in the same order in both. Such texts style an element the same way; equal declaration keys
// alone are not enough, since a key ignores the order of the characters (12px and 21px) and
// the whitespace between words (0 40px and 0 4 0px). Two declarations may set the same
// property when their names (without a vendor prefix) have the same first word, the part
// before the first "-" (margin and margin-left, font and font-size), or when one is a
// shorthand whose longhands are named otherwise (inset and top, gap and row-gap, place-items
// and align-items, font and line-height); "all" and names written with an escape may set any.
bool SameDeclarationsInEffect(std::string_view a, std::string_view b,
                              Encoding encoding = Encoding::SingleByte);

// True when two style texts differ only in letter case and in whitespace that parts no words
// (as SameDeclarationsInEffect reads it) and changes no piece of their CSS: whitespace matters
// to the lexer only after a "/" (a comment opens with "/*") or a backslash (which escapes it),
// so neither text may hold one. Such texts hold the same declarations in the same order, and
// have the same declaration key.
bool SameDeclarationsOtherwiseSpaced(std::string_view a, std::string_view b);

// A hash of the set of declarations, made without building it: texts with the same set have
// the same hash, and so have texts that SameDeclarationsInEffect finds equal. The set is a
// multiset of declarations, so the hash is a sum over them.
uint64_t DeclarationSetHash(std::string_view styleText, Encoding encoding = Encoding::SingleByte);

}  // namespace engine
