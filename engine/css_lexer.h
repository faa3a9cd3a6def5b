// The lexical structure of CSS text, the one reading that every job on CSS shares: the style
// text of an attribute (does it fit in one rule, where do its declarations end), the header
// CSS (the comments before its rules) and the style sheet being written (what it leaves
// open). The lexer cuts the text into pieces and tracks the brackets; each job decides what a
// piece means. It reads CSS as browsers do:
// - a comment runs from "/*" to the first "*/" after it ("/*/" opens a comment);
// - a string runs from a quote to the same quote, or to a line break, which ends it (the
//   browser drops such a string, but nothing after the line break belongs to it);
// - a backslash escapes the byte after it, in strings as outside them, never in comments;
// - "{", "[" and "(" open brackets that the matching "}", "]" or ")" close; a closing byte
//   that does not match the innermost open bracket closes nothing.
// Every byte lands in exactly one piece, and the pieces cover the text in order. A job that
// must read some text differently gets a named option of the lexer, not a loop of its own.
// Bytes are read one by one, as single-byte code pages write them, unless the lexer is given a
// double-byte encoding (the page's): it then reads a lead byte and its trail byte as one
// character of text, in strings and escapes too, so that a trail byte equal to a brace or a
// backslash is read as neither.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/byte_classes.h"

namespace engine {

// What a byte may begin, the lexer's first look at it. A Text piece runs over bytes of kind
// Text, over a lead byte and its trail byte, and over "/" and "\\" when they begin no comment
// and escape the next character; a byte of any other kind ends it.
enum class CssByte : unsigned char {
    Text,
    Space,
    Quote,
    Semicolon,
    Open,
    Close,
    Slash,
    Escape,
    Lead
};

constexpr CssByte CssByteOf(char c, Encoding encoding = Encoding::SingleByte) {
    return IsLeadByte(encoding, c)            ? CssByte::Lead
           : IsCssSpace(c)                    ? CssByte::Space
           : c == '"' || c == '\''            ? CssByte::Quote
           : c == ';'                         ? CssByte::Semicolon
           : c == '{' || c == '[' || c == '(' ? CssByte::Open
           : c == '}' || c == ']' || c == ')' ? CssByte::Close
           : c == '/'                         ? CssByte::Slash
           : c == '\\'                        ? CssByte::Escape
                                              : CssByte::Text;
}

enum class CssPiece {
    Text,       // a run of anything else; an escape and the byte it escapes are text
    Space,      // a run of space, tab, CR, LF and form feed
    Comment,    // "/*" through "*/"
    String,     // a quote through its closing quote, or up to the line break that ends it
    Open,       // "{", "[" or "("
    Close,      // "}", "]" or ")"
    Semicolon,  // ";" outside strings and comments
};

struct CssToken {
    CssPiece kind = CssPiece::Text;
    size_t begin = 0;
    size_t end = 0;          // one past the last byte
    bool unclosed = false;   // a comment or string that the text ends inside
    bool unmatched = false;  // a Close that closes no open bracket
    // A string that a line break ends: neither its quote nor the end of the text. The line
    // break comes right after the piece.
    bool endedByLineBreak = false;
    // A Text or String piece that the text ends inside an escape, right after its backslash.
    bool danglingEscape = false;
};

// The piece that a text leaves open at its end, which the text after it continues: a string
// (by its quote) or a comment; neither when the text ends between two pieces.
struct CssOpenPiece {
    char quote = 0;
    bool comment = false;
};

class CssLexer {
public:
    explicit CssLexer(std::string_view css, Encoding encoding = Encoding::SingleByte);

    // Reads `css` as the rest of a text that leaves `continued` open: its first piece is the
    // rest of that string or comment. So a text may be read stretch by stretch, each from where
    // the one before it left off (OpenPiece), with the pieces of the whole text, as long as no
    // stretch but the last ends in a byte that may join the next one's first: "\\", "/", "*",
    // CR or a lead byte. Brackets open in the stretches before are not known.
    CssLexer(std::string_view css, Encoding encoding, CssOpenPiece continued);

    // Reads the next piece; false at the end of the text. Never fails on bad input.
    bool Next(CssToken& token);

    // Brackets open after the pieces read so far.
    size_t Depth() const { return open_.size(); }

    // The closing byte of each bracket open after the pieces read so far, innermost last.
    std::string_view OpenBrackets() const { return open_; }

    // What closes everything the pieces read so far leave open: a byte for a dangling escape,
    // the end of an open comment or string, then each open bracket, innermost first.
    std::string Closers() const;

    // The piece that the pieces read so far leave open: for the lexer of the text after them.
    CssOpenPiece OpenPiece() const { return {openString_, openComment_}; }

private:
    CssByte KindOf(char c) const { return kinds_[static_cast<unsigned char>(c)]; }
    // Each reads a piece that begins at at_ into `token`, up to its end.
    void ReadComment(CssToken& token, size_t searchFrom);
    void ReadString(CssToken& token, char quote);
    void ReadText(CssToken& token);
    // One past the escape whose backslash stands at `at`; notes a backslash that ends the text.
    size_t StepOverEscape(size_t at, CssToken& token);

    std::string_view css_;
    Encoding encoding_;
    const CssByte* kinds_;  // what each byte may begin, in the lexer's encoding
    size_t at_ = 0;
    std::string open_;  // the closing byte of each open bracket, innermost last
    // The quote of a string the text ends inside, or that its first piece continues.
    char openString_ = 0;
    bool openComment_ = false;     // the text ends inside a comment, or begins inside one
    bool danglingEscape_ = false;  // the text ends in a backslash that escapes nothing yet
    bool continues_ = false;       // the first piece continues a string or comment
};

// The bytes of a piece.
inline std::string_view PieceText(std::string_view css, const CssToken& token) {
    return css.substr(token.begin, token.end - token.begin);
}

}  // namespace engine
