#include "engine/cascade_form.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/css_lexer.h"
#include "engine/inline_declarations.h"
#include "engine/page_reader.h"
#include "engine/rule_parsing.h"

namespace engine {

namespace {

// At least this many ids raise a class: more than the selectors of a sheet the run cannot read
// (a linked one) name, as far as pages go.
constexpr size_t kLeastRaise = 3;

// True when the byte at `at` is escaped by the backslashes before it.
bool Escaped(std::string_view text, size_t at) {
    size_t backslashes = 0;
    while (backslashes < at && text[at - 1 - backslashes] == '\\') ++backslashes;
    return backslashes % 2 == 1;
}

// The name a declaration begins with, without a vendor prefix ("-webkit-animation" is
// "animation"); custom properties keep theirs.
std::string_view UnprefixedName(std::string_view text) {
    std::string_view name = text.substr(0, text.find(':'));
    if (name.size() > 1 && name[0] == '-' && name[1] != '-') {
        size_t prefixEnd = name.find('-', 1);
        name = prefixEnd == npos ? std::string_view() : name.substr(prefixEnd + 1);
    }
    return name;
}

// True for "word" and "word-...", in any case.
bool IsPropertyOf(std::string_view name, std::string_view lowerWord) {
    return StartsWithNoCase(name, lowerWord) &&
           (name.size() == lowerWord.size() || name[lowerWord.size()] == '-');
}

bool LinksStyleSheet(const Markup& link) {
    for (const Attribute& attribute : TagAttributes(link)) {
        if (!EqualsNoCase(attribute.name, "rel")) continue;
        std::string_view rel = attribute.value;
        constexpr char kSpaces[] = " \t\r\n\f";
        for (size_t start = rel.find_first_not_of(kSpaces); start != npos;) {
            size_t end = std::min(rel.find_first_of(kSpaces, start), rel.size());
            if (EqualsNoCase(rel.substr(start, end - start), "stylesheet")) return true;
            start = rel.find_first_not_of(kSpaces, end);
        }
        return false;  // a browser reads the first rel attribute only
    }
    return false;
}

bool IsEventHandler(const Attribute& attribute) {
    return attribute.hasValue && attribute.name.size() > 2 &&
           StartsWithNoCase(attribute.name, "on");
}

// True when a style attribute's value may hold "!important", an animation, a transition or an
// at-rule: it holds a "!", an "@", one of the words, or a character reference or an escape that
// may stand for any of them.
bool MayHoldFeature(std::string_view value) {
    return value.find_first_of("!@&\\") != npos || FindNoCase(value, "animation") != npos ||
           FindNoCase(value, "transition") != npos;
}

}  // namespace

bool CssHoldsImportant(std::string_view css, Encoding encoding) {
    CssLexer lexer(css, encoding);
    CssToken token;
    bool afterBang = false;  // a "!" ended the last text piece
    while (lexer.Next(token)) {
        if (token.kind == CssPiece::Space || token.kind == CssPiece::Comment) continue;
        std::string_view text = PieceText(css, token);
        if (afterBang && token.kind == CssPiece::Text && StartsWithNoCase(text, "important"))
            return true;
        afterBang = false;
        if (token.kind != CssPiece::Text) continue;
        for (size_t bang = text.find('!'); bang != npos; bang = text.find('!', bang + 1)) {
            if (Escaped(text, bang)) continue;
            if (bang + 1 == text.size()) afterBang = true;
            if (StartsWithNoCase(text.substr(bang + 1), "important")) return true;
        }
    }
    return false;
}

bool CssAnimatesOrImports(std::string_view css, Encoding encoding) {
    CssLexer lexer(css, encoding);
    CssToken token;
    bool statementStart = true;  // a declaration, a selector or an at-rule may begin here
    while (lexer.Next(token)) {
        if (token.kind == CssPiece::Space || token.kind == CssPiece::Comment) continue;
        std::string_view text = PieceText(css, token);
        bool atStart = statementStart;
        statementStart = token.kind == CssPiece::Semicolon ||
                         (token.kind == CssPiece::Open && text == "{") ||
                         (token.kind == CssPiece::Close && text == "}");
        if (!atStart || token.kind != CssPiece::Text) continue;
        if (text[0] == '@') {
            if (FindNoCase(text, "keyframes") != npos || StartsWithNoCase(text, "@import"))
                return true;
            continue;
        }
        std::string_view name = UnprefixedName(text);
        if (IsPropertyOf(name, "animation") || IsPropertyOf(name, "transition")) return true;
    }
    return false;
}

size_t MostIdsInOneSelector(std::string_view css, Encoding encoding) {
    size_t most = 0;
    ForEachStyleRuleSelector(css, encoding, [&](std::string_view group) {
        CssLexer lexer(group, encoding);
        CssToken token;
        size_t ids = 0;
        while (lexer.Next(token)) {
            if (token.kind != CssPiece::Text) continue;
            // Selectors part at the commas of the top level; one inside :is() or :not() parts
            // none, and every id there is counted, which is never too few.
            bool topLevel = lexer.Depth() == 0;
            std::string_view text = PieceText(group, token);
            for (size_t at = 0; at < text.size(); ++at) {
                if (text[at] == ',' && topLevel) ids = 0;
                if (text[at] == '#' && !Escaped(text, at)) most = std::max(most, ++ids);
            }
        }
    });
    return most;
}

void CascadeFeatures::See(const Markup& markup, const PageReader& reader) {
    if (markup.kind != MarkupKind::StartTag) return;
    if (IsTag(markup, MarkupKind::StartTag, TagKind::Script) ||
        (IsTag(markup, MarkupKind::StartTag, TagKind::Link) && LinksStyleSheet(markup)))
        raise_ = true;
    for (const Attribute& attribute : TagAttributes(markup)) {
        if (!attribute.hasValue) continue;
        if (EqualsNoCase(attribute.name, "id")) {
            std::string_view id = attribute.value;
            if (id.empty() || id.find_first_not_of('_') != npos) continue;
            if (underscoreIds_.size() <= id.size()) underscoreIds_.resize(id.size() + 1);
            underscoreIds_[id.size()] = true;
        } else if (EqualsNoCase(attribute.name, "style")) {
            ++styles_;
            // Most styles hold none of the words: they are read only when they may.
            if (!MayHoldFeature(attribute.value)) continue;
            std::string_view style = StyleTextOf(attribute.value, decoded_, encoding_);
            importantStyles_ += CssHoldsImportant(style, encoding_) ? 1 : 0;
            raise_ = raise_ || CssAnimatesOrImports(style, encoding_);
        } else if (IsEventHandler(attribute)) {
            raise_ = true;
        }
    }
    if (!IsTag(markup, MarkupKind::StartTag, TagKind::Style)) return;
    // The reader steps over the block's text: the end tag, if any, comes next.
    PageReader ahead = reader;
    Markup endTag;
    size_t end = NextMarkup(ahead, endTag) ? endTag.begin : reader.page.size();
    std::string_view css = reader.page.substr(markup.end, end - markup.end);
    raise_ = raise_ || CssHoldsImportant(css, encoding_) || CssAnimatesOrImports(css, encoding_);
    mostIds_ = std::max(mostIds_, MostIdsInOneSelector(css, encoding_));
}

CascadeForm CascadeFeatures::Form() const {
    // An !important that one style attribute holds is outside every other.
    if (!raise_ && !(importantStyles_ > 0 && styles_ > 1)) return {};
    // ":not(#ID)", ID the fewest "_"s that no element has as its id, once for each id to raise by.
    size_t underscores = 1;
    while (underscores < underscoreIds_.size() && underscoreIds_[underscores]) ++underscores;
    std::string piece = ":not(#" + std::string(underscores, '_') + ")";
    CascadeForm form;
    for (size_t i = std::max(kLeastRaise, mostIds_ + 1); i > 0; --i) form.raisedBy += piece;
    return form;
}

void CascadeFeatures::Add(const CascadeFeatures& page) {
    // A page's own features are counted apart: one style attribute's !important on each of
    // two pages is still outside every other rule of its page.
    raise_ = raise_ || page.Form().Raised();
    mostIds_ = std::max(mostIds_, page.mostIds_);
    if (underscoreIds_.size() < page.underscoreIds_.size())
        underscoreIds_.resize(page.underscoreIds_.size());
    for (size_t i = 0; i < page.underscoreIds_.size(); ++i)
        underscoreIds_[i] = underscoreIds_[i] || page.underscoreIds_[i];
}

CascadeForm ChooseCascadeForm(std::string_view page, Encoding encoding) {
    CascadeFeatures features(encoding);
    PageReader reader = MakePageReader(page);
    Markup markup;
    while (NextMarkup(reader, markup)) features.See(markup, reader);
    return features.Form();
}

}  // namespace engine
