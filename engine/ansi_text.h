// Byte-string helpers for Windows-1252 text, identical on every platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The Windows-1252 lower case of one byte: A-Z, the accented capitals 0xC0-0xDE except the
// multiplication sign 0xD7, and the four capitals of 0x80-0x9F that have a lower-case form.
constexpr char AnsiLower(char c) {
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
        return static_cast<char>(b + 0x20);
    switch (b) {
        case 0x8A: return static_cast<char>(0x9A);
        case 0x8C: return static_cast<char>(0x9C);
        case 0x8E: return static_cast<char>(0x9E);
        case 0x9F: return static_cast<char>(0xFF);
        default: return c;
    }
}

std::string AnsiLowerCopy(std::string_view text);

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
