#include "engine/inline_declarations.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/css_lexer.h"

namespace {

struct NamedReference {
    std::string_view lowerName;
    char byte;
};

constexpr NamedReference kNamedReferences[] = {
    {"quot", '"'}, {"apos", '\''}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}};

// Decodes the reference starting at text[0] == '&'. Returns its length, 0 when it is not one
// that decodes.
size_t DecodeReference(std::string_view text, char& byte) {
    size_t semicolon = text.find(';');
    if (semicolon == std::string_view::npos || semicolon > 8) return 0;
    std::string_view name = text.substr(1, semicolon - 1);
    if (name.size() >= 2 && name[0] == '#') {
        bool hex = name[1] == 'x' || name[1] == 'X';
        std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return 0;
        unsigned value = 0;  // at most 6 digits: no overflow
        for (char c : digits) {
            if (!(hex ? IsHexDigit(c) : IsDigit(c))) return 0;
            value = value * (hex ? 16 : 10) + static_cast<unsigned>(HexValue(c));
        }
        if (value == 0 || value > 255) return 0;  // a NUL byte has no place in a style sheet
        byte = static_cast<char>(value);
        return semicolon + 1;
    }
    for (const NamedReference& reference : kNamedReferences) {
        if (EqualsNoCase(name, reference.lowerName)) {
            byte = reference.byte;
            return semicolon + 1;
        }
    }
    return 0;
}

bool EndsWithImportant(std::string_view declaration) {
    declaration = TrimSpace(declaration);
    constexpr std::string_view kWord = "important";
    if (declaration.size() < kWord.size() + 1) return false;
    if (!EqualsNoCase(declaration.substr(declaration.size() - kWord.size()), kWord)) return false;
    std::string_view before = TrimSpace(declaration.substr(0, declaration.size() - kWord.size()));
    return !before.empty() && before.back() == '!';
}

// Calls `take` with each declaration of a style text: the text up to each ";" at the top
// level (outside strings, comments and brackets), then the rest after the last one.
template <typename Take>
void ForEachDeclaration(std::string_view styleText, Take take) {
    CssLexer lexer(styleText);
    CssToken token;
    size_t start = 0;
    while (lexer.Next(token)) {
        if (token.kind != CssPiece::Semicolon || lexer.Depth() != 0) continue;
        take(styleText.substr(start, token.begin - start), true);
        start = token.end;
    }
    take(styleText.substr(start), false);
}

// Orders declarations by their bytes lower-cased, whitespace skipped.
int CompareNormalized(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (true) {
        while (i < a.size() && IsSpace(a[i])) ++i;
        while (j < b.size() && IsSpace(b[j])) ++j;
        if (i == a.size() || j == b.size())
            return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
        unsigned char x = static_cast<unsigned char>(AnsiLower(a[i++]));
        unsigned char y = static_cast<unsigned char>(AnsiLower(b[j++]));
        if (x != y) return x < y ? -1 : 1;
    }
}

// The declarations of a style text that are not empty once whitespace is dropped, sorted.
// A style holds a handful of declarations: they are kept on the stack up to a few dozen.
class SortedDeclarations {
public:
    explicit SortedDeclarations(std::string_view styleText) {
        ForEachDeclaration(styleText, [this](std::string_view declaration, bool) {
            if (TrimSpace(declaration).empty()) return;
            if (count_ < inPlace_.size())
                inPlace_[count_] = declaration;
            else
                more_.push_back(declaration);
            ++count_;
        });
        if (count_ > inPlace_.size()) {
            more_.insert(more_.begin(), inPlace_.begin(), inPlace_.end());
        }
        auto less = [](std::string_view a, std::string_view b) {
            return CompareNormalized(a, b) < 0;
        };
        std::sort(Begin(), Begin() + count_, less);
    }

    bool operator==(const SortedDeclarations& other) const {
        if (count_ != other.count_) return false;
        for (size_t i = 0; i < count_; ++i)
            if (CompareNormalized(Begin()[i], other.Begin()[i]) != 0) return false;
        return true;
    }

private:
    std::string_view* Begin() { return count_ > inPlace_.size() ? more_.data() : inPlace_.data(); }
    const std::string_view* Begin() const {
        return count_ > inPlace_.size() ? more_.data() : inPlace_.data();
    }

    std::array<std::string_view, 32> inPlace_;
    std::vector<std::string_view> more_;
    size_t count_ = 0;
};

}  // namespace

std::string_view StyleTextOf(std::string_view value, std::string& decoded) {
    // Most values hold nothing to change: they are looked through at one table lookup a byte.
    static constexpr std::array<bool, 256> kSpecial = [] {
        std::array<bool, 256> special{};
        special['&'] = special['\r'] = special['\n'] = true;
        return special;
    }();
    auto special = [](char c) { return kSpecial[static_cast<unsigned char>(c)]; };
    size_t at = std::find_if(value.begin(), value.end(), special) - value.begin();
    if (at == value.size()) return value;
    decoded.assign(value, 0, at);
    while (at < value.size()) {
        char c = value[at];
        char byte = 0;
        size_t length = c == '&' ? DecodeReference(value.substr(at), byte) : 0;
        if (c == '\r' || c == '\n') {
            decoded += ' ';
            at += c == '\r' && at + 1 < value.size() && value[at + 1] == '\n' ? 2 : 1;
        } else if (length > 0) {
            decoded += byte;
            at += length;
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

bool FitsInOneRule(std::string_view styleText) {
    CssLexer lexer(styleText);
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

std::string InlineDeclarations(std::string_view styleText) {
    std::string declarations;
    declarations.reserve(styleText.size() + 16);
    bool endedOne = false;
    ForEachDeclaration(styleText, [&](std::string_view declaration, bool ended) {
        declarations += declaration;
        // Whitespace after the last ";" does not make one more, empty declaration.
        if (!ended && endedOne && TrimSpace(declaration).empty()) return;
        if (!EndsWithImportant(declaration)) declarations += " !important";
        declarations += ended ? ";\r\n" : ";";
        endedOne = endedOne || ended;
    });
    return declarations;
}

bool SameDeclarationSet(std::string_view a, std::string_view b) {
    return SortedDeclarations(a) == SortedDeclarations(b);
}

bool SameDeclarationsOtherwiseSpaced(std::string_view a, std::string_view b) {
    auto spacingMatters = [](std::string_view text) {
        return text.find('/') != std::string_view::npos ||
               text.find('\\') != std::string_view::npos;
    };
    return CompareNormalized(a, b) == 0 && !spacingMatters(a) && !spacingMatters(b);
}

uint64_t DeclarationSetHash(std::string_view styleText) {
    uint64_t sum = 0;
    ForEachDeclaration(styleText, [&sum](std::string_view declaration, bool) {
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
