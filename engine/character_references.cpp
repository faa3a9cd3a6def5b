#include "engine/character_references.h"

#include <algorithm>

#include "engine/byte_classes.h"

namespace engine {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// What browsers make of the numbers 0x80 to 0x9F: the Windows-1252 character of that byte; 0
// where it has none, and the number stands for itself.
constexpr char32_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsAsciiAlphanumeric(char c) { return IsAsciiLetter(c) || IsDigit(c); }

const NamedCharacterReference* FindNamed(std::string_view name) {
    const NamedCharacterReference* end = kNamedCharacterReferences + kNamedCharacterReferenceCount;
    const NamedCharacterReference* found =
        std::lower_bound(kNamedCharacterReferences, end, name,
                         [](const NamedCharacterReference& entry, std::string_view key) {
                             return entry.name < key;
                         });
    return found != end && found->name == name ? found : nullptr;
}

size_t ReadNumeric(std::string_view text, char32_t& first) {
    bool hex = text.size() > 2 && (text[2] == 'x' || text[2] == 'X');
    size_t at = hex ? 3 : 2;
    size_t digitsStart = at;
    char32_t value = 0;
    for (; at < text.size() && (hex ? IsHexDigit(text[at]) : IsDigit(text[at])); ++at)
        value = std::min<char32_t>(value * (hex ? 16 : 10) + HexValue(text[at]), 0x110000);
    if (at == digitsStart) return 0;
    if (at < text.size() && text[at] == ';') ++at;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = kReplacement;
    else if (value >= 0x80 && value <= 0x9F && kWindows1252[value - 0x80] != 0)
        value = kWindows1252[value - 0x80];
    first = value;
    return at;
}

}  // namespace

size_t ReadCharacterReference(std::string_view text, char32_t& first, char32_t& second) {
    second = 0;
    if (text.size() < 2 || text[0] != '&') return 0;
    if (text[1] == '#') return ReadNumeric(text, first);
    size_t end = 1;
    while (end < text.size() && IsAsciiAlphanumeric(text[end])) ++end;
    // In an attribute value, a name counts only as a whole: a shorter name that a letter or a
    // digit follows does not ("&notit;" stays). The longest name has 31 letters and digits.
    if (end == 1 || end > 32) return 0;
    bool semicolon = end < text.size() && text[end] == ';';
    if (!semicolon && end < text.size() && text[end] == '=') return 0;
    const NamedCharacterReference* found = FindNamed(text.substr(1, end - 1 + semicolon));
    if (found == nullptr) return 0;
    first = found->first;
    second = found->second;
    return end + semicolon;
}

}  // namespace engine
