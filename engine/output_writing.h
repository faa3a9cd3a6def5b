// The style sheet a run writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/header_css.h"
#include "engine/inline_classes.h"
#include "engine/rules.h"

namespace engine {

// The style sheet: in the plain layout the header CSS text as the page held it, in the
// cleaned layout the header rules one by one; then the inline classes, in their form. Both
// are read in `encoding`, that of the pages that link the sheet.
std::string StyleSheetText(const HeaderCss& header, const InlineClasses& classes,
                           const ClassForm& form, Encoding encoding, bool cleanedLayout);

// The rules of the style sheet as it writes them: the header rules of the cleaned layout, and
// the inline classes.
std::vector<Rule> HeaderRulesOf(const HeaderCss& header);
std::vector<Rule> InlineClassesOf(const InlineClasses& classes, const ClassForm& form,
                                  Encoding encoding);

// True when `sheet` holds the inline comment line as a whole line, as every sheet the tool
// writes does (after a UTF-8 byte-order mark, in the sheet of a UTF-16 page).
bool HoldsInlineCommentLine(std::string_view sheet);

}  // namespace engine
