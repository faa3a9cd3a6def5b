#include "platform/console.h"

namespace {

// Unicode code points of the bytes 0x80-0x9F in Windows-1252; 0 where the byte is unused.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

const char kConsoleLineEnd[] = "\n";

std::string ConsoleText(std::string_view ansiText) {
    std::string utf8;
    utf8.reserve(ansiText.size() + ansiText.size() / 8);
    for (char c : ansiText) {
        unsigned char b = static_cast<unsigned char>(c);
        char32_t code = b;
        if (b >= 0x80 && b < 0xA0)
            code = kHighControls[b - 0x80] ? kHighControls[b - 0x80] : 0xFFFD;
        AppendUtf8(utf8, code);
    }
    return utf8;
}

std::string ConsoleArgument(std::string_view argument) { return std::string(argument); }

// "/?" is a path here.
bool IsPlatformHelpSwitch(std::string_view) { return false; }
