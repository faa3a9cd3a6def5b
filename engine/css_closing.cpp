#include "engine/css_closing.h"

#include "engine/css_lexer.h"

namespace engine {

std::string CssClosers(std::string_view css, Encoding encoding) {
    CssLexer lexer(css, encoding);
    CssToken token;
    bool pendingPrelude = false;  // text at the top level that no block has taken yet
    while (lexer.Next(token)) {
        bool topLevel = lexer.Depth() == 0;
        switch (token.kind) {
            case CssPiece::Space:
            case CssPiece::Comment: break;
            case CssPiece::Semicolon:
                if (topLevel) pendingPrelude = false;  // the end of a statement such as @import
                break;
            case CssPiece::Close:
                if (!topLevel) break;
                if (!token.unmatched && css[token.begin] == '}')
                    pendingPrelude = false;  // the block has taken the prelude before it
                else if (token.unmatched && css[token.begin] != '}')
                    pendingPrelude = true;  // a stray ")" or "]" begins a prelude
                break;
            case CssPiece::Open:
                if (lexer.Depth() == 1) pendingPrelude = true;
                break;
            case CssPiece::Text:
            case CssPiece::String:
                if (topLevel) pendingPrelude = true;
                break;
        }
    }
    std::string_view brackets = lexer.OpenBrackets();
    bool blockOutermost = !brackets.empty() && brackets.front() == '}';
    std::string closers = lexer.Closers();
    if (pendingPrelude && !blockOutermost) closers += "{}";
    return closers;
}

}  // namespace engine
