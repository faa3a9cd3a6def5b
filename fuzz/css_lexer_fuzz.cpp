// The CSS lexer on any text, and the jobs that read CSS through it. Invariants:
// - every byte lands in exactly one piece, and the pieces cover the text in order;
// - each piece is what its kind says, and the depth follows its brackets;
// - the text followed by what the lexer says closes it leaves nothing open;
// - a style text that fits in one rule, and its inline declarations, stay inside their rule:
//   the rule written after them is read at the top level.
// Each holds when the text is read in a single-byte code page and in the double-byte one that
// the first byte picks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/byte_classes.h"
#include "engine/css_closing.h"
#include "engine/css_lexer.h"
#include "engine/inline_declarations.h"
#include "fuzz/fuzz_check.h"

namespace {

bool IsQuote(char c) { return c == '"' || c == '\''; }

void CheckPiece(std::string_view css, const engine::CssToken& token) {
    std::string_view piece = engine::PieceText(css, token);
    char first = piece[0];
    switch (token.kind) {
        case engine::CssPiece::Space:
            for (char c : piece) Check(engine::IsCssSpace(c), "a space piece holds another byte");
            break;
        case engine::CssPiece::Comment:
            Check(piece.substr(0, 2) == "/*", "a comment piece opens without /*");
            Check(token.unclosed ? token.end == css.size()
                                 : piece.size() >= 4 && piece.substr(piece.size() - 2) == "*/",
                  "a comment piece ends elsewhere than at */ or the end");
            break;
        case engine::CssPiece::String:
            Check(IsQuote(first), "a string piece opens without a quote");
            Check(token.unclosed || (piece.size() >= 2 && piece.back() == first) ||
                      (token.end < css.size() && engine::IsCssLineBreak(css[token.end])),
                  "a string piece ends elsewhere than at its quote or a line break");
            break;
        case engine::CssPiece::Semicolon:
            Check(piece == ";", "a semicolon piece is not one ;");
            break;
        case engine::CssPiece::Open:
            Check(piece.size() == 1 && (first == '{' || first == '[' || first == '('),
                  "an open piece is not one opening byte");
            break;
        case engine::CssPiece::Close:
            Check(piece.size() == 1 && (first == '}' || first == ']' || first == ')'),
                  "a close piece is not one closing byte");
            break;
        case engine::CssPiece::Text:
            Check(!engine::IsCssSpace(first) && !IsQuote(first) && first != ';' && first != '{' &&
                      first != '}' && first != '[' && first != ']' && first != '(' &&
                      first != ')' && piece.substr(0, 2) != "/*",
                  "a text piece opens with a byte of another piece");
            break;
    }
}

// Reads the whole text; returns what closes it, checking the pieces on the way.
std::string ReadAll(std::string_view css, engine::Encoding encoding) {
    engine::CssLexer lexer(css, encoding);
    engine::CssToken token;
    size_t end = 0;
    std::string open;  // the closing byte of each open bracket, innermost last
    while (lexer.Next(token)) {
        Check(token.begin == end, "pieces do not follow each other");
        Check(token.end > token.begin && token.end <= css.size(), "an empty or overlong piece");
        Check(!token.unclosed || token.end == css.size(), "an unclosed piece before the end");
        CheckPiece(css, token);
        char c = css[token.begin];
        if (token.kind == engine::CssPiece::Open) open += c == '{' ? '}' : c == '[' ? ']' : ')';
        if (token.kind == engine::CssPiece::Close) {
            Check(token.unmatched == (open.empty() || open.back() != c), "wrong unmatched close");
            if (!token.unmatched) open.pop_back();
        }
        Check(lexer.Depth() == open.size() && lexer.OpenBrackets() == open, "wrong depth");
        end = token.end;
    }
    Check(end == css.size(), "the pieces do not cover the text");
    return lexer.Closers();
}

// True when `rule` is read at the top level after `before`.
bool ReadAtTopLevel(const std::string& before, std::string_view rule, engine::Encoding encoding) {
    std::string sheet = before + std::string(rule);
    engine::CssLexer lexer(sheet, encoding);
    engine::CssToken token;
    while (lexer.Next(token)) {
        if (token.begin < before.size()) continue;
        return token.begin == before.size() && lexer.Depth() == 0 &&
               token.kind == engine::CssPiece::Text;
    }
    return false;
}

void CheckReadings(std::string_view css, engine::Encoding encoding) {
    std::string closed = std::string(css) + ReadAll(css, encoding);
    Check(ReadAll(closed, encoding).empty(), "the closers leave something open");
    Check(
        engine::CssClosers(std::string(css) + engine::CssClosers(css, encoding), encoding).empty(),
        "the sheet's closers leave something open");

    if (!engine::FitsInOneRule(css, encoding)) return;
    // The space keeps a backslash at the end of the style from escaping the brace.
    Check(ReadAtTopLevel("p{" + std::string(css) + " }", "q{}", encoding),
          "a fitting style leaves its rule");
    for (engine::Importance importance :
         {engine::Importance::MarkAll, engine::Importance::AsWritten}) {
        std::string declarations = engine::InlineDeclarations(css, encoding, importance);
        Check(engine::FitsInOneRule(declarations, encoding),
              "inline declarations do not fit in one rule");
        Check(ReadAtTopLevel("p\r\n{" + declarations + "}\r\n", "q{}", encoding),
              "inline declarations leave their rule");
    }
    Check(engine::SameDeclarationsInEffect(css, css, encoding), "a style differs from itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view css = AsText(data, size);
    CheckReadings(css, engine::Encoding::SingleByte);
    if (size > 0) {
        constexpr engine::Encoding kDoubleByte[] = {engine::Encoding::ShiftJis,
                                                    engine::Encoding::Gbk, engine::Encoding::Big5};
        CheckReadings(css, kDoubleByte[data[0] % 3]);
    }
    return 0;
}
