// Byte-string helpers for Windows-1252 text, identical on every platform.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace engine {

// The Windows-1252 lower case of each byte: A-Z, the accented capitals 0xC0-0xDE except the
// multiplication sign 0xD7, and the four capitals of 0x80-0x9F that have a lower-case form.
constexpr std::array<char, 256> MakeAnsiLowerTable() {
    std::array<char, 256> lower{};
    for (int b = 0; b < 256; ++b) {
        int to = b;
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) to = b + 0x20;
        if (b == 0x8A || b == 0x8C || b == 0x8E) to = b + 0x10;
        if (b == 0x9F) to = 0xFF;
        lower[b] = static_cast<char>(to);
    }
    return lower;
}

inline constexpr std::array<char, 256> kAnsiLowerTable = MakeAnsiLowerTable();

// Lower-cases one byte; a table, since every comparison of names and keys goes through it.
constexpr char AnsiLower(char c) { return kAnsiLowerTable[static_cast<unsigned char>(c)]; }

// True when `text` starts with `lowerWord` (given in lower case) ignoring case.
constexpr bool StartsWithNoCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() < lowerWord.size()) return false;
    for (size_t i = 0; i < lowerWord.size(); ++i)
        if (AnsiLower(text[i]) != lowerWord[i]) return false;
    return true;
}

// True when `text` equals `lowerWord` (given in lower case) ignoring case.
constexpr bool EqualsNoCase(std::string_view text, std::string_view lowerWord) {
    return text.size() == lowerWord.size() && StartsWithNoCase(text, lowerWord);
}

// Position of the first `lowerWord` (given in lower case) in `text` at or after `from`,
// ignoring case; npos when there is none.
size_t FindNoCase(std::string_view text, std::string_view lowerWord, size_t from = 0);

// `text` without the whitespace at its ends.
std::string_view TrimSpace(std::string_view text);
std::string_view TrimSpaceFront(std::string_view text);

}  // namespace engine
