#include "bench/page_generator.h"

#include <algorithm>
#include <cctype>
#include <random>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

constexpr size_t kWrapColumn = 76;  // where a word processor breaks its source lines
constexpr size_t kMaxParagraphText = 1500;
constexpr size_t kUsedClasses = 60;
constexpr size_t kUnusedClasses = 100;
constexpr size_t kMaxSharedStyles = 60;
constexpr size_t kListCount = 4;

class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    // Modulo instead of a distribution: the same seed must give the same page everywhere.
    size_t Below(size_t n) { return n == 0 ? 0 : engine_() % n; }
    bool OneIn(size_t n) { return Below(n) == 0; }
    double Unit() { return engine_() / 4294967296.0; }

private:
    std::mt19937 engine_;
};

// The comparison the run uses to find equal styles: case, whitespace and order aside.
std::string StyleKey(std::string_view declarations) {
    std::string key;
    for (char c : declarations) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    std::sort(key.begin(), key.end());
    return key;
}

// Appends to the page as a word processor writes it: long tags and prose broken at spaces.
class PageWriter {
public:
    PageWriter(std::string& out, Random& random) : out_(out), random_(random) {}

    void SetLineEnd(std::string_view lineEnd) { lineEnd_ = lineEnd; }
    std::string_view LineEnd() const { return lineEnd_; }
    size_t Size() const { return out_.size(); }

    void Raw(std::string_view text) {
        out_ += text;
        size_t lastBreak = text.rfind('\n');
        column_ = lastBreak == std::string_view::npos ? column_ + text.size()
                                                      : text.size() - lastBreak - 1;
    }
    void Line(std::string_view text) {
        Raw(text);
        Raw(lineEnd_);
    }
    // Spaces past the wrap column become line ends, inside attribute values too.
    void Wrapped(std::string_view text) {
        for (char c : text) {
            if (c == ' ' && column_ >= kWrapColumn) {
                Raw(lineEnd_);
            } else {
                out_ += c;
                column_ = c == '\n' ? 0 : column_ + 1;
            }
        }
    }
    // Exactly `length` bytes of prose with Windows-1252 accented letters and wrapped lines.
    void Text(size_t length) {
        static const char* const kWords[] = {"the",
                                             "report",
                                             "caf\xE9",
                                             "na\xEFve",
                                             "r\xE9sum\xE9",
                                             "\x93quoted\x94",
                                             "Stra\xDF"
                                             "e",
                                             "d\xE9j\xE0",
                                             "vu",
                                             "\xA7",
                                             "12",
                                             "section",
                                             "\x96",
                                             "fa\xE7"
                                             "ade",
                                             "se\xF1or",
                                             "and",
                                             "\xC9"
                                             "cole",
                                             "of",
                                             "budget",
                                             "for",
                                             "\xBC",
                                             "\xE6on",
                                             "M\xFCller",
                                             "co\xF6perate",
                                             "employees",
                                             "quarterly",
                                             "results",
                                             "\x85",
                                             "pi\xF1"
                                             "ata",
                                             "\xA9",
                                             "Z\xFCrich"};
        constexpr size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);
        size_t written = 0;
        while (written < length) {
            if (written > 0) {
                bool breakLine = column_ >= kWrapColumn && written + lineEnd_.size() < length;
                std::string_view gap = breakLine ? lineEnd_ : std::string_view(" ");
                Raw(gap);
                written += gap.size();
                if (written >= length) break;
            }
            std::string_view word = kWords[random_.Below(kWordCount)];
            word = word.substr(0, length - written);
            Raw(word);
            written += word.size();
        }
    }

private:
    std::string& out_;
    Random& random_;
    std::string_view lineEnd_ = "\r\n";
    size_t column_ = 0;
};

struct HeaderRule {
    std::string selector;
    std::string declarations;  // as written in the block: one declaration a line
};

std::string Length(Random& random) {
    static const char* const kLengths[] = {"0in",   ".25in",  "-.25in", ".5in",    "1.0in", "6.0pt",
                                           "8.0pt", "10.0pt", "12.0pt", ".0001pt", "5.4pt", "0pt"};
    if (random.OneIn(3))
        return std::to_string(random.Below(480)) + "." + std::to_string(random.Below(10)) + "pt";
    return kLengths[random.Below(sizeof(kLengths) / sizeof(kLengths[0]))];
}

std::string Pick(Random& random, std::initializer_list<const char*> choices) {
    return *(choices.begin() + random.Below(choices.size()));
}

std::string Font(Random& random) {
    return Pick(random,
                {"\"Arial\",sans-serif", "\"Times New Roman\",serif", "\"Calibri\",sans-serif",
                 "Symbol", "\"Courier New\"", "\"Cambria\",serif", "Wingdings"});
}

std::string Color(Random& random) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string color = "#";
    for (int i = 0; i < 6; ++i) color += kHex[random.Below(16)];
    return color;
}

// One declaration of the kind word processors put into style attributes.
std::string RandomDeclaration(Random& random) {
    switch (random.Below(16)) {
        case 0:
            return Pick(random,
                        {"margin-top:", "margin-bottom:", "margin-left:", "margin-right:"}) +
                   Length(random);
        case 1:
            return "margin:" + Length(random) + " " + Length(random) + " " + Length(random) + " " +
                   Length(random);
        case 2:
            return Pick(random,
                        {"text-indent:", "line-height:", "width:", "mso-line-height-alt:"}) +
                   Length(random);
        case 3:
            return "font-size:" + std::to_string(6 + random.Below(30)) + "." +
                   std::to_string(random.Below(2) * 5) + "pt";
        case 4:
            return Pick(random,
                        {"font-family:", "mso-fareast-font-family:", "mso-bidi-font-family:",
                         "mso-ascii-font-family:", "mso-hansi-font-family:"}) +
                   Font(random);
        case 5: return Pick(random, {"color:", "background:", "mso-shading:"}) + Color(random);
        case 6:
            return Pick(random,
                        {"mso-ansi-language:", "mso-fareast-language:", "mso-bidi-language:"}) +
                   Pick(random, {"EN-US", "FR", "DE", "ES", "EN-GB", "ZH-CN", "X-NONE"});
        case 7:
            return "mso-list:l" + std::to_string(random.Below(kListCount)) + " level" +
                   std::to_string(1 + random.Below(9)) + " lfo" +
                   std::to_string(1 + random.Below(9));
        case 8:
            return "tab-stops:" + Pick(random, {"list ", "center ", "right ", ""}) + Length(random);
        case 9:
            return Pick(random, {"border:solid windowtext 1.0pt", "border:none", "border-top:none",
                                 "mso-border-alt:solid windowtext .5pt",
                                 "mso-border-top-alt:solid windowtext .5pt"});
        case 10: return "padding:0in " + Length(random) + " 0in " + Length(random);
        case 11:
            return Pick(random, {"text-align:center", "text-align:right", "text-align:justify",
                                 "vertical-align:top"});
        case 12:
            return Pick(random,
                        {"font-weight:bold", "font-style:italic", "text-decoration:underline",
                         "mso-bidi-font-weight:normal", "mso-bidi-font-style:normal"});
        case 13:
            return Pick(random, {"mso-tab-count:", "mso-yfti-irow:", "mso-char-indent-count:"}) +
                   std::to_string(random.Below(40));
        case 14:
            return Pick(random, {"mso-spacerun:yes", "mso-highlight:yellow", "mso-no-proof:yes",
                                 "page-break-before:always"});
        default:
            return "mso-pagination:" +
                   Pick(random, {"none", "widow-orphan", "widow-orphan lines-together"});
    }
}

std::string RandomStyle(Random& random) {
    std::string style;
    size_t count = 1 + random.Below(6);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) style += ';';
        style += RandomDeclaration(random);
    }
    return style;
}

// Header declarations are written one a line, as the word processor lays out its block.
std::string BlockLayout(std::string_view style) {
    std::string out;
    for (char c : style) {
        out += c;
        if (c == ';') out += "\r\n\t";
    }
    return out;
}

std::string Number(size_t n) {
    std::string digits = std::to_string(n);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

void AddGrouped(std::vector<HeaderRule>& rules, std::string_view name, std::string declarations) {
    std::string n(name);
    rules.push_back({"p." + n + ", li." + n + ", div." + n, std::move(declarations)});
}

// The fixed part of a word processor's style block, before the page's own classes.
std::vector<HeaderRule> StandardRules() {
    std::vector<HeaderRule> rules;
    for (const char* font : {"Wingdings", "Cambria Math", "Calibri", "Cambria", "Courier New",
                             "Symbol", "Times New Roman", "Segoe UI"}) {
        rules.push_back(
            {"@font-face", std::string("font-family:\"") + font +
                               "\";\r\n\tpanose-1:2 4 5 3 5 4 6 3 2 4;\r\n\tmso-font-charset:0;"
                               "\r\n\tmso-generic-font-family:roman;\r\n\tmso-font-pitch:variable;"
                               "\r\n\tmso-font-signature:-536869121 1107305727 33554432 0 415 0;"});
    }
    AddGrouped(rules, "MsoNormal",
               "mso-style-unhide:no;\r\n\tmso-style-qformat:yes;\r\n\tmso-style-parent:\"\";"
               "\r\n\tmargin:0in;"
               "\r\n\tmso-pagination:widow-orphan;\r\n\tfont-size:12.0pt;\r\n\tfont-family:\"Times "
               "New Roman\",serif;");
    rules.push_back(
        {"h1",
         "mso-style-priority:9;\r\n\tmso-style-link:\"Heading 1 Char\";\r\n\tfont-size:24.0pt;"});
    rules.push_back({"h2", "mso-style-priority:9;\r\n\tfont-size:18.0pt;\r\n\tcolor:#2F5496;"});
    AddGrouped(rules, "MsoToc1", "mso-style-update:auto;\r\n\tmargin-bottom:5.0pt;");
    AddGrouped(rules, "MsoToc2", "mso-style-update:auto;\r\n\tmargin-left:12.0pt;");
    // Same declarations as a body style, but not a lone class: the run must not reuse it.
    AddGrouped(rules, "MsoQuote", "font-style:italic");
    AddGrouped(rules, "MsoBodyText", "margin-bottom:6.0pt;\r\n\tfont-size:11.0pt;");
    AddGrouped(rules, "MsoListParagraph", "margin-left:.5in;\r\n\tmso-add-space:auto;");
    AddGrouped(rules, "MsoListParagraphCxSpFirst", "margin-left:.5in;\r\n\tmso-add-space:auto;");
    AddGrouped(rules, "MsoListParagraphCxSpLast", "margin-left:.5in;\r\n\tmso-add-space:auto;");
    rules.push_back({"a:link, span.MsoHyperlink",
                     "mso-style-priority:99;\r\n\tcolor:#0563C1;\r\n\ttext-decoration:underline;"});
    rules.push_back(
        {"a:visited, span.MsoHyperlinkFollowed", "color:#954F72;\r\n\ttext-decoration:underline;"});
    rules.push_back(
        {"span.Heading1Char", "mso-style-name:\"Heading 1 Char\";\r\n\tfont-weight:bold;"});
    rules.push_back({"span.SpellE", "mso-style-name:\"\";\r\n\tmso-spl-e:yes;"});
    rules.push_back({"span.GramE", "mso-style-name:\"\";\r\n\tmso-gram-e:yes;"});
    rules.push_back(
        {".MsoChpDefault",
         "mso-style-type:export-only;\r\n\tmso-default-props:yes;\r\n\tfont-size:10.0pt;"});
    rules.push_back(
        {".MsoPapDefault",
         "mso-style-type:export-only;\r\n\tmargin-bottom:8.0pt;\r\n\tline-height:107%;"});
    rules.push_back(
        {"@page WordSection1",
         "size:8.5in 11.0in;\r\n\tmargin:1.0in 1.0in 1.0in 1.0in;"
         "\r\n\tmso-header-margin:.5in;\r\n\tmso-footer-margin:.5in;\r\n\tmso-paper-source:0;"});
    rules.push_back({"div.WordSection1", "page:WordSection1;"});
    for (size_t list = 0; list < kListCount; ++list) {
        std::string name = "@list l" + std::to_string(list);
        rules.push_back(
            {name, "mso-list-id:" + std::to_string(1000000 + list * 7919) +
                       ";\r\n\tmso-list-type:hybrid;\r\n\tmso-list-template-ids:-1 67698689;"});
        for (int level = 1; level <= 9; ++level) {
            rules.push_back({name + ":level" + std::to_string(level),
                             "mso-level-number-format:bullet;\r\n\tmso-level-text:\xB7;\r\n\tmso-"
                             "level-tab-stop:" +
                                 std::to_string(level) +
                                 ".0in;\r\n\tmso-level-number-position:left;"
                                 "\r\n\ttext-indent:-.25in;\r\n\tfont-family:Symbol;"});
        }
    }
    rules.push_back({"ol", "margin-bottom:0in;"});
    rules.push_back({"ul", "margin-bottom:0in;"});
    return rules;
}

// Which styles the page uses, in which order, and what a run must make of them.
class StyleCatalogue {
public:
    // `variant`, when given, draws every other style that no header rule shares.
    StyleCatalogue(const PageShape& shape, std::vector<HeaderRule>& rules, Random& random,
                   Random* variant = nullptr)
        : attributes_(shape.styleAttributes),
          distinct_(std::min(shape.distinctStyles, shape.styleAttributes)),
          random_(random) {
        if (attributes_ > 0 && distinct_ == 0) distinct_ = 1;
        std::unordered_set<std::string> taken;
        for (const HeaderRule& rule : rules) taken.insert(StyleKey(rule.declarations));
        size_t shared = distinct_ >= 40 ? std::min(distinct_ / 20, kMaxSharedStyles) : 0;
        size_t stride = shared > 0 ? (distinct_ - 2) / shared : 0;
        for (size_t id = 0; id < distinct_; ++id) {
            std::string style;
            bool isShared =
                stride > 0 && id >= 2 && (id - 2) % stride == 0 && (id - 2) / stride < shared;
            Random& source = variant != nullptr && !isShared && id % 2 == 1 ? *variant : random_;
            if (id == 0) {
                style = "tab-interval:.5in";  // the body tag's own style
            } else if (id == 1) {
                style = "font-style:italic";  // equals p.MsoQuote, which is not a lone class
            } else {
                do style = RandomStyle(source);
                while (taken.count(StyleKey(style)) > 0);
            }
            taken.insert(StyleKey(style));
            if (isShared) {
                rules.push_back({".SharedStyle" + Number(id), BlockLayout(style)});
                ++reused_;
            }
            styles_.push_back(std::move(style));
            shared_.push_back(isShared);
        }
    }

    bool Exhausted() const { return used_ >= attributes_; }
    size_t Used() const { return used_; }

    // The next style attribute, quoted, with its text sometimes spaced or cased differently.
    std::string NextAttribute() {
        size_t id = NextId();
        ++used_;
        if (!shared_[id]) ++inlineReferences_;
        std::string value = styles_[id];
        if (random_.OneIn(8)) {
            std::string spaced;
            for (char c : value) spaced += c == ':' ? std::string(": ") : std::string(1, c);
            value = spaced;
        }
        char quote = value.find('\'') == std::string::npos ? '\'' : '"';
        if (random_.OneIn(10) && value.find('"') == std::string::npos) quote = '"';
        std::string name = random_.OneIn(50) ? "STYLE=" : "style=";
        return name + quote + value + quote;
    }

    void Report(GeneratedPage& page) const {
        page.styleAttributes = used_;
        page.distinctStyles = introduced_;
        page.reusedStyles = reused_;
        page.inlineClasses = introduced_ - reused_;
        page.inlineReferences = inlineReferences_;
    }

private:
    // Each distinct style first appears at a random point; repeats favour the common styles.
    size_t NextId() {
        size_t remaining = attributes_ - used_;
        size_t newOnes = distinct_ - introduced_;
        if (introduced_ == 0 || (newOnes > 0 && random_.Below(remaining) < newOnes))
            return introduced_++;
        double skew = random_.Unit();
        return std::min(introduced_ - 1, static_cast<size_t>(skew * skew * introduced_));
    }

    size_t attributes_;
    size_t distinct_;
    Random& random_;
    std::vector<std::string> styles_;
    std::vector<bool> shared_;
    size_t used_ = 0;
    size_t introduced_ = 0;
    size_t reused_ = 0;
    size_t inlineReferences_ = 0;
};

void WriteHead(PageWriter& out, const std::vector<HeaderRule>& rules) {
    out.Line("<html xmlns:v=\"urn:schemas-microsoft-com:vml\"");
    out.Line("xmlns:o=\"urn:schemas-microsoft-com:office:office\"");
    out.Line("xmlns:w=\"urn:schemas-microsoft-com:office:word\"");
    out.Line("xmlns=\"http://www.w3.org/TR/REC-html40\">");
    out.Line("");
    out.Line("<head>");
    out.Line("<meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\">");
    out.Line("<title>Quarterly r\xE9sum\xE9</title>");
    out.Line("<!--[if gte mso 9]><xml>");
    out.Line(" <o:DocumentProperties>");
    out.Line("  <o:Author>Benchmark</o:Author>");
    out.Line(" </o:DocumentProperties>");
    out.Line("</xml><![endif]-->");
    out.Line("<style>");
    out.Line("<!--");
    out.Line(" /* Font Definitions */");
    for (const HeaderRule& rule : rules) {
        if (rule.selector == "p.MsoNormal, li.MsoNormal, div.MsoNormal")
            out.Line(" /* Style Definitions */");
        out.Line(" " + rule.selector);
        out.Line("\t{" + rule.declarations + "}");
    }
    out.Line("-->");
    out.Line("</style>");
    out.Line("<!--[if gte mso 10]>");
    out.Line("<style>");
    out.Line(" /* Style Definitions */");
    out.Line(" table.MsoNormalTable");
    out.Line("\t{mso-style-name:\"Table Normal\";");
    out.Line("\tmso-tstyle-rowband-size:0;}");
    out.Line("</style>");
    out.Line("<![endif]-->");
    out.Line("</head>");
    out.Line("");
}

std::string UsedClass(Random& random) {
    if (random.OneIn(3)) return "UsedStyle" + Number(random.Below(kUsedClasses));
    return Pick(random, {"MsoNormal", "MsoNormal", "MsoBodyText", "MsoListParagraphCxSpFirst",
                         "MsoToc1", "MsoQuote"});
}

// Where the page should stand once a number of style attributes are written, so they spread
// evenly over the body.
struct Schedule {
    size_t bodyStart = 0;
    double bytesPerStyle = 0;
    size_t Target(size_t stylesUsed) const {
        return bodyStart + static_cast<size_t>(bytesPerStyle * stylesUsed);
    }
};

// A space and the next style attribute, or nothing once they are all written.
std::string OptionalAttribute(StyleCatalogue& styles) {
    return styles.Exhausted() ? std::string() : " " + styles.NextAttribute();
}

// Writes prose, then the closing markup, so the page ends up near `target` bytes.
void TextUpTo(PageWriter& out, size_t target, size_t closingSize, size_t minimum) {
    size_t here = out.Size() + closingSize;
    out.Text(std::min(kMaxParagraphText, std::max(minimum, target > here ? target - here : 0)));
}

void Paragraph(PageWriter& out, Random& random, StyleCatalogue& styles, const Schedule& schedule) {
    out.Wrapped("<p class=" + UsedClass(random) + " " + styles.NextAttribute() + ">");
    size_t spans = styles.Exhausted() ? 0 : random.Below(3);
    std::string closing;
    for (size_t i = 0; i < spans && !styles.Exhausted(); ++i) {
        std::string lang =
            random.OneIn(2) ? std::string(" lang=") + Pick(random, {"FR", "EN-GB", "DE", "X-NONE"})
                            : "";
        out.Wrapped("<span" + lang + " " + styles.NextAttribute() + ">");
        out.Text(3 + random.Below(30));
        if (random.OneIn(4)) out.Wrapped("<span class=SpellE>Wrd</span>");
        closing += "</span>";
    }
    closing += "<o:p></o:p></p>";
    TextUpTo(out, schedule.Target(styles.Used()), closing.size() + out.LineEnd().size(), 10);
    out.Raw(closing);
    out.Raw(out.LineEnd());
}

void ListItem(PageWriter& out, StyleCatalogue& styles, const Schedule& schedule) {
    out.Wrapped("<p class=MsoListParagraphCxSpFirst " + styles.NextAttribute() + ">");
    out.Raw("<![if !supportLists]>");
    out.Wrapped("<span" + OptionalAttribute(styles) + "><span" + OptionalAttribute(styles) +
                ">\xB7<span");
    out.Raw(out.LineEnd());
    out.Wrapped(OptionalAttribute(styles) + ">&nbsp;&nbsp;&nbsp; </span></span></span><![endif]>");
    std::string closing = "<o:p></o:p></p>";
    TextUpTo(out, schedule.Target(styles.Used()), closing.size() + out.LineEnd().size(), 10);
    out.Raw(closing);
    out.Raw(out.LineEnd());
}

void Table(PageWriter& out, Random& random, StyleCatalogue& styles, const Schedule& schedule) {
    out.Wrapped("<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0 " +
                styles.NextAttribute() + ">");
    out.Raw(out.LineEnd());
    size_t rows = 2 + random.Below(4);
    size_t columns = 2 + random.Below(3);
    for (size_t row = 0; row < rows && !styles.Exhausted(); ++row) {
        out.Wrapped(" <tr " + styles.NextAttribute() + ">");
        out.Raw(out.LineEnd());
        for (size_t column = 0; column < columns && !styles.Exhausted(); ++column) {
            out.Wrapped("  <td width=" + std::to_string(100 + random.Below(300)) + " valign=top " +
                        styles.NextAttribute() + ">");
            out.Raw(out.LineEnd());
            std::string paragraphStyle = random.OneIn(2) ? "" : OptionalAttribute(styles);
            out.Wrapped("  <p class=MsoNormal" + paragraphStyle + "><span lang=EN-GB>");
            out.Text(4 + random.Below(40));
            out.Raw("<o:p></o:p></span></p>");
            out.Raw(out.LineEnd());
            out.Line("  </td>");
        }
        out.Line(" </tr>");
    }
    out.Line("</table>");
    std::string closing = "<o:p></o:p></p>";
    out.Wrapped("<p class=MsoNormal>");
    TextUpTo(out, schedule.Target(styles.Used()), closing.size() + out.LineEnd().size(), 1);
    out.Raw(closing);
    out.Raw(out.LineEnd());
}

// A field code: its style= texts are inside a comment and must be left alone.
void FieldComment(PageWriter& out, GeneratedPage& page) {
    out.Raw(
        "<p class=MsoToc1><!--[if supportFields]><span "
        "style='mso-element:field-begin'></span><span");
    out.Raw(out.LineEnd());
    out.Raw("style='mso-spacerun:yes'>\xA0</span>TOC \\o &quot;1-3&quot; \\h \\z \\u <span");
    out.Raw(out.LineEnd());
    out.Raw("style='mso-element:field-separator'></span><![endif]-->Contents<o:p></o:p></p>");
    out.Raw(out.LineEnd());
    page.commentedStyles += 3;
}

void PlainParagraph(PageWriter& out, size_t textLength) {
    out.Raw("<p class=MsoNormal>");
    out.Text(textLength);
    out.Raw("<o:p></o:p></p>");
    out.Raw(out.LineEnd());
}

constexpr size_t kPlainParagraphMarkup =
    sizeof("<p class=MsoNormal>") - 1 + sizeof("<o:p></o:p></p>") - 1;

// Fills the page with unstyled paragraphs until it holds `target` bytes, exactly when it can.
void FillTo(PageWriter& out, size_t target) {
    while (out.Size() < target) {
        size_t room = target - out.Size();
        size_t overhead = kPlainParagraphMarkup + out.LineEnd().size();
        if (room <= overhead) {
            out.Raw(std::string(room, ' '));
            return;
        }
        size_t text = room - overhead;
        PlainParagraph(out, text > 2 * kMaxParagraphText ? kMaxParagraphText : text);
    }
}

}  // namespace

GeneratedPage GeneratePage(const PageShape& shape) {
    GeneratedPage page;
    Random random(shape.seed);
    std::vector<HeaderRule> rules = StandardRules();
    for (size_t i = 0; i < kUsedClasses; ++i) {
        AddGrouped(rules, "UsedStyle" + Number(i), BlockLayout(RandomStyle(random) + ";"));
    }
    for (size_t i = 0; i < kUnusedClasses; ++i) {
        if (i % 4 == 3) {
            rules.push_back(
                {"span.UnusedRule" + Number(i) + "Char", BlockLayout(RandomStyle(random) + ";")});
        } else {
            AddGrouped(rules, "UnusedRule" + Number(i), BlockLayout(RandomStyle(random) + ";"));
        }
        ++page.unusedHeaderRules;
    }
    Random variant(shape.variantSeed);
    StyleCatalogue styles(shape, rules, random, shape.variantSeed != 0 ? &variant : nullptr);
    if (shape.variantSeed != 0) random = variant;
    page.headerRules = rules.size();

    page.text.reserve(shape.sizeBytes + 4096);
    PageWriter out(page.text, random);
    WriteHead(out, rules);
    std::string body = "<body lang=EN-US link=\"#0563C1\" vlink=\"#954F72\"";
    if (!styles.Exhausted()) body += " " + styles.NextAttribute();
    out.Wrapped(body + ">");
    out.Raw(out.LineEnd());
    out.Line("");
    out.Line("<div class=WordSection1>");
    out.Line("");

    std::string footer = "\r\n</div>\r\n\r\n</body>\r\n\r\n</html>\r\n";
    size_t bodyStart = out.Size();
    size_t bodyEnd =
        std::max(bodyStart, shape.sizeBytes > footer.size() ? shape.sizeBytes - footer.size() : 0);
    Schedule schedule;
    schedule.bodyStart = bodyStart;
    if (shape.styleAttributes > 0) {
        // Stop the styled blocks a little early: the last ones may overrun, plain text fills up.
        size_t slack = std::min<size_t>((bodyEnd - bodyStart) / 50, 8192);
        schedule.bytesPerStyle =
            static_cast<double>(bodyEnd - bodyStart - slack) / shape.styleAttributes;
    }
    while (!styles.Exhausted()) {
        // Some blocks use bare LF, as pages edited after export do.
        out.SetLineEnd(random.OneIn(20) ? "\n" : "\r\n");
        size_t due = schedule.Target(styles.Used());
        if (due > out.Size() + kMaxParagraphText) FillTo(out, due - kMaxParagraphText / 2);
        if (random.OneIn(40)) FieldComment(out, page);
        size_t kind = random.Below(10);
        if (kind < 6) {
            Paragraph(out, random, styles, schedule);
        } else if (kind < 8) {
            ListItem(out, styles, schedule);
        } else {
            Table(out, random, styles, schedule);
        }
    }
    out.SetLineEnd("\r\n");
    FillTo(out, bodyEnd);
    out.Raw(footer);
    styles.Report(page);
    return page;
}
