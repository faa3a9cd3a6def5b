// The classes of bytes that the engine's readers of HTML and CSS tell apart. Bytes, not
// characters: every byte from 0x80 up is a letter of the page's code page to the readers.
#pragma once

// The whitespace of the engine: space, tab, CR and LF.
constexpr bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A line break inside CSS: it ends a string, as LF, CR and form feed do for browsers.
constexpr bool IsCssLineBreak(char c) { return c == '\n' || c == '\r' || c == '\f'; }

constexpr bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit, -1 for any other byte.
constexpr int HexValue(char c) {
    return IsDigit(c)               ? c - '0'
           : (c >= 'a' && c <= 'f') ? c - 'a' + 10
           : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                    : -1;
}

constexpr bool IsHexDigit(char c) { return HexValue(c) >= 0; }

// What a class name is made of: letters, digits, "-", "_" and every byte from 0x80 up.
constexpr bool IsClassNameByte(char c) {
    return IsAsciiLetter(c) || IsDigit(c) || c == '-' || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// The lower case of an ASCII capital; every other byte as it is.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// The upper case of an ASCII small letter; every other byte as it is.
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
