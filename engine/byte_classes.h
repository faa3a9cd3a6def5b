// The classes of bytes that the engine's readers of HTML and CSS tell apart. Bytes, not
// characters: every byte from 0x80 up is a letter of the page's code page to the readers.
#pragma once

#include <cstddef>
#include <string_view>

namespace engine {

// Where a search of a text finds nothing.
constexpr size_t npos = std::string_view::npos;

// The whitespace of the engine: space, tab, CR and LF.
constexpr bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The whitespace of a browser's reader of tags: the engine's and form feed. It parts a tag's
// name from its attributes, the attributes from each other, ends an unquoted value and an end
// tag's name.
constexpr bool IsTagSpace(char c) { return IsSpace(c) || c == '\f'; }

// The whitespace of CSS as browsers read it: the engine's and form feed. It parts the words of
// selectors and values, and "!" from "important".
constexpr bool IsCssSpace(char c) { return IsSpace(c) || c == '\f'; }

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

// The code page a page declares, as far as the readers of CSS care: in the double-byte code
// pages a lead byte and a trail byte after it make one character, and a trail byte may be any
// of "@[\]^_`{|}~" or a letter. The readers step over such a character whole, so that its
// trail byte is never taken for a brace or a backslash. A lead byte followed by no trail byte
// is a character of its own, and the byte after it stands for itself, as browsers decode it.
// Every other code page (UTF-8 among them) writes ASCII bytes only as themselves.
enum class Encoding : unsigned char { SingleByte, ShiftJis, Gbk, Big5 };

constexpr bool IsLeadByte(Encoding encoding, char c) {
    unsigned char b = static_cast<unsigned char>(c);
    switch (encoding) {
        case Encoding::ShiftJis: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        case Encoding::Gbk:  // GB18030's four-byte characters are two such pairs
        case Encoding::Big5: return b >= 0x81 && b <= 0xFE;
        case Encoding::SingleByte: break;
    }
    return false;
}

constexpr bool IsTrailByte(Encoding encoding, char c) {
    unsigned char b = static_cast<unsigned char>(c);
    bool common = b >= 0x40 && b <= 0x7E;
    switch (encoding) {
        case Encoding::ShiftJis: return common || (b >= 0x80 && b <= 0xFC);
        case Encoding::Gbk: return common || (b >= 0x80 && b <= 0xFE) || IsDigit(c);  // GB18030
        case Encoding::Big5: return common || (b >= 0xA1 && b <= 0xFE);
        case Encoding::SingleByte: break;
    }
    return false;
}

// The number of bytes of the character that begins at `at`: 2 for a lead byte followed by a
// trail byte, else 1.
constexpr size_t CharacterSize(std::string_view text, size_t at, Encoding encoding) {
    return IsLeadByte(encoding, text[at]) && at + 1 < text.size() &&
                   IsTrailByte(encoding, text[at + 1])
               ? 2
               : 1;
}

// The position of the first character `c` (an ASCII byte) of `text`, which begins at a
// character; npos when there is none.
constexpr size_t FindCharacter(std::string_view text, char c, Encoding encoding) {
    if (encoding == Encoding::SingleByte) return text.find(c);
    for (size_t at = 0; at < text.size(); at += CharacterSize(text, at, encoding))
        if (text[at] == c) return at;
    return std::string_view::npos;
}

// The number of characters `c` (an ASCII byte) in `text`, which begins at a character.
constexpr size_t CountCharacter(std::string_view text, char c, Encoding encoding) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); at += CharacterSize(text, at, encoding))
        count += text[at] == c ? 1 : 0;
    return count;
}

}  // namespace engine
