#include "engine/unused_cleaning.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/byte_classes.h"
#include "engine/class_names.h"
#include "engine/css_lexer.h"

namespace {

constexpr size_t npos = std::string_view::npos;

// The names a header rule is judged by: the first class of each selector of its group, read
// with the CSS lexer outside brackets, strings and comments (a class inside ":not(.x)" or
// "[title='.x']" does not make the rule depend on it). The rule stays when any of them occurs
// in the page. False when the rule always stays: an at-rule, or a selector that names no class
// outside brackets.
bool TestedNames(std::string_view selector, std::vector<std::string>& names) {
    names.clear();
    if (!selector.empty() && selector[0] == '@') return false;  // at-rules always stay
    bool named = false;  // the current selector of the group has its class
    CssLexer lexer(selector);
    CssToken token;
    while (lexer.Next(token)) {
        if (token.kind != CssPiece::Text || lexer.Depth() != 0) continue;
        std::string_view text = PieceText(selector, token);
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ',') {
                if (!named) return false;
                named = false;
            } else if (text[i] == '.' && !named) {
                std::string_view name = ClassNameAt(text, i + 1);
                if (name.empty()) return false;  // a dot that begins no name
                names.push_back(AsciiLowerName(name));
                named = true;
                i += name.size();
            }
        }
    }
    return named;
}

// The names still sought, in ASCII lower case, with the lengths of those that begin with each
// byte, so that a byte of the page that begins none of them (in either case) costs one look at
// a table.
class SoughtNames {
public:
    explicit SoughtNames(const std::vector<std::string_view>& names) {
        for (int b = 0; b < 256; ++b)
            byteKinds_[b] = IsClassNameByte(static_cast<char>(b)) ? kNameByte : kOther;
        for (std::string_view name : names)
            if (!name.empty() && names_.insert(name).second) Count(name, +1);
    }

    bool Empty() const { return names_.empty(); }

    // Looks for every name still sought that begins at `at` of `token` (in ASCII lower case);
    // those found are sought no more.
    void LookAt(std::string_view token, size_t at, std::unordered_set<std::string_view>& found) {
        auto& lengths = lengthsByFirstByte_[static_cast<unsigned char>(token[at])];
        for (size_t i = 0; i < lengths.size();) {
            size_t length = lengths[i].first;
            auto name =
                at + length <= token.size() ? names_.find(token.substr(at, length)) : names_.end();
            if (name == names_.end()) {
                ++i;
                continue;
            }
            found.insert(*name);
            std::string_view gone = *name;
            names_.erase(name);
            // Other names of the same first byte and length cannot begin here as well.
            if (Count(gone, -1)) ++i;
        }
    }

    // What a byte is to the search: kOther, kNameByte, or kBeginsAName, a name byte that
    // begins a name still sought.
    enum ByteKind : unsigned char { kOther, kNameByte, kBeginsAName };
    ByteKind KindOf(char c) const { return byteKinds_[static_cast<unsigned char>(c)]; }

    // True when a name may begin at `at` of `text`: its byte begins a name still sought, and
    // its first two bytes, in lower case, begin a name sought (a name of one byte aside).
    // Most letters begin some name in one case or the other; few pairs do.
    bool MayBeginAName(std::string_view text, size_t at) const {
        if (KindOf(text[at]) != kBeginsAName) return false;
        unsigned char first = static_cast<unsigned char>(AsciiLower(text[at]));
        if (oneByteNames_[first] > 0) return true;
        if (at + 1 >= text.size()) return false;
        return firstPairs_[first * 256 + static_cast<unsigned char>(AsciiLower(text[at + 1]))] > 0;
    }

private:
    // Adds `step` to the count of names of the first byte and length of `name` (and to that of
    // its first bytes); false when that count drops to zero, which removes its entry.
    bool Count(std::string_view name, int step) {
        unsigned char first = static_cast<unsigned char>(name[0]);
        if (name.size() == 1)
            oneByteNames_[first] += step;
        else
            firstPairs_[first * 256 + static_cast<unsigned char>(name[1])] += step;
        auto& lengths = lengthsByFirstByte_[static_cast<unsigned char>(name[0])];
        for (auto entry = lengths.begin(); entry != lengths.end(); ++entry) {
            if (entry->first != name.size()) continue;
            entry->second += step;
            if (entry->second > 0) return true;
            lengths.erase(entry);
            if (lengths.empty()) {
                byteKinds_[static_cast<unsigned char>(name[0])] = kNameByte;
                byteKinds_[static_cast<unsigned char>(AsciiUpper(name[0]))] = kNameByte;
            }
            return false;
        }
        lengths.emplace_back(name.size(), 1);
        byteKinds_[static_cast<unsigned char>(name[0])] = kBeginsAName;
        byteKinds_[static_cast<unsigned char>(AsciiUpper(name[0]))] = kBeginsAName;
        return true;
    }

    std::unordered_set<std::string_view> names_;
    std::array<std::vector<std::pair<size_t, int>>, 256> lengthsByFirstByte_;
    std::array<ByteKind, 256> byteKinds_{};
    // How many names still sought are of each byte, and begin with each two bytes.
    std::array<int, 256> oneByteNames_{};
    std::vector<int> firstPairs_ = std::vector<int>(256 * 256);
};

// The names among `names` (in ASCII lower case) that occur somewhere in the page in any ASCII
// case, as a page in quirks mode matches class names, found in one pass over its class-name
// tokens (runs of class-name bytes). A name is made of class-name bytes, so each
// of its occurrences lies inside one token; a token is looked through only when one of its
// bytes begins a name still sought, and once, however often the page repeats it.
std::unordered_set<std::string_view> NamesInPage(std::string_view page,
                                                 const std::vector<std::string_view>& names,
                                                 RunProgress& progress) {
    std::unordered_set<std::string_view> found;
    std::unordered_set<std::string_view> tokensLookedThrough;
    std::string lowerToken;
    SoughtNames sought(names);
    for (size_t at = 0; at < page.size(); ++at) {
        if (!sought.MayBeginAName(page, at)) continue;
        size_t start = at;
        while (start > 0 && sought.KindOf(page[start - 1]) != SoughtNames::kOther) --start;
        while (at < page.size() && sought.KindOf(page[at]) != SoughtNames::kOther) ++at;
        std::string_view token = page.substr(start, at - start);
        progress.At(at);
        if (!tokensLookedThrough.insert(token).second) continue;
        lowerToken.assign(token);
        for (char& c : lowerToken) c = AsciiLower(c);
        for (size_t i = 0; i < token.size(); ++i)
            if (sought.MayBeginAName(token, i)) sought.LookAt(lowerToken, i, found);
        if (sought.Empty()) break;
    }
    return found;
}

}  // namespace

void RemoveUnusedRules(RunState& state) {
    std::vector<std::vector<std::string>> rulesNames(state.headerRules.size());
    std::vector<bool> tested(state.headerRules.size());
    std::vector<std::string_view> names;
    for (size_t i = 0; i < state.headerRules.size(); ++i) {
        tested[i] = TestedNames(state.headerRules[i].selector, rulesNames[i]);
        for (const std::string& name : rulesNames[i]) names.push_back(name);
    }
    std::unordered_set<std::string_view> used = NamesInPage(state.pageText, names, state.progress);
    std::vector<bool> keep(state.headerRules.size());
    for (size_t i = 0; i < keep.size(); ++i) {
        keep[i] = !tested[i];
        for (const std::string& name : rulesNames[i]) keep[i] = keep[i] || used.count(name) != 0;
    }

    std::vector<Rule> kept;
    kept.reserve(state.headerRules.size());
    for (size_t i = 0; i < keep.size(); ++i)
        if (keep[i]) kept.push_back(std::move(state.headerRules[i]));
    state.headerRules = std::move(kept);
}
