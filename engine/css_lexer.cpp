#include "engine/css_lexer.h"

#include <array>

#include "engine/byte_classes.h"

namespace {

constexpr size_t npos = std::string_view::npos;

char ClosingOf(char open) { return open == '{' ? '}' : open == '[' ? ']' : ')'; }

constexpr bool IsOpen(char c) { return c == '{' || c == '[' || c == '('; }
constexpr bool IsClose(char c) { return c == '}' || c == ']' || c == ')'; }

bool StartsComment(std::string_view css, size_t at) {
    return css[at] == '/' && at + 1 < css.size() && css[at + 1] == '*';
}

// The bytes that a Text piece cannot simply step over: those that begin a piece of another
// kind, and "/" (a comment may begin) and "\\" (an escape takes the next byte as well).
constexpr std::array<bool, 256> MakeTextStops() {
    std::array<bool, 256> stops{};
    for (int b = 0; b < 256; ++b) {
        char c = static_cast<char>(b);
        stops[b] = IsSpace(c) || c == '"' || c == '\'' || c == ';' || IsOpen(c) || IsClose(c) ||
                   c == '/' || c == '\\';
    }
    return stops;
}

constexpr std::array<bool, 256> kTextStops = MakeTextStops();

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
    token = CssToken();
    token.begin = at_;
    char c = css_[at_];
    if (IsSpace(c)) {
        token.kind = CssPiece::Space;
        while (at_ < size && IsSpace(css_[at_])) ++at_;
    } else if (StartsComment(css_, at_)) {
        token.kind = CssPiece::Comment;
        size_t close = css_.find("*/", at_ + 2);
        token.unclosed = close == npos;
        openComment_ = token.unclosed;
        at_ = token.unclosed ? size : close + 2;
    } else if (c == '"' || c == '\'') {
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
    } else if (c == ';') {
        token.kind = CssPiece::Semicolon;
        ++at_;
    } else if (IsOpen(c)) {
        token.kind = CssPiece::Open;
        open_ += ClosingOf(c);
        ++at_;
    } else if (IsClose(c)) {
        token.kind = CssPiece::Close;
        token.unmatched = open_.empty() || open_.back() != c;
        if (!token.unmatched) open_.pop_back();
        ++at_;
    } else {
        // Every other kind of piece was tried first, so the piece holds at least this byte.
        token.kind = CssPiece::Text;
        while (at_ < size) {
            char b = css_[at_];
            if (!kTextStops[static_cast<unsigned char>(b)] ||
                (b == '/' && !StartsComment(css_, at_))) {
                ++at_;
            } else if (b == '\\') {
                danglingEscape_ = at_ + 1 == size;
                at_ = EscapeEnd(css_, at_);
            } else {
                break;
            }
        }
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
