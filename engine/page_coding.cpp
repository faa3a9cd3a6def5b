#include "engine/page_coding.h"

#include <algorithm>

#include "engine/ansi_text.h"
#include "engine/page_reader.h"
#include "platform/files.h"

namespace engine {

namespace {

constexpr char kEscape = '\x1B';
constexpr char kHighBit = static_cast<char>(0x80);
static_assert((kEscape | kHighBit) == kMarkedEscape);
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The names of ISO-2022-JP.
bool IsIso2022JpLabel(std::string_view label) {
    return EqualsNoCase(label, "iso-2022-jp") || EqualsNoCase(label, "csiso2022jp");
}

// The length of the escape sequence at `at` (ESC "(" X, ESC "$" X or ESC "$" "(" X), 1 for an
// escape byte that begins none; `toAscii` tells whether it comes back to ASCII (ESC "(" "B" or
// ESC "(" "J", the Roman set whose bytes are ASCII's but for two symbols).
size_t EscapeSequenceAt(std::string_view page, size_t at, bool& toAscii) {
    std::string_view rest = page.substr(at);
    toAscii = rest.size() >= 3 && rest[1] == '(' && (rest[2] == 'B' || rest[2] == 'J');
    if (rest.size() >= 3 && (rest[1] == '(' || rest[1] == '$') && rest[2] != '(') return 3;
    if (rest.size() >= 4 && rest[1] == '$' && rest[2] == '(') return 4;
    return 1;
}

bool HoldsJapaneseEscape(std::string_view page) {
    for (size_t at = page.find(kEscape); at != std::string_view::npos;
         at = page.find(kEscape, at + 1)) {
        bool toAscii = false;
        if (EscapeSequenceAt(page, at, toAscii) > 1 && page[at + 1] == '$') return true;
    }
    return false;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUnit(std::string& out, char32_t unit, bool bigEndian) {
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

// The character that begins at `at` of UTF-8 text (surrogates' values included), and its size;
// a byte that begins none stands for its own value.
char32_t ReadUtf8(std::string_view text, size_t at, size_t& size) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (size == 1 || at + size > text.size()) {
        size = 1;
        return lead;
    }
    char32_t c = lead & (0x3F >> (size - 1));
    for (size_t i = 1; i < size; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            size = 1;
            return lead;
        }
        c = (c << 6) | (next & 0x3F);
    }
    return c;
}

std::string Utf16ToUtf8(std::string_view page, bool bigEndian) {
    auto unitAt = [&](size_t i) -> char32_t {
        unsigned char a = static_cast<unsigned char>(page[2 * i]);
        unsigned char b = static_cast<unsigned char>(page[2 * i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    const size_t units = page.size() / 2;
    std::string text;
    text.reserve(page.size());
    for (size_t i = 0; i < units; ++i) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            char32_t next = unitAt(i + 1);
            if (next >= 0xDC00 && next < 0xE000) {
                AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(text, unit);
    }
    return text;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string page;
    page.reserve(text.size() * 2);
    for (size_t at = 0, size = 0; at < text.size(); at += size) {
        char32_t c = ReadUtf8(text, at, size);
        if (c >= 0x10000) {
            AppendUnit(page, 0xD800 + ((c - 0x10000) >> 10), bigEndian);
            AppendUnit(page, 0xDC00 + ((c - 0x10000) & 0x3FF), bigEndian);
        } else {
            AppendUnit(page, c, bigEndian);
        }
    }
    return page;
}

std::string MarkJapanese(std::string_view page) {
    std::string text(page);
    bool japanese = false;
    for (size_t at = 0; at < text.size();) {
        if (text[at] == kEscape) {
            bool toAscii = false;
            size_t size = EscapeSequenceAt(page, at, toAscii);
            if (size > 1) {
                japanese = !toAscii;
                for (size_t i = at; i < at + size; ++i) text[i] |= kHighBit;
                at += size;
                continue;
            }
        }
        if (japanese) text[at] |= kHighBit;
        ++at;
    }
    return text;
}

}  // namespace

PageCoding PageCodingOf(std::string_view page) {
    if (page.size() % 2 == 0 && page.compare(0, 2, "\xFF\xFE") == 0) return PageCoding::Utf16Le;
    if (page.size() % 2 == 0 && page.compare(0, 2, "\xFE\xFF") == 0) return PageCoding::Utf16Be;
    // Most pages hold no escape byte at all, and are told at once.
    if (page.find(kEscape) == std::string_view::npos ||
        std::any_of(page.begin(), page.end(), [](char c) { return (c & kHighBit) != 0; }))
        return PageCoding::AsIs;
    std::string_view charset = DeclaredCharset(page);
    if (charset.empty() ? HoldsJapaneseEscape(page) : IsIso2022JpLabel(charset))
        return PageCoding::Iso2022Jp;
    return PageCoding::AsIs;
}

std::string ToRunText(std::string_view page, PageCoding coding) {
    switch (coding) {
        case PageCoding::Utf16Le: return Utf16ToUtf8(page, false);
        case PageCoding::Utf16Be: return Utf16ToUtf8(page, true);
        case PageCoding::Iso2022Jp: return MarkJapanese(page);
        case PageCoding::AsIs: break;
    }
    return std::string(page);
}

std::string FromRunText(std::string_view text, PageCoding coding) {
    switch (coding) {
        case PageCoding::Utf16Le: return Utf8ToUtf16(text, false);
        case PageCoding::Utf16Be: return Utf8ToUtf16(text, true);
        case PageCoding::Iso2022Jp: {
            // Every byte of the page is ASCII: those the run marked are unmarked.
            std::string page(text);
            for (char& c : page) c &= ~kHighBit;
            return page;
        }
        case PageCoding::AsIs: break;
    }
    return std::string(text);
}

std::string SheetBytes(std::string sheetText, PageCoding coding) {
    switch (coding) {
        case PageCoding::Utf16Le:
        case PageCoding::Utf16Be: return std::string(kUtf8Mark) + sheetText;
        case PageCoding::Iso2022Jp: return FromRunText(sheetText, coding);
        case PageCoding::AsIs: break;
    }
    return sheetText;
}

bool ReadPageText(const std::string& path, std::string& text, std::string& bytes,
                  PageCoding& coding) {
    if (!platform::ReadWhole(path, text)) return false;
    coding = PageCodingOf(text);
    if (coding != PageCoding::AsIs) {
        bytes = std::move(text);
        text = ToRunText(bytes, coding);
    }
    return true;
}

}  // namespace engine
