#include "engine/css_lexer.h"

#include <array>

#include "engine/byte_classes.h"

namespace engine {

namespace {

constexpr std::array<CssByte, 256> MakeByteKinds(Encoding encoding) {
    std::array<CssByte, 256> kinds{};
    for (int b = 0; b < 256; ++b) kinds[b] = CssByteOf(static_cast<char>(b), encoding);
    return kinds;
}

constexpr std::array<CssByte, 256> kSingleByteKinds = MakeByteKinds(Encoding::SingleByte);
constexpr std::array<CssByte, 256> kShiftJisKinds = MakeByteKinds(Encoding::ShiftJis);
constexpr std::array<CssByte, 256> kGbkKinds = MakeByteKinds(Encoding::Gbk);
constexpr std::array<CssByte, 256> kBig5Kinds = MakeByteKinds(Encoding::Big5);

const CssByte* ByteKindsOf(Encoding encoding) {
    switch (encoding) {
        case Encoding::ShiftJis: return kShiftJisKinds.data();
        case Encoding::Gbk: return kGbkKinds.data();
        case Encoding::Big5: return kBig5Kinds.data();
        case Encoding::SingleByte: break;
    }
    return kSingleByteKinds.data();
}

char ClosingOf(char open) { return open == '{' ? '}' : open == '[' ? ']' : ')'; }

bool StartsComment(std::string_view css, size_t at) {
    return css[at] == '/' && at + 1 < css.size() && css[at + 1] == '*';
}

// One past the escape whose backslash stands at `at`: the character after it, a CR LF pair
// taken as one line break; only the backslash when it ends the text.
size_t EscapeEnd(std::string_view css, size_t at, Encoding encoding) {
    if (at + 1 >= css.size()) return at + 1;
    if (css[at + 1] == '\r' && at + 2 < css.size() && css[at + 2] == '\n') return at + 3;
    return at + 1 + CharacterSize(css, at + 1, encoding);
}

}  // namespace

CssLexer::CssLexer(std::string_view css, Encoding encoding)
    : css_(css), encoding_(encoding), kinds_(ByteKindsOf(encoding)) {}

CssLexer::CssLexer(std::string_view css, Encoding encoding, CssOpenPiece continued)
    : CssLexer(css, encoding) {
    openString_ = continued.quote;
    openComment_ = continued.comment;
    continues_ = openComment_ || openString_ != 0;
}

bool CssLexer::Next(CssToken& token) {
    const size_t size = css_.size();
    if (at_ >= size) return false;
    token.begin = at_;
    token.unclosed = false;
    token.unmatched = false;
    token.endedByLineBreak = false;
    token.danglingEscape = false;
    char c = css_[at_];
    CssByte kind = KindOf(c);
    if (continues_) {
        continues_ = false;
        if (openComment_)
            ReadComment(token, at_);
        else
            ReadString(token, openString_);
    } else if (kind == CssByte::Slash && StartsComment(css_, at_)) {
        ReadComment(token, at_ + 2);
    } else if (kind == CssByte::Space) {
        token.kind = CssPiece::Space;
        while (++at_ < size && KindOf(css_[at_]) == CssByte::Space) {
        }
    } else if (kind == CssByte::Quote) {
        ++at_;
        ReadString(token, c);
    } else if (kind == CssByte::Semicolon) {
        token.kind = CssPiece::Semicolon;
        ++at_;
    } else if (kind == CssByte::Open) {
        token.kind = CssPiece::Open;
        open_ += ClosingOf(c);
        ++at_;
    } else if (kind == CssByte::Close) {
        token.kind = CssPiece::Close;
        token.unmatched = open_.empty() || open_.back() != c;
        if (!token.unmatched) open_.pop_back();
        ++at_;
    } else {
        ReadText(token);
    }
    token.end = at_;
    return true;
}

void CssLexer::ReadComment(CssToken& token, size_t searchFrom) {
    token.kind = CssPiece::Comment;
    size_t close = css_.find("*/", searchFrom);
    token.unclosed = close == npos;
    openComment_ = token.unclosed;
    at_ = token.unclosed ? css_.size() : close + 2;
}

// From the byte after the opening quote (or the first byte of a string continued).
void CssLexer::ReadString(CssToken& token, char quote) {
    const size_t size = css_.size();
    token.kind = CssPiece::String;
    token.unclosed = true;
    while (at_ < size && token.unclosed) {
        char b = css_[at_];
        if (b == '\\') {
            at_ = StepOverEscape(at_, token);
        } else if (IsCssLineBreak(b)) {
            token.unclosed = false;  // the line break ends the string, outside it
            token.endedByLineBreak = true;
        } else if (KindOf(b) == CssByte::Lead) {
            at_ += CharacterSize(css_, at_, encoding_);
        } else {
            ++at_;
            token.unclosed = b != quote;
        }
    }
    openString_ = token.unclosed ? quote : 0;
}

void CssLexer::ReadText(CssToken& token) {
    // Every other kind of piece was tried first, so the piece holds at least this byte.
    token.kind = CssPiece::Text;
    const size_t size = css_.size();
    size_t at = at_;
    while (at < size) {
        CssByte kind = KindOf(css_[at]);
        if (kind == CssByte::Text || (kind == CssByte::Slash && !StartsComment(css_, at))) {
            ++at;
        } else if (kind == CssByte::Lead) {
            at += CharacterSize(css_, at, encoding_);
        } else if (kind == CssByte::Escape) {
            at = StepOverEscape(at, token);
        } else {
            break;
        }
    }
    at_ = at;
}

size_t CssLexer::StepOverEscape(size_t at, CssToken& token) {
    token.danglingEscape = danglingEscape_ = at + 1 == css_.size();
    return EscapeEnd(css_, at, encoding_);
}

std::string CssLexer::Closers() const {
    std::string closers;
    // The escaped byte, so that no closer is escaped; or after a lead byte, so that no closer is
    // read as its trail byte.
    bool endsInLeadByte = !css_.empty() && KindOf(css_.back()) == CssByte::Lead;
    if (danglingEscape_ || endsInLeadByte) closers += ' ';
    if (openComment_) closers += "*/";
    if (openString_ != 0) closers += openString_;
    closers.append(open_.rbegin(), open_.rend());
    return closers;
}

}  // namespace engine
