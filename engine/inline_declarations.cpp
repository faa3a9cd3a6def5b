#include "engine/inline_declarations.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/character_references.h"
#include "engine/css_lexer.h"

namespace engine {

namespace {

// Appends to a style text being decoded the characters that references stand for: an ASCII
// one as its byte, any other as a CSS escape ("\\AB "), so that the style sheet holds no byte
// whose meaning depends on the page's encoding. The space ends the escape, whatever follows it.
// A backslash before it that escapes it goes: an escaped character that is no hexadecimal digit
// is that character. Whether it escapes it is read with the CSS lexer (a backslash in a comment
// escapes nothing), each time from the end of the escape appended after the last such backslash:
// an escape leaves the reading as it found it, inside the same string or comment or outside any.
// The text is read in the page's encoding: a backslash that is the trail byte of a double-byte
// character escapes nothing and stays. A lead byte that is a character of its own (followed by
// the "&" of the reference) would take the first byte appended for its trail byte: it becomes
// the escape of the character a browser reads for it, U+FFFD.
class ReferenceAppender {
public:
    ReferenceAppender(std::string& out, Encoding encoding) : out_(out), encoding_(encoding) {}

    // Appends the one or two characters of a reference that follows `before`, the bytes copied
    // since the last reference or line break (which begin at a character).
    void AppendReference(std::string_view before, char32_t first, char32_t second) {
        char firstByte = first < 0x80 ? static_cast<char>(first) : '\\';
        if (IsTrailByte(encoding_, firstByte) && EndsInLoneLeadByte(before)) {
            out_.pop_back();
            Append(0xFFFD);
        }
        Append(first);
        if (second != 0) Append(second);
    }

private:
    void Append(char32_t character) {
        if (character < 0x80) {
            out_ += static_cast<char>(character);
            return;
        }
        bool afterBackslash = !out_.empty() && out_.back() == '\\';
        if (afterBackslash && EndsInEscape()) out_.pop_back();
        static constexpr char kHex[] = "0123456789ABCDEF";
        char digits[8];
        size_t count = 0;
        for (; character != 0; character >>= 4) digits[count++] = kHex[character & 0xF];
        out_ += '\\';
        while (count > 0) out_ += digits[--count];
        out_ += ' ';
        if (afterBackslash) read_ = out_.size();
    }

    // Whether the text, which begins at a character, ends in a lead byte with no trail byte.
    bool EndsInLoneLeadByte(std::string_view text) const {
        if (encoding_ == Encoding::SingleByte || text.empty()) return false;
        size_t last = 0;
        for (size_t at = 0; at < text.size(); at += CharacterSize(text, at, encoding_)) last = at;
        return last + 1 == text.size() && IsLeadByte(encoding_, text[last]);
    }

    // Whether the text ends inside an escape, right after its backslash; reads it from read_.
    bool EndsInEscape() {
        CssLexer lexer(std::string_view(out_).substr(read_), encoding_, open_);
        CssToken token;
        bool dangling = false;
        while (lexer.Next(token)) dangling = token.danglingEscape;
        open_ = lexer.OpenPiece();
        return dangling;
    }

    std::string& out_;
    Encoding encoding_;
    size_t read_ = 0;    // where the text is read from next
    CssOpenPiece open_;  // the piece open there
};

// Whether a declaration's last pieces, as CSS reads them (spaces and comments left out), are
// "!" and "important": "red !important", "red!IMPORTANT", "red ! /* x */ important".
bool EndsWithImportant(std::string_view declaration, Encoding encoding) {
    constexpr std::string_view kWord = "important";
    CssLexer lexer(declaration, encoding);
    CssToken token;
    std::string significant;  // the text of the pieces that count, the last few only
    while (lexer.Next(token)) {
        if (token.kind == CssPiece::Space || token.kind == CssPiece::Comment) continue;
        if (token.kind != CssPiece::Text) {
            significant = "\x01";  // a string or bracket: no important after it yet
            continue;
        }
        significant += PieceText(declaration, token);
        if (significant.size() > 64) significant.erase(0, significant.size() - 64);
    }
    if (significant.size() < kWord.size() + 1) return false;
    std::string_view tail(significant);
    return EqualsNoCase(tail.substr(tail.size() - kWord.size()), kWord) &&
           tail[tail.size() - kWord.size() - 1] == '!';
}

// Calls `take` with each declaration of a style text: the text up to each ";" at the top
// level (outside strings, comments and brackets), then the rest after the last one.
template <typename Take>
void ForEachDeclaration(std::string_view styleText, Encoding encoding, Take take) {
    CssLexer lexer(styleText, encoding);
    CssToken token;
    size_t start = 0;
    while (lexer.Next(token)) {
        if (token.kind != CssPiece::Semicolon || lexer.Depth() != 0) continue;
        take(styleText.substr(start, token.begin - start), true);
        start = token.end;
    }
    take(styleText.substr(start), false);
}

// Whitespace next to one of these bytes, or at either end, parts no words: "color : red" is
// "color:red", "a , b" is "a,b". Anywhere else a run of it parts two words and counts as one
// space: "0 40px" is not "0 4 0px".
constexpr bool PartsNoWords(char c) {
    return c == ':' || c == ';' || c == ',' || c == '(' || c == ')' || c == '!';
}

// Reads a declaration lower-cased, each whitespace run that parts two words as one space and
// every other whitespace left out.
class NormalizedBytes {
public:
    explicit NormalizedBytes(std::string_view text) : text_(text) {}

    // The next byte; false at the end.
    bool Next(unsigned char& byte) {
        size_t word = at_;
        while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
        if (at_ == text_.size()) return false;
        if (at_ > word && word > 0 && !PartsNoWords(text_[word - 1]) && !PartsNoWords(text_[at_])) {
            byte = ' ';
            return true;
        }
        byte = static_cast<unsigned char>(AnsiLower(text_[at_++]));
        return true;
    }

private:
    std::string_view text_;
    size_t at_ = 0;
};

// Orders declarations by their bytes lower-cased, whitespace read as NormalizedBytes reads it.
int CompareNormalized(std::string_view a, std::string_view b) {
    NormalizedBytes left(a);
    NormalizedBytes right(b);
    while (true) {
        unsigned char x = 0;
        unsigned char y = 0;
        bool more = left.Next(x);
        if (more != right.Next(y)) return more ? 1 : -1;
        if (!more) return 0;
        if (x != y) return x < y ? -1 : 1;
    }
}

// Shorthands whose longhands are named otherwise, and legacy names of the same properties: in
// a style that holds a declaration of the first word, those of the other words may set the
// same properties as it. A declaration is known by the first word of its property name, the
// part before its first "-" once a vendor prefix is dropped; the entries apply in order.
struct SharedWords {
    std::string_view word;
    std::string_view others[4];
};

constexpr SharedWords kSharedWords[] = {
    {"inset", {"top", "right", "bottom", "left"}},
    {"gap", {"row", "column"}},               // row-gap, column-gap
    {"columns", {"column"}},                  // column-width, column-count
    {"grid", {"gap"}},                        // grid-gap, grid-row-gap
    {"place", {"align", "justify"}},          // place-items, align-items
    {"font", {"line"}},                       // line-height
    {"overflow", {"word"}},                   // word-wrap, an old name of overflow-wrap
    {"break", {"page"}},                      // page-break-before
    {"white", {"text"}},                      // text-wrap
    {"vertical", {"alignment", "baseline"}},  // baseline-shift
};

// The entries of kSharedWords whose word begins with each byte, one bit each.
constexpr std::array<unsigned, 256> kSharedWordsByFirstByte = [] {
    std::array<unsigned, 256> entries{};
    for (size_t i = 0; i < std::size(kSharedWords); ++i)
        entries[static_cast<unsigned char>(kSharedWords[i].word[0])] |= 1u << i;
    return entries;
}();

// The name of the property that a declaration sets: its first piece up to the ":", after
// whitespace and comments; empty when it does not begin with a name. Most begin with the name
// itself, which is read without the lexer.
std::string_view PropertyName(std::string_view declaration) {
    std::string_view text = TrimSpaceFront(declaration);
    if (text.compare(0, 2, "/*") == 0) {
        CssLexer lexer(text);
        CssToken token;
        while (lexer.Next(token) &&
               (token.kind == CssPiece::Comment || token.kind == CssPiece::Space)) {
        }
        text = TrimSpaceFront(text.substr(token.begin));
        if (text.compare(0, 2, "/*") == 0) return {};  // a comment that never ends
    }
    // A name ends at a byte that may end the lexer's text piece (a byte of any kind but text,
    // "/" and "\\" among them), or at the ":"; one that holds an escape is none that can be told.
    static constexpr std::array<bool, 256> kEndsName = [] {
        std::array<bool, 256> ends{};
        for (int b = 0; b < 256; ++b) {
            char c = static_cast<char>(b);
            ends[b] = CssByteOf(c) != CssByte::Text || c == ':';
        }
        return ends;
    }();
    size_t end = 0;
    while (end < text.size() && !kEndsName[static_cast<unsigned char>(text[end])]) ++end;
    if (end < text.size() && text[end] == '\\') return {};
    return text.substr(0, end);
}

// The first word of the name of the property that a declaration sets. False when the
// declaration may set any property ("all", an escaped or missing name).
bool FirstWord(std::string_view declaration, std::string_view& word) {
    std::string_view name = PropertyName(declaration);
    if (name.empty()) return false;
    if (name.size() >= 2 && name[0] == '-' && name[1] == '-') {
        word = "--";  // custom properties
        return true;
    }
    if (name[0] == '-') {
        size_t prefixEnd = name.find('-', 1);
        if (prefixEnd == std::string_view::npos) return false;
        name.remove_prefix(prefixEnd + 1);
    }
    word = name.substr(0, name.find('-'));
    return !word.empty() && !EqualsNoCase(word, "all");
}

int CompareNoCase(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(AnsiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(AnsiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// True when a word of a property name is `lowerWord` (in lower case), in any case.
bool SameWord(std::string_view word, std::string_view lowerWord) {
    return word.size() == lowerWord.size() && AnsiLower(word[0]) == lowerWord[0] &&
           EqualsNoCase(word, lowerWord);
}

// The declarations of a style text that are not empty once whitespace is dropped, each with the
// group of properties it may set: the first word of its name, joined by the shared words of the
// style; one group for all when one declaration may set any property. They are sorted into an
// order that holds what decides their effect: by group, each group in the order of the text. A
// style holds a handful of declarations: they are kept on the stack up to a few dozen.
class DeclarationsInEffect {
public:
    DeclarationsInEffect(std::string_view styleText, Encoding encoding) {
        bool anyProperty = false;
        ForEachDeclaration(styleText, encoding, [&](std::string_view text, bool) {
            if (TrimSpace(text).empty()) return;
            std::string_view group;
            anyProperty = !FirstWord(text, group) || anyProperty;
            Declaration declaration{text.data(), text.size(), group.data(), group.size(), count_};
            if (count_ < kInPlace)
                inPlace_[count_] = declaration;
            else
                more_.push_back(declaration);
            ++count_;
        });
        if (count_ > kInPlace) more_.insert(more_.begin(), inPlace_, inPlace_ + kInPlace);
        Declaration* begin = Begin();
        Declaration* end = begin + count_;
        if (anyProperty) {
            for (Declaration* declaration = begin; declaration != end; ++declaration)
                declaration->groupSize = 0;
        } else if (count_ > 1) {
            JoinSharedWords(begin, end);
        }
        if (anyProperty || count_ < 2) return;
        std::sort(begin, end, [](const Declaration& a, const Declaration& b) {
            int order = CompareNoCase(Group(a), Group(b));
            return order != 0 ? order < 0 : a.position < b.position;
        });
    }

    bool operator==(const DeclarationsInEffect& other) const {
        if (count_ != other.count_) return false;
        for (size_t i = 0; i < count_; ++i)
            if (CompareNormalized(Text(Begin()[i]), Text(other.Begin()[i])) != 0) return false;
        return true;
    }

private:
    // Plain values, so that the array of them costs nothing to make.
    struct Declaration {
        const char* text;
        size_t textSize;
        const char* group;
        size_t groupSize;
        size_t position;  // in the text, to keep the order of a group
    };
    static constexpr size_t kInPlace = 32;

    static std::string_view Text(const Declaration& d) { return {d.text, d.textSize}; }
    static std::string_view Group(const Declaration& d) { return {d.group, d.groupSize}; }

    // Puts the declarations of the other words of each shared word that the style holds into
    // the shared word's group.
    static void JoinSharedWords(Declaration* begin, Declaration* end) {
        unsigned sharedWords = 0;  // most styles hold none
        for (const Declaration* declaration = begin; declaration != end; ++declaration) {
            std::string_view group = Group(*declaration);
            unsigned maybe =
                kSharedWordsByFirstByte[static_cast<unsigned char>(AnsiLower(group[0]))];
            for (size_t i = 0; (maybe >> i) != 0; ++i)
                if ((maybe >> i & 1) != 0 && SameWord(group, kSharedWords[i].word))
                    sharedWords |= 1u << i;
        }
        for (size_t i = 0; sharedWords != 0 && i < std::size(kSharedWords); ++i) {
            if ((sharedWords & (1u << i)) == 0) continue;
            std::string_view word = kSharedWords[i].word;
            for (Declaration* declaration = begin; declaration != end; ++declaration) {
                for (std::string_view other : kSharedWords[i].others) {
                    if (other.empty() || !SameWord(Group(*declaration), other)) continue;
                    declaration->group = word.data();
                    declaration->groupSize = word.size();
                }
            }
        }
    }

    Declaration* Begin() { return count_ > kInPlace ? more_.data() : inPlace_; }
    const Declaration* Begin() const { return count_ > kInPlace ? more_.data() : inPlace_; }

    Declaration inPlace_[kInPlace];
    std::vector<Declaration> more_;
    size_t count_ = 0;
};

}  // namespace

std::string_view StyleTextOf(std::string_view value, std::string& decoded, Encoding encoding) {
    // Most values hold nothing to change: they are looked through at one table lookup a byte.
    // None of these bytes is a trail byte, so each begins a character in every encoding.
    static constexpr std::array<bool, 256> kSpecial = [] {
        std::array<bool, 256> special{};
        special['&'] = special['\r'] = special['\n'] = true;
        return special;
    }();
    auto special = [](char c) { return kSpecial[static_cast<unsigned char>(c)]; };
    size_t at = std::find_if(value.begin(), value.end(), special) - value.begin();
    if (at == value.size()) return value;
    decoded.assign(value, 0, at);
    ReferenceAppender references(decoded, encoding);
    size_t copiedFrom = 0;  // where the bytes copied since the last reference or line break begin
    while (at < value.size()) {
        char c = value[at];
        char32_t first = 0;
        char32_t second = 0;
        size_t length = c == '&' ? ReadCharacterReference(value.substr(at), first, second) : 0;
        if (c == '\r' || c == '\n') {
            decoded += ' ';
            at += c == '\r' && at + 1 < value.size() && value[at + 1] == '\n' ? 2 : 1;
            copiedFrom = at;
        } else if (length > 0) {
            references.AppendReference(value.substr(copiedFrom, at - copiedFrom), first, second);
            at += length;
            copiedFrom = at;
        } else {
            decoded += c;
            ++at;
        }
        size_t next = std::find_if(value.begin() + at, value.end(), special) - value.begin();
        decoded.append(value, at, next - at);
        at = next;
    }
    return decoded;
}

bool FitsInOneRule(std::string_view styleText, Encoding encoding) {
    CssLexer lexer(styleText, encoding);
    CssToken token;
    while (lexer.Next(token)) {
        char c = styleText[token.begin];
        bool bracket = token.kind == CssPiece::Open || token.kind == CssPiece::Close;
        if (bracket && (c == '{' || c == '}')) return false;
        if (token.kind == CssPiece::Close && token.unmatched && c == ')') return false;
        if (token.unclosed) return false;
    }
    return lexer.Depth() == 0;
}

std::string InlineDeclarations(std::string_view styleText, Encoding encoding,
                               Importance importance) {
    std::string declarations;
    declarations.reserve(styleText.size() + 16);
    bool endedOne = false;
    ForEachDeclaration(styleText, encoding, [&](std::string_view declaration, bool ended) {
        declarations += declaration;
        // Whitespace after the last ";" does not make one more, empty declaration.
        if (!ended && endedOne && TrimSpace(declaration).empty()) return;
        if (importance == Importance::MarkAll && !EndsWithImportant(declaration, encoding))
            declarations += " !important";
        declarations += ended ? ";\r\n" : ";";
        endedOne = endedOne || ended;
    });
    return declarations;
}

bool SameDeclarationsInEffect(std::string_view a, std::string_view b, Encoding encoding) {
    return DeclarationsInEffect(a, encoding) == DeclarationsInEffect(b, encoding);
}

bool SameDeclarationsOtherwiseSpaced(std::string_view a, std::string_view b) {
    auto spacingMatters = [](std::string_view text) {
        return text.find('/') != std::string_view::npos ||
               text.find('\\') != std::string_view::npos;
    };
    return CompareNormalized(a, b) == 0 && !spacingMatters(a) && !spacingMatters(b);
}

uint64_t DeclarationSetHash(std::string_view styleText, Encoding encoding) {
    uint64_t sum = 0;
    ForEachDeclaration(styleText, encoding, [&sum](std::string_view declaration, bool) {
        // FNV-1a over the declaration lower-cased without whitespace, then mixed (SplitMix64)
        // so that a sum of such hashes tells multisets apart. Empty declarations add nothing.
        uint64_t hash = 14695981039346656037ull;
        bool empty = true;
        for (char c : declaration) {
            if (IsSpace(c)) continue;
            hash = (hash ^ static_cast<unsigned char>(AnsiLower(c))) * 1099511628211ull;
            empty = false;
        }
        if (empty) return;
        hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ull;
        hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBull;
        sum += hash ^ (hash >> 31);
    });
    return sum;
}

}  // namespace engine
