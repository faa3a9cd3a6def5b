// The one reader of a page's markup: what is markup, where each piece ends, and the
// attributes of start tags.
#include "engine/page_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace engine {

namespace {

std::string AttributesText(const std::vector<Attribute>& attributes) {
    std::string text;
    for (const Attribute& attribute : attributes) {
        text += text.empty() ? "" : ",";
        text += attribute.name;
        if (!attribute.hasValue) continue;
        text += '=';
        if (attribute.quote != 0) text += attribute.quote;
        text += attribute.value;
        if (attribute.unclosed) text += '!';
    }
    return text;
}

// The markup of `page`, one entry per piece separated by " ": "<" and the kind (s start tag,
// e end tag, c comment, d declaration), the name of a tag, its attributes in brackets ("!"
// after an unclosed value, "/" after a self-closing tag), then "@begin-end".
std::string Markups(std::string_view page) {
    PageReader reader = MakePageReader(page);
    Markup markup;
    std::string text;
    while (NextMarkup(reader, markup)) {
        text += text.empty() ? "<" : " <";
        text += "secd"[static_cast<int>(markup.kind)];
        text += markup.name;
        if (markup.kind == MarkupKind::StartTag)
            text += "[" + AttributesText(AllAttributes(markup)) + (markup.selfClosing ? "/]" : "]");
        text += "@" + std::to_string(markup.begin) + "-" + std::to_string(markup.end);
    }
    return text;
}

struct ReadCase {
    std::string page;
    std::string markups;
};

class PageReaderTest : public testing::TestWithParam<ReadCase> {};

TEST_P(PageReaderTest, ReadsTheMarkupOfThePage) {
    EXPECT_EQ(Markups(GetParam().page), GetParam().markups);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PageReaderTest,
    testing::Values(ReadCase{"", ""}, ReadCase{"text only", ""},
                    ReadCase{"<!DOCTYPE html><?xml x?><!-- a > b --></P>",
                             "<d@0-15 <d@15-24 <c@24-38 <eP@38-42"},
                    ReadCase{"a < b <3 </ x> <!-- open", "<c@15-24"},
                    ReadCase{"<![if !supportLists]>x<![endif]>", "<d@0-21 <d@22-32"},
                    // A tag the page ends inside is no tag, and nothing follows it.
                    ReadCase{"<p>x<p class=a", "<sp[]@0-3"}));

INSTANTIATE_TEST_SUITE_P(
    Attributes, PageReaderTest,
    testing::Values(
        ReadCase{"<p a=1 b='2 3' c=\"4'\" d>", "<sp[a=1,b='2 3,c=\"4',d]@0-24"},
        ReadCase{"<p\r\nA = x\tB\n=\n\"y\">", "<sp[A=x,B=\"y]@0-18"},
        ReadCase{"<p a= b=c>", "<sp[a=b=c]@0-10"}, ReadCase{"<p a=>", "<sp[a=]@0-6"},
        ReadCase{"<p =a =b c>", "<sp[=a=b,c]@0-11"},
        ReadCase{"<p a=\"x\"b=y>", "<sp[a=\"x,b=y]@0-12"},
        // "/" separates attributes; one in the last separator makes the tag self-closing.
        ReadCase{"<br/><img src=a.png/><img src=\"a\" / ><p a/b>",
                 "<sbr[/]@0-5 <simg[src=a.png/]@5-21 <simg[src=\"a/]@21-37 <sp[a,b]@37-44"},
        // A quoted value that never closes ends the tag at its first ">", and nothing after
        // it is markup: for a browser the value runs to the end of the page.
        ReadCase{"<p title=\"x>y</p><b>", "<sp[title=\"x!]@0-12"},
        ReadCase{"<p a='x>y<b>", "<sp[a='x!]@0-8"}));

// A form feed is whitespace inside a tag, as space, tab, CR and LF are.
INSTANTIATE_TEST_SUITE_P(
    FormFeeds, PageReaderTest,
    testing::Values(ReadCase{"<p\fclass=note style=x>", "<sp[class=note,style=x]@0-22"},
                    ReadCase{"<p style=\"c\"\fclass=n>", "<sp[style=\"c,class=n]@0-21"},
                    ReadCase{"<p lang=fr\fid\f=\f'b'>", "<sp[lang=fr,id='b]@0-20"},
                    ReadCase{"<style>p{}</style\f><p>",
                             "<sstyle[]@0-7 <estyle@10-19 <sp[]@19-22"}));

// The contents of the raw-text elements are text up to their end tag: "</", the name in any
// case, then whitespace, "/", ">" or the end of the page; those of plaintext run to the end.
INSTANTIATE_TEST_SUITE_P(
    RawText, PageReaderTest,
    testing::Values(ReadCase{"<script>a<b>'</scripts></SCRIPT ><p>",
                             "<sscript[]@0-8 <eSCRIPT@23-33 <sp[]@33-36"},
                    ReadCase{"<STYLE>p{}</style/x><p>", "<sSTYLE[]@0-7 <estyle@10-20 <sp[]@20-23"},
                    ReadCase{"<title><b></title><textarea><i></textarea>",
                             "<stitle[]@0-7 <etitle@10-18 <stextarea[]@18-28 <etextarea@31-42"},
                    ReadCase{"<style>never closed <body>", "<sstyle[]@0-7"},
                    ReadCase{"<style>p{}</style", "<sstyle[]@0-7 <estyle@10-17"},
                    ReadCase{"<xmp><b></xmp>", "<sxmp[]@0-5 <exmp@8-14"},
                    ReadCase{"<IFRAME><b></iframe><noembed><b></noembed>",
                             "<sIFRAME[]@0-8 <eiframe@11-20 <snoembed[]@20-29 <enoembed@32-42"},
                    ReadCase{"<noframes><b></noframes><noscript/><style></noscript>",
                             "<snoframes[]@0-10 <enoframes@13-24 <snoscript[/]@24-35 "
                             "<enoscript@42-53"},
                    ReadCase{"<plaintext><b></plaintext><p>", "<splaintext[]@0-11"}));

// A tag knows its kind from its name in any case, start and end tags alike; a name that only
// differs from a known one by a letter or by its length is of none, and so is other markup.
TEST(TagKindOf, IsReadWithTheTagName) {
    PageReader reader = MakePageReader(
        "<HTML><hTad><hemL><Head></head ><bodY><baSE/><bose><body2><bod><link><META><Style></STYLE>"
        "<template></TEMPLATE><script></script><scripts><xmp></xmp><!--body--><!DOCTYPE html>");
    std::vector<TagKind> kinds;
    Markup markup;
    while (NextMarkup(reader, markup)) kinds.push_back(markup.tag);
    using K = TagKind;
    EXPECT_EQ(kinds, (std::vector<TagKind>{K::Html,     K::Other,  K::Other,  K::Head,  K::Head,
                                           K::Body,     K::Base,   K::Other,  K::Other, K::Other,
                                           K::Link,     K::Meta,   K::Style,  K::Style, K::Template,
                                           K::Template, K::Script, K::Script, K::Other, K::Other,
                                           K::Other,    K::Other,  K::Other}));
    ASSERT_TRUE(ReadStartTag("<p><Template x>", 3, markup));
    EXPECT_EQ(markup.tag, TagKind::Template);
}

TEST(DeclaredEncoding, FirstMetaBeforeTheBodyAsABrowsersPrescanFindsIt) {
    const std::pair<const char*, Encoding> cases[] = {
        {"<meta charset=\"Shift_JIS\">", Encoding::ShiftJis},
        {"<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=windows-31j\">",
         Encoding::ShiftJis},
        {"<meta http-equiv=\"content-type\" content='text/html;charset = \"x-sjis\"'>",
         Encoding::ShiftJis},
        {"<meta content=\"text/html; charset=gb2312\" http-equiv=\"Content-Type\">", Encoding::Gbk},
        {"<meta charset=\" GB18030 \">", Encoding::Gbk},
        {"<meta charset=big5-hkscs>", Encoding::Big5},
        {"<meta charset=utf-8><meta charset=shift_jis>", Encoding::SingleByte},
        {"<meta content=\"text/html; charset=big5\">", Encoding::SingleByte},  // no http-equiv
        {"<!-- <meta charset=big5> --><title><meta charset=big5></title>", Encoding::SingleByte},
        {"<body><meta charset=big5>", Encoding::SingleByte},
        {"</head><meta charset=big5>", Encoding::SingleByte},
        {"\xEF\xBB\xBF<meta charset=big5>", Encoding::SingleByte},  // the mark says UTF-8
        {"<meta charset=euc-jp>", Encoding::SingleByte},
    };
    for (const auto& [page, encoding] : cases) EXPECT_EQ(DeclaredEncoding(page), encoding) << page;
}

// A markup keeps no attributes: they are read from its text on each pass, the same each time,
// also once the reader has moved on; other markup has none.
TEST(ReadAttributes, AreReadAgainOnEachPass) {
    PageReader reader = MakePageReader("<p a=1 b='2' c/><!-- x=y --></p d=e>");
    Markup tag;
    ASSERT_TRUE(NextMarkup(reader, tag));
    std::string first = AttributesText(AllAttributes(tag));
    Markup other;
    while (NextMarkup(reader, other)) EXPECT_TRUE(AllAttributes(other).empty()) << other.begin;
    EXPECT_EQ(first, "a=1,b='2,c");
    EXPECT_EQ(AttributesText(AllAttributes(tag)), first);
}

TEST(ReadAttributes, TheEndOfATextEndsTheTag) {
    Markup tag;
    EXPECT_EQ(ReadAttributes("class=x alt= /", 0, tag), std::string_view::npos);
    EXPECT_EQ(AttributesText(AllAttributes(tag)), "class=x,alt=/");
    EXPECT_EQ(ReadAttributes("a=1 />b", 0, tag), 6u);
    EXPECT_EQ(AttributesText(AllAttributes(tag)), "a=1");
    EXPECT_TRUE(tag.selfClosing);
}

}  // namespace

}  // namespace engine
