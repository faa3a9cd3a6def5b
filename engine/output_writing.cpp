#include "engine/output_writing.h"

#include "engine/css_closing.h"
#include "engine/sheet_comments.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

void AppendRule(std::string& sheet, const Rule& rule) {
    sheet += rule.selector;
    sheet += kLineEnd;
    sheet += '{';
    sheet += rule.declarations;
    sheet += '}';
    sheet += kLineEnd;
}

}  // namespace

std::string StyleSheetText(const RunState& state, bool cleanedLayout) {
    // Sized once: a sheet of many inline classes is a good part of the page's size.
    size_t rules = 0;
    for (const std::vector<Rule>* list : {&state.headerRules, &state.inlineClasses})
        for (const Rule& rule : *list) rules += rule.selector.size() + rule.declarations.size() + 6;
    std::string sheet;
    sheet.reserve(state.headerCss.size() + rules + 256);
    // A header CSS text without any rule (only @import or @charset, say) is kept as it is.
    bool cssWithoutRules = !state.headerCss.empty() &&
                           FindCharacter(state.headerCss, '{', state.encoding) == std::string::npos;
    if ((!cleanedLayout && !state.headerCss.empty()) || (cleanedLayout && cssWithoutRules)) {
        sheet += state.headerCss;
        sheet += kLineEnd;
    }
    if (cleanedLayout && !state.headerRules.empty()) {
        sheet += kInternalCommentLine;
        sheet += kLineEnd;
        for (const Rule& rule : state.headerRules) AppendRule(sheet, rule);
    }
    // Whatever the page's own CSS leaves open must not take the inline classes with it.
    if (std::string closers = CssClosers(sheet, state.encoding); !closers.empty())
        sheet += closers + kLineEnd;
    sheet += kInlineCommentLine;
    sheet += kLineEnd;
    for (const Rule& rule : state.inlineClasses) AppendRule(sheet, rule);
    return sheet;
}

bool HoldsInlineCommentLine(std::string_view sheet) {
    for (size_t at = sheet.find(kInlineCommentLine); at != std::string_view::npos;
         at = sheet.find(kInlineCommentLine, at + 1)) {
        size_t end = at + kInlineCommentLine.size();
        bool lineStart = at == 0 || sheet[at - 1] == '\n';
        bool lineEnd = end == sheet.size() || sheet[end] == '\r' || sheet[end] == '\n';
        if (lineStart && lineEnd) return true;
    }
    return false;
}
