#include "engine/css_lexer.h"

#include <array>

#include "engine/byte_classes.h"

namespace {

constexpr size_t npos = std::string_view::npos;

// What a byte may begin. A Text piece runs over bytes of kind kText, and over "/" and "\\"
// when they begin no comment and escape the next byte.
enum ByteKind : unsigned char { kText, kSpace, kQuote, kSemicolon, kOpen, kClose, kSlash, kEscape };

constexpr std::array<ByteKind, 256> MakeByteKinds() {
    std::array<ByteKind, 256> kinds{};
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        kinds[b] = IsSpace(c)                         ? kSpace
                   : c == '"' || c == '\''            ? kQuote
                   : c == ';'                         ? kSemicolon
                   : c == '{' || c == '[' || c == '(' ? kOpen
                   : c == '}' || c == ']' || c == ')' ? kClose
                   : c == '/'                         ? kSlash
                   : c == '\\'                        ? kEscape
                                                      : kText;
    }
    return kinds;
}

constexpr std::array<ByteKind, 256> kByteKinds = MakeByteKinds();

ByteKind KindOf(char c) { return kByteKinds[static_cast<unsigned char>(c)]; }

char ClosingOf(char open) { return open == '{' ? '}' : open == '[' ? ']' : ')'; }

bool StartsComment(std::string_view css, size_t at) {
    return css[at] == '/' && at + 1 < css.size() && css[at + 1] == '*';
}

// One past the escape whose backslash stands at `at`: the byte after it, a CR LF pair taken
// as one line break; only the backslash when it ends the text.
size_t EscapeEnd(std::string_view css, size_t at) {
    if (at + 1 >= css.size()) return at + 1;
    if (css[at + 1] == '\r' && at + 2 < css.size() && css[at + 2] == '\n') return at + 3;
    return at + 2;
}

}  // namespace

bool CssLexer::Next(CssToken& token) {
    const size_t size = css_.size();
    if (at_ >= size) return false;
    token.begin = at_;
    token.unclosed = false;
    token.unmatched = false;
    char c = css_[at_];
    ByteKind kind = KindOf(c);
    if (kind == kSlash && StartsComment(css_, at_)) {
        token.kind = CssPiece::Comment;
        size_t close = css_.find("*/", at_ + 2);
        token.unclosed = close == npos;
        openComment_ = token.unclosed;
        at_ = token.unclosed ? size : close + 2;
    } else if (kind == kSpace) {
        token.kind = CssPiece::Space;
        while (++at_ < size && KindOf(css_[at_]) == kSpace) {
        }
    } else if (kind == kQuote) {
        token.kind = CssPiece::String;
        token.unclosed = true;
        for (++at_; at_ < size && token.unclosed;) {
            char b = css_[at_];
            if (b == '\\') {
                danglingEscape_ = at_ + 1 == size;
                at_ = EscapeEnd(css_, at_);
            } else if (IsCssLineBreak(b)) {
                token.unclosed = false;  // the line break ends the string, outside it
            } else {
                ++at_;
                token.unclosed = b != c;
            }
        }
        openString_ = token.unclosed ? c : 0;
    } else if (kind == kSemicolon) {
        token.kind = CssPiece::Semicolon;
        ++at_;
    } else if (kind == kOpen) {
        token.kind = CssPiece::Open;
        open_ += ClosingOf(c);
        ++at_;
    } else if (kind == kClose) {
        token.kind = CssPiece::Close;
        token.unmatched = open_.empty() || open_.back() != c;
        if (!token.unmatched) open_.pop_back();
        ++at_;
    } else {
        // Every other kind of piece was tried first, so the piece holds at least this byte.
        token.kind = CssPiece::Text;
        size_t at = at_;
        while (at < size) {
            kind = KindOf(css_[at]);
            if (kind == kText || (kind == kSlash && !StartsComment(css_, at))) {
                ++at;
            } else if (kind == kEscape) {
                danglingEscape_ = at + 1 == size;
                at = EscapeEnd(css_, at);
            } else {
                break;
            }
        }
        at_ = at;
    }
    token.end = at_;
    return true;
}

std::string CssLexer::Closers() const {
    std::string closers;
    if (danglingEscape_) closers += ' ';  // the escaped byte, so that no closer is escaped
    if (openComment_) closers += "*/";
    if (openString_ != 0) closers += openString_;
    closers.append(open_.rbegin(), open_.rend());
    return closers;
}
