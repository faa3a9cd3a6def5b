#include "engine/output_writing.h"

#include <algorithm>

#include "engine/css_closing.h"
#include "engine/css_lexer.h"
#include "engine/inline_declarations.h"
#include "engine/sheet_comments.h"
#include "engine/style_index.h"

namespace engine {

namespace {

constexpr char kLineEnd[] = "\r\n";

void AppendRule(std::string& sheet, std::string_view selector, std::string_view declarations) {
    sheet += selector;
    sheet += kLineEnd;
    sheet += '{';
    sheet += declarations;
    sheet += '}';
    sheet += kLineEnd;
}

// No more than the bytes of the sheet, so that it is made without growing: a sheet of many
// inline classes is a good part of the page's size. An inline class's declarations are its
// style text and, for each declaration, at most " !important" and ";\r\n" for its ";".
size_t SheetSizeAtMost(const HeaderCss& header, const InlineClasses& classes, const ClassForm& form,
                       bool cleanedLayout) {
    size_t size = header.Css().size() + 512;
    if (cleanedLayout)
        for (const HeaderRule& rule : header.rules)
            size += rule.selectorSize + rule.declarationsSize + 6;
    for (const InlineClass& made : classes.list) {
        std::string_view style = classes.StyleText(made);
        size += 32 + form.raisedBy.size() + 6 + style.size() +
                13 * (std::count(style.begin(), style.end(), ';') + 1);
    }
    return size;
}

// The selector and the declarations of inline class `i`: marked !important, or raised in the
// cascade with the importance they were written with.
std::string InlineSelector(const ClassForm& form, size_t i) {
    return InlineClassSelector(form.firstNumber + i) + form.raisedBy;
}

std::string InlineClassDeclarations(const InlineClasses& classes, const ClassForm& form,
                                    Encoding encoding, size_t i) {
    return InlineDeclarations(classes.StyleText(classes.list[i]), encoding,
                              form.raisedBy.empty() ? Importance::MarkAll : Importance::AsWritten);
}

// Whether the CSS opens a block ("{") at its top level, outside its comments and strings: a
// rule or an at-rule with a block. One inside brackets (a "<![CDATA[" wrapper) is part of the
// text around it, which a browser reads as no rule.
bool HoldsBlock(std::string_view css, Encoding encoding) {
    CssLexer lexer(css, encoding);
    CssToken token;
    while (lexer.Next(token))
        if (token.kind == CssPiece::Open && css[token.begin] == '{' && lexer.Depth() == 1)
            return true;
    return false;
}

}  // namespace

std::string StyleSheetText(const HeaderCss& header, const InlineClasses& classes,
                           const ClassForm& form, Encoding encoding, bool cleanedLayout) {
    std::string_view css = header.Css();
    std::string sheet;
    sheet.reserve(SheetSizeAtMost(header, classes, form, cleanedLayout));
    // A header CSS text without any rule (only @import or @charset, say) is kept as it is.
    bool cssWithoutRules = !css.empty() && !HoldsBlock(css, encoding);
    if ((!cleanedLayout && !css.empty()) || (cleanedLayout && cssWithoutRules)) {
        sheet += css;
        sheet += kLineEnd;
    }
    if (cleanedLayout && !header.rules.empty()) {
        sheet += kInternalCommentLine;
        sheet += kLineEnd;
        for (const HeaderRule& rule : header.rules)
            AppendRule(sheet, header.Selector(rule), header.Declarations(rule));
    }
    // Whatever the page's own CSS leaves open must not take the inline classes with it.
    if (std::string closers = CssClosers(sheet, encoding); !closers.empty())
        sheet += closers + kLineEnd;
    sheet += kInlineCommentLine;
    sheet += kLineEnd;
    for (size_t i = 0; i < classes.list.size(); ++i)
        AppendRule(sheet, InlineSelector(form, i),
                   InlineClassDeclarations(classes, form, encoding, i));
    return sheet;
}

std::vector<Rule> HeaderRulesOf(const HeaderCss& header) {
    std::vector<Rule> rules;
    for (const HeaderRule& rule : header.rules)
        rules.push_back(
            {std::string(header.Selector(rule)), std::string(header.Declarations(rule))});
    return rules;
}

std::vector<Rule> InlineClassesOf(const InlineClasses& classes, const ClassForm& form,
                                  Encoding encoding) {
    std::vector<Rule> rules;
    for (size_t i = 0; i < classes.list.size(); ++i)
        rules.push_back(
            {InlineSelector(form, i), InlineClassDeclarations(classes, form, encoding, i)});
    return rules;
}

bool HoldsInlineCommentLine(std::string_view sheet) {
    for (size_t at = sheet.find(kInlineCommentLine); at != std::string_view::npos;
         at = sheet.find(kInlineCommentLine, at + 1)) {
        size_t end = at + kInlineCommentLine.size();
        // A sheet may begin with the byte-order mark of UTF-8.
        bool lineStart = at == 0 || sheet[at - 1] == '\n' ||
                         (at == 3 && sheet.compare(0, 3, "\xEF\xBB\xBF") == 0);
        bool lineEnd = end == sheet.size() || sheet[end] == '\r' || sheet[end] == '\n';
        if (lineStart && lineEnd) return true;
    }
    return false;
}

}  // namespace engine
