#include "engine/inline_declarations.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/ansi_text.h"

namespace {

struct NamedReference {
    std::string_view lowerName;
    char byte;
};

constexpr NamedReference kNamedReferences[] = {
    {"quot", '"'}, {"apos", '\''}, {"amp", '&'}, {"lt", '<'}, {"gt", '>'}};

bool IsDigit(char c, bool hex) {
    return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
}

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
        for (char c : digits)
            if (!IsDigit(c, hex)) return 0;
        long value = std::strtol(std::string(digits).c_str(), nullptr, hex ? 16 : 10);
        if (value <= 0 || value > 255) return 0;  // a NUL byte has no place in a style sheet
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

// Walks a CSS text, telling where a byte stands: in a string, a comment or parentheses.
struct CssScan {
    char quote = 0;
    bool inComment = false;
    int depth = 0;
    bool strayBrace = false;

    // Takes the byte at text[i]; returns how many bytes it consumed (escapes take two).
    size_t Step(std::string_view text, size_t i) {
        char c = text[i];
        if (inComment) {
            if (c == '*' && i + 1 < text.size() && text[i + 1] == '/') {
                inComment = false;
                return 2;
            }
            return 1;
        }
        if (c == '\\') return i + 1 < text.size() ? 2 : 1;
        if (quote != 0) {
            if (c == quote) quote = 0;
            return 1;
        }
        if (c == '"' || c == '\'')
            quote = c;
        else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            inComment = true;
            return 2;
        } else if (c == '(')
            ++depth;
        else if (c == ')')
            depth = depth > 0 ? depth - 1 : -1;
        else if (c == '{' || c == '}')
            strayBrace = true;
        return 1;
    }

    bool AtTopLevel() const { return quote == 0 && !inComment && depth == 0; }
};

}  // namespace

std::string StyleTextOf(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
            text += ' ';
            continue;
        }
        char decoded;
        size_t length = c == '&' ? DecodeReference(value.substr(i), decoded) : 0;
        if (length > 0) {
            text += decoded;
            i += length - 1;
        } else {
            text += c;
        }
    }
    return text;
}

bool FitsInOneRule(std::string_view styleText) {
    CssScan scan;
    for (size_t i = 0; i < styleText.size() && !scan.strayBrace && scan.depth >= 0;)
        i += scan.Step(styleText, i);
    return !scan.strayBrace && scan.AtTopLevel();
}

std::string InlineDeclarations(std::string_view styleText) {
    std::string declarations;
    declarations.reserve(styleText.size() + 16);
    CssScan scan;
    size_t start = 0;
    bool endedOne = false;
    for (size_t i = 0; i < styleText.size();) {
        if (styleText[i] == ';' && scan.AtTopLevel()) {
            std::string_view declaration = styleText.substr(start, i - start);
            declarations += declaration;
            if (!EndsWithImportant(declaration)) declarations += " !important";
            declarations += ";\r\n";
            start = i + 1;
            endedOne = true;
            ++i;
            continue;
        }
        i += scan.Step(styleText, i);
    }
    std::string_view rest = styleText.substr(start);
    declarations += rest;
    // Whitespace after the last ";" does not make one more, empty declaration.
    if (endedOne && TrimSpace(rest).empty()) return declarations;
    if (!EndsWithImportant(rest)) declarations += " !important";
    declarations += ';';
    return declarations;
}

std::string DeclarationSet(std::string_view styleText) {
    std::vector<std::string> declarations(1);
    CssScan scan;
    for (size_t i = 0; i < styleText.size();) {
        if (styleText[i] == ';' && scan.AtTopLevel()) {
            declarations.emplace_back();
            ++i;
            continue;
        }
        size_t step = scan.Step(styleText, i);
        for (size_t j = i; j < i + step && j < styleText.size(); ++j)
            if (!IsSpace(styleText[j])) declarations.back() += AnsiLower(styleText[j]);
        i += step;
    }
    declarations.erase(std::remove(declarations.begin(), declarations.end(), std::string()),
                       declarations.end());
    std::sort(declarations.begin(), declarations.end());
    std::string set;
    for (const std::string& declaration : declarations) {
        set += declaration;
        set += ';';
    }
    return set;
}
