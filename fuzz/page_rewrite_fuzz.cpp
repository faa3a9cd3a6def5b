// The whole rewriting of a page in memory, on any bytes. Beyond running cleanly it must:
// - make no style attribute: every one left in the page stood in the page before (those the
//   rewriting cannot turn into a class, such as one with an unclosed string, stay as they are);
// - add only class names that the style sheet holds as rules, in both layouts;
// - write style sheets that close whatever the page's CSS leaves open before the inline
//   classes, so that no rule swallows them;
// - write style sheets whose braces balance, in both layouts (outside comments and strings):
//   no "}" closes nothing that did not already in the page's CSS, and in the cleaned layout
//   every header rule closes what it opens, so that removing rules never moves one into or
//   out of a block;
// - keep in the cleaned sheet every top-level statement of the page's CSS that a browser reads
//   (an @import, @charset, @namespace... ending in ";"), in order;
// - be done after one pass: rewriting its own output again makes no inline class;
// - rewrite nothing inside raw-text elements: the contents of each stand in the output as they
//   stood in the page, in page order (but those of plain style elements, which the header block
//   and the blocks of its text leave as links).
// The first input byte picks the output sheet name.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/css_closing.h"
#include "engine/css_lexer.h"
#include "engine/extraction_run.h"
#include "engine/output_writing.h"
#include "engine/page_reader.h"
#include "engine/page_rewriting.h"
#include "engine/unused_cleaning.h"
#include "fuzz/fuzz_check.h"

namespace {

const char* const kSheetNames[] = {"styles.css", "css/site.css", "my styles.min.css", ""};

struct PageAttributes {
    std::multiset<std::string> styleValues;
    std::set<std::string> classNames;
};

PageAttributes AttributesOf(std::string_view page) {
    PageAttributes found;
    engine::PageReader reader = engine::MakePageReader(page);
    engine::Markup markup;
    while (engine::NextMarkup(reader, markup)) {
        if (markup.kind != engine::MarkupKind::StartTag) continue;
        for (const engine::Attribute& attribute : engine::TagAttributes(markup)) {
            if (!attribute.hasValue) continue;
            if (engine::EqualsNoCase(attribute.name, "style")) {
                found.styleValues.emplace(attribute.value);
            } else if (engine::EqualsNoCase(attribute.name, "class")) {
                // A class text may be written again with its quotes as "&quot;".
                std::string value;
                for (size_t i = 0; i < attribute.value.size(); ++i) {
                    if (attribute.value.compare(i, 6, "&quot;") == 0) {
                        value += '"';
                        i += 5;
                    } else {
                        value += attribute.value[i];
                    }
                }
                size_t at = 0;
                while (at < value.size()) {
                    while (at < value.size() && engine::IsSpace(value[at])) ++at;
                    size_t start = at;
                    while (at < value.size() && !engine::IsSpace(value[at])) ++at;
                    if (at > start) found.classNames.emplace(value.substr(start, at - start));
                }
            }
        }
    }
    return found;
}

// The "}" of the text that close no block, read with the CSS lexer; and whether the text
// closes everything it opens.
size_t UnmatchedBraces(std::string_view css, engine::Encoding encoding, bool& closesAll) {
    engine::CssLexer lexer(css, encoding);
    engine::CssToken token;
    size_t unmatched = 0;
    while (lexer.Next(token))
        if (token.kind == engine::CssPiece::Close && token.unmatched && css[token.begin] == '}')
            ++unmatched;
    closesAll = lexer.Closers().empty();
    return unmatched;
}

// The contents of the raw-text elements of the page, in page order, but those of style
// elements without attributes other than lang.
std::vector<std::string_view> RawTextContents(std::string_view page) {
    std::vector<std::string_view> contents;
    engine::PageReader reader = engine::MakePageReader(page);
    engine::Markup markup;
    size_t open = std::string_view::npos;
    while (true) {
        bool more = engine::NextMarkup(reader, markup);
        if (open != std::string_view::npos)
            contents.push_back(page.substr(open, (more ? markup.begin : page.size()) - open));
        open = std::string_view::npos;
        if (!more) return contents;
        if (markup.kind != engine::MarkupKind::StartTag || reader.rawTextElement == nullptr)
            continue;
        bool plainStyle = engine::EqualsNoCase(markup.name, "style");
        for (const engine::Attribute& attribute : engine::TagAttributes(markup))
            plainStyle = plainStyle && engine::EqualsNoCase(attribute.name, "lang");
        if (!plainStyle) open = markup.end;
    }
}

bool Holds(std::string_view text, const std::string& part) {
    return text.find(part) != std::string_view::npos;
}

// The top-level statements of the CSS that end in ";" and that a browser reads, as the cleaned
// sheet keeps them: those before its last top-level block (after a rule, an @import, @charset
// or @namespace counts for nothing); all of them in a CSS that opens no block at its top level
// (none at all, or only inside brackets, as in a "<![CDATA[" wrapper), which the sheet keeps
// whole. A statement begins with "@" once whitespace and comments are passed; a text that
// begins otherwise is a rule's selector up to its "{", whatever ";" it holds.
std::vector<std::string_view> StatementsRead(std::string_view css, engine::Encoding encoding) {
    std::vector<std::string_view> statements;
    size_t beforeLastBlock =
        engine::npos;             // how many of them stand before the last top-level block
    size_t start = engine::npos;  // where the statement or selector being read begins
    size_t depthBefore = 0;
    engine::CssLexer lexer(css, encoding);
    for (engine::CssToken token; lexer.Next(token); depthBefore = lexer.Depth()) {
        bool brace = css[token.begin] == '{' || css[token.begin] == '}';
        if (depthBefore + lexer.Depth() == 1 && brace) {
            // A top-level block opens (after a selector or an at-rule's prelude), or closes.
            if (lexer.Depth() == 1) beforeLastBlock = statements.size();
            start = engine::npos;
            continue;
        }
        if (depthBefore != 0) continue;
        bool significant =
            token.kind != engine::CssPiece::Space && token.kind != engine::CssPiece::Comment;
        if (start == engine::npos && significant) start = token.begin;
        if (token.kind == engine::CssPiece::Semicolon && lexer.Depth() == 0 && css[start] == '@') {
            statements.push_back(css.substr(start, token.end - start));
            start = engine::npos;
        }
    }
    if (beforeLastBlock != engine::npos) statements.resize(beforeLastBlock);
    return statements;
}

// The raw-text elements' contents stand in the rewritten page as in the original, in order.
void CheckRawTextsKept(const std::string& original, const std::string& page) {
    size_t at = 0;
    for (std::string_view contents : RawTextContents(original)) {
        at = page.find(contents, at);
        Check(at != std::string::npos, "the contents of a raw-text element were rewritten");
        at += contents.size();
    }
}

// Both sheets close what the page's CSS leaves open before the inline classes, and their
// braces close nothing that those of the page's CSS did not; every header rule of the cleaned
// sheet closes what it opens.
void CheckSheetsClosed(const engine::PageRewrite& rewrite, const engine::HeaderCss& cleaned,
                       const std::vector<std::string>& sheets, size_t inlinePart) {
    const engine::Encoding encoding = rewrite.encoding;
    for (const std::string& sheet : sheets) {
        Check(sheet.size() >= inlinePart &&
                  engine::CssClosers(sheet.substr(0, sheet.size() - inlinePart), encoding).empty(),
              "the page's CSS is left open before the inline classes");
        Check(engine::CssClosers(sheet, encoding).empty(),
              "the inline classes leave the sheet open");
        bool closesAll = false;
        Check(UnmatchedBraces(sheet, encoding, closesAll) <=
                  UnmatchedBraces(rewrite.header.Css(), encoding, closesAll),
              "a } of the sheet closes nothing that the page's CSS did not");
    }
    for (const engine::Rule& rule : engine::HeaderRulesOf(cleaned)) {
        bool closesAll = false;
        UnmatchedBraces(rule.selector + "\r\n{" + rule.declarations + "}", encoding, closesAll);
        Check(closesAll, "a header rule of the cleaned sheet leaves a block open");
    }
}

void CheckStatementsKept(const engine::PageRewrite& rewrite, const std::string& cleanedSheet) {
    size_t at = 0;
    for (std::string_view statement : StatementsRead(rewrite.header.Css(), rewrite.encoding)) {
        at = cleanedSheet.find(statement, at);
        Check(at != std::string::npos, "the cleaned sheet lacks a statement of the page's CSS");
        at += statement.size();
    }
}

// Each class added to the page names a rule of the cleaned sheet; an inline class, one of the
// plain sheet as well.
void CheckAddedClasses(const engine::PageRewrite& rewrite,
                       const std::vector<engine::Rule>& inlineClasses, const PageAttributes& before,
                       const PageAttributes& after, const std::string& plainSheet,
                       const std::string& cleanedSheet) {
    const std::string& raisedBy = rewrite.classForm.raisedBy;
    std::map<std::string, bool> isInlineBySelector;
    for (const engine::Rule& rule : engine::HeaderRulesOf(rewrite.header))
        isInlineBySelector.emplace(rule.selector, false);
    // A raised inline class's selector is its name followed by the raising.
    for (const engine::Rule& rule : inlineClasses) {
        Check(rule.selector.size() > raisedBy.size() &&
                  rule.selector.compare(rule.selector.size() - raisedBy.size(), std::string::npos,
                                        raisedBy) == 0,
              "an inline class is raised otherwise than the page's classes");
        isInlineBySelector.emplace(rule.selector.substr(0, rule.selector.size() - raisedBy.size()),
                                   true);
    }
    for (const std::string& name : after.classNames) {
        if (before.classNames.count(name)) continue;
        auto rule = isInlineBySelector.find("." + name);
        Check(rule != isInlineBySelector.end(), "a class was added that names no rule");
        std::string asRule = "\r\n." + name + (rule->second ? raisedBy : "") + "\r\n{";
        Check(Holds(cleanedSheet, asRule), "the cleaned sheet lacks the rule of an added class");
        if (rule->second) Check(Holds(plainSheet, asRule), "the sheet lacks an inline class");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const char* sheetName = kSheetNames[data[0] % 4];
    const std::string original(reinterpret_cast<const char*>(data) + 1, size - 1);
    engine::RunProgress progress;
    engine::InlineClasses classes;
    const engine::PageRewrite rewrite = engine::RewritePage(original, sheetName, classes, progress);
    Check(rewrite.error == engine::RunError::None ||
              rewrite.error == engine::RunError::StyleBlockUnclosed ||
              rewrite.error == engine::RunError::BracesMismatch,
          "unexpected error of the rewriting");
    if (rewrite.error != engine::RunError::None) return 0;
    CheckRawTextsKept(original, rewrite.text);

    PageAttributes before = AttributesOf(original);
    PageAttributes after = AttributesOf(rewrite.text);
    for (const std::string& style : after.styleValues)
        Check(after.styleValues.count(style) <= before.styleValues.count(style),
              "a style attribute was made");

    engine::HeaderCss cleaned = rewrite.header;
    engine::RemoveUnusedRules(cleaned, rewrite.text, progress);
    const engine::ClassForm& form = rewrite.classForm;
    std::string plainSheet =
        engine::StyleSheetText(rewrite.header, classes, form, rewrite.encoding, false);
    std::string cleanedSheet =
        engine::StyleSheetText(cleaned, classes, form, rewrite.encoding, true);
    // The inline comment line and the inline classes end each sheet.
    size_t inlinePart =
        std::string("/* Inline CSS extracted with stylewick (" STYLEWICK_WEBSITE ") */\r\n").size();
    const std::vector<engine::Rule> inlineClasses =
        engine::InlineClassesOf(classes, form, rewrite.encoding);
    for (const engine::Rule& rule : inlineClasses)
        inlinePart += rule.selector.size() + rule.declarations.size() + 6;
    CheckSheetsClosed(rewrite, cleaned, {plainSheet, cleanedSheet}, inlinePart);
    CheckStatementsKept(rewrite, cleanedSheet);
    CheckAddedClasses(rewrite, inlineClasses, before, after, plainSheet, cleanedSheet);

    engine::InlineClasses again;
    if (engine::RewritePage(rewrite.text, sheetName, again, progress).error ==
        engine::RunError::None)
        Check(again.list.empty(), "a second pass made an inline class");
    return 0;
}
