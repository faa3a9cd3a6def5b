#include "engine/css_closing.h"

#include <vector>

#include "engine/ansi_text.h"

std::string CssClosers(std::string_view css) {
    std::vector<char> open;  // closing characters still expected, innermost last
    bool inComment = false;
    bool pendingPrelude = false;  // text at the top level that no block has taken yet
    char quote = 0;
    for (size_t i = 0; i < css.size(); ++i) {
        char c = css[i];
        if (inComment) {
            if (c == '*' && i + 1 < css.size() && css[i + 1] == '/') {
                inComment = false;
                ++i;
            }
            continue;
        }
        if (quote != 0) {
            if (c == '\\')
                ++i;
            else if (c == quote || c == '\n' || c == '\r')
                quote = 0;  // a line break ends it
            continue;
        }
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            inComment = true;
            ++i;
            continue;
        }
        if (IsSpace(c)) continue;
        if (open.empty()) pendingPrelude = !(c == ';' || c == '}') || pendingPrelude;
        if (c == '\\') {
            ++i;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '{' || c == '[' || c == '(') {
            open.push_back(c == '{' ? '}' : c == '[' ? ']' : ')');
        } else if (!open.empty() && c == open.back()) {
            open.pop_back();
            if (open.empty() && c == '}') pendingPrelude = false;
        } else if (open.empty() && c == ';') {
            pendingPrelude = false;  // the end of a statement such as @import
        }
    }
    std::string closers;
    if (inComment) closers += "*/";
    if (quote != 0) closers += quote;
    bool blockOutermost = !open.empty() && open.front() == '}';
    for (auto closer = open.rbegin(); closer != open.rend(); ++closer) closers += *closer;
    if (pendingPrelude && !blockOutermost) closers += "{}";
    return closers;
}
