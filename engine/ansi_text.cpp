#include "engine/ansi_text.h"

#include "engine/byte_classes.h"

std::string AnsiLowerCopy(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AnsiLower(c);
    return lower;
}

size_t FindNoCase(std::string_view text, std::string_view lowerWord, size_t from) {
    if (lowerWord.empty()) return from <= text.size() ? from : std::string_view::npos;
    for (size_t i = from; i + lowerWord.size() <= text.size(); ++i)
        if (AnsiLower(text[i]) == lowerWord[0] && StartsWithNoCase(text.substr(i), lowerWord))
            return i;
    return std::string_view::npos;
}

std::string_view TrimSpaceFront(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    return text.substr(start);
}

std::string_view TrimSpace(std::string_view text) {
    text = TrimSpaceFront(text);
    size_t end = text.size();
    while (end > 0 && IsSpace(text[end - 1])) --end;
    return text.substr(0, end);
}
