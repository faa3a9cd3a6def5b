#include "engine/page_rewriting.h"

#include <algorithm>
#include <optional>

#include "engine/ansi_text.h"
#include "engine/byte_classes.h"
#include "engine/cascade_form.h"
#include "engine/link_element.h"
#include "engine/page_reader.h"
#include "engine/rule_parsing.h"
#include "engine/style_index.h"
#include "engine/tag_rewriting.h"

namespace engine {

namespace {

// Where style attributes are converted: from the body tag on, or, in a page without one, the
// whole page. Whether a page has a body tag is known only at the end of a walk, so the walk
// assumes one and is made again over the whole page when there is none.
enum class Region { FromBodyTag, WholePage };

bool HasHref(const Markup& tag) {
    for (const Attribute& attribute : TagAttributes(tag))
        if (attribute.hasValue && EqualsNoCase(attribute.name, "href")) return true;
    return false;
}

// The byte-order mark of a UTF-8 page: a browser reads the encoding from it only at byte 0.
size_t ByteOrderMarkSize(std::string_view page) {
    return page.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}

bool IsDoctype(std::string_view page, const Markup& markup) {
    return markup.kind == MarkupKind::Declaration &&
           StartsWithNoCase(page.substr(markup.begin), "<!doctype");
}

bool HasStyleAttribute(const Markup& tag) {
    for (const Attribute& attribute : TagAttributes(tag))
        if (EqualsNoCase(attribute.name, "style")) return true;
    return false;
}

// What every walk over a page reads: the page as read, and what its run gives it.
struct WalkInputs {
    WalkInputs(std::string_view page, std::string_view sheetName, InlineClasses& classes,
               RunProgress& progress)
        : page(page),
          sheetName(sheetName),
          encoding(DeclaredEncoding(page)),
          classes(classes),
          progress(progress) {}

    std::string_view page;
    std::string_view sheetName;
    Encoding encoding;
    InlineClasses& classes;  // that style attributes become, added to
    RunProgress& progress;
    // The form of the inline classes. On a page alone, they are numbered past the "inlineClassN"
    // that its class attributes name and, once it is read, that its header CSS names.
    ClassForm classForm;
    const SharedTerms* shared = nullptr;  // on a page of a run over several
};

PageRewrite Failed(RunError error) {
    PageRewrite failed;
    failed.error = error;
    return failed;
}

// One walk over the page, which it rewrites into a result of its own.
class PageWalk {
public:
    // Every markup of the page is shown to `features`, when given.
    PageWalk(const WalkInputs& in, Region region, CascadeFeatures* features)
        : in_(in), page_(in.page), region_(region), features_(features) {}

    // The page rewritten. With Region::FromBodyTag and a page without a body tag, nothing:
    // BodyFound() then tells that the walk has to be made again over the whole page.
    PageRewrite Walk();
    bool BodyFound() const { return bodyFound_; }

private:
    // What the walk starts from, before the first markup.
    void Start();
    // What each markup tells the walk, by the kind of its tag. The start tags are rewritten
    // here, the header block taken.
    RunError SeeStartTag(const Markup& tag);
    void SeeEndTag(const Markup& tag);
    void SeeDeclaration(const Markup& declaration);
    // The first base element with an href, outside templates.
    void SeeBaseTag(const Markup& tag);
    // The first body tag outside templates: the header CSS is read into rules, and style
    // attributes become classes from there on.
    RunError SeeBodyTag(const Markup& tag);
    // True when the style tag, outside templates, opened the header block or a block of the
    // same text, now the link element; `error` tells why the walk stops there.
    bool SeeStyleTag(const Markup& tag, bool hasLang, RunError& error);
    // Copies the rest of the page and places the link when no block took its place.
    void Finish();
    // The header style block and the blocks of the same text; false for another style tag.
    bool TakeStyleBlock(const Markup& tag, std::string_view tagText, RunError& error);
    // Keeps the CSS of the header block, whose text between its tags is `inner`: by its place
    // in the page when it is a part of it as it stands, else in a text of its own.
    void KeepHeaderCss(std::string_view inner);
    // Cuts the header CSS into rules. The declarations of a last block that it leaves open,
    // closed, go right after it, in its own text.
    void ReadRules();
    // Style attributes become classes from here on.
    void StartConverting() {
        // The pages of a run over several were searched for every number they name.
        if (in_.shared == nullptr)
            made_.classForm.firstNumber =
                FirstInlineClassNumber(made_.header.Css(), in_.classForm.firstNumber - 1);
        index_.emplace(made_.header, made_.encoding, made_.classForm, in_.classes);
        inRegion_ = true;
    }
    void RewriteTag(const Markup& tag, bool hasLang);
    // On a page of a run over several: the header block's link names the header sheet of its
    // CSS, then the sheet of inline classes.
    void LinkHeaderSheet() {
        std::string headerSheet = in_.shared->headerSheetOf(made_.header.Css());
        link_ = (headerSheet.empty() ? "" : LinkElement(headerSheet)) + LinkElement(in_.sheetName);
    }
    // Keeps the sheet that a link element of the page names, to tell a page converted before.
    void KeepLinkHref(const Markup& tag) {
        for (const Attribute& attribute : TagAttributes(tag))
            if (attribute.hasValue && EqualsNoCase(attribute.name, "href"))
                made_.linkHrefs.emplace_back(attribute.value);
    }
    void CopyUpTo(size_t at) {
        out_.append(page_, copied_, at - copied_);
        copied_ = at;
    }
    size_t OutputPosition(size_t pageAt) const { return out_.size() + pageAt - copied_; }

    const WalkInputs& in_;
    std::string_view page_;
    Region region_;
    CascadeFeatures* features_;
    PageRewrite made_;
    std::string& out_ = made_.text;
    size_t copied_ = 0;  // the page up to here is in the output
    PageReader reader_;
    bool bodyFound_ = false;
    size_t headEnd_ = npos;  // where the output holds the first "</head>" outside templates
    size_t bodyTag_ = npos;  // where it holds the first body tag outside templates
    // Past the byte-order mark and the doctype: a link before them would hide the mark's
    // encoding and put the page in quirks mode.
    size_t prologEnd_ = 0;
    bool prologRead_ = false;  // a start tag was read: a doctype after it counts for nothing
    // The contents of a template element are no part of the page until a script uses them: a
    // head end, body tag, base element or style block there is none of the page's.
    size_t templates_ = 0;  // the template elements open here
    bool inRegion_ = false;
    std::optional<StyleIndex> index_;
    std::string link_;
    // Where the output holds the first base element with an href: a link after it would be
    // fetched against the base address, not beside the page.
    size_t baseTag_ = npos;
    size_t blockAt_ = npos;       // where the output held the header block
    std::string blockStartTag_;   // the header block's start tag, without lang attributes
    std::string_view blockRest_;  // its contents and end tag
    TagScratch scratch_;
    std::string tagWithoutLang_;
    Markup readAgain_;
};

PageRewrite PageWalk::Walk() {
    Start();
    RunError error = RunError::None;
    Markup tag;
    while (error == RunError::None && NextMarkup(reader_, tag)) {
        in_.progress.At(tag.end);
        if (features_ != nullptr) features_->See(tag, reader_);
        switch (tag.kind) {
            case MarkupKind::StartTag: error = SeeStartTag(tag); break;
            case MarkupKind::EndTag: SeeEndTag(tag); break;
            case MarkupKind::Declaration: SeeDeclaration(tag); break;
            case MarkupKind::Comment: break;
        }
    }
    if (error != RunError::None) return Failed(error);
    if (region_ == Region::FromBodyTag && !bodyFound_) return {};
    Finish();
    return std::move(made_);
}

void PageWalk::Start() {
    out_.reserve(page_.size() + page_.size() / 8);
    made_.encoding = in_.encoding;
    made_.header.page = page_;
    made_.classForm = in_.classForm;
    link_ = LinkElement(in_.sheetName);
    inRegion_ = region_ == Region::WholePage;
    if (inRegion_) StartConverting();
    prologEnd_ = ByteOrderMarkSize(page_);
    reader_ = MakePageReader(page_);
}

RunError PageWalk::SeeStartTag(const Markup& tag) {
    prologRead_ = true;
    const bool inTemplate = templates_ > 0;
    const bool hasLang = HasLangAttribute(tag);
    RunError error = RunError::None;
    switch (tag.tag) {
        case TagKind::Template: ++templates_; break;
        case TagKind::Link: KeepLinkHref(tag); break;
        case TagKind::Base:
            if (!inTemplate) SeeBaseTag(tag);
            break;
        case TagKind::Body:
            if (!inTemplate) error = SeeBodyTag(tag);
            break;
        case TagKind::Style:
            if (!inTemplate && SeeStyleTag(tag, hasLang, error)) return RunError::None;
            break;
        default: break;
    }
    if (error != RunError::None) return error;
    if (hasLang || (inRegion_ && HasStyleAttribute(tag))) RewriteTag(tag, hasLang);
    return RunError::None;
}

void PageWalk::SeeEndTag(const Markup& tag) {
    if (tag.tag == TagKind::Template && templates_ > 0) --templates_;
    if (tag.tag == TagKind::Head && headEnd_ == npos && templates_ == 0)
        headEnd_ = OutputPosition(tag.begin);
}

void PageWalk::SeeDeclaration(const Markup& declaration) {
    if (!prologRead_ && IsDoctype(page_, declaration)) prologEnd_ = OutputPosition(declaration.end);
}

void PageWalk::SeeBaseTag(const Markup& tag) {
    if (baseTag_ == npos && HasHref(tag)) baseTag_ = OutputPosition(tag.begin);
}

RunError PageWalk::SeeBodyTag(const Markup& tag) {
    if (bodyFound_) return RunError::None;
    bodyFound_ = true;
    bodyTag_ = OutputPosition(tag.begin);
    if (region_ == Region::WholePage) return RunError::None;
    // The header block is known now: the page has a body tag after it.
    if (made_.hasHeaderBlock && !BracesBalance(made_.header.Css(), made_.encoding))
        return RunError::BracesMismatch;
    if (made_.header.size > 0) ReadRules();
    StartConverting();
    return RunError::None;
}

bool PageWalk::SeeStyleTag(const Markup& tag, bool hasLang, RunError& error) {
    if (region_ == Region::WholePage) return false;
    if (hasLang) {
        tagWithoutLang_.clear();
        AppendWithoutLang(tagWithoutLang_, page_, tag);
    }
    std::string_view tagText =
        hasLang ? std::string_view(tagWithoutLang_) : page_.substr(tag.begin, tag.end - tag.begin);
    return TakeStyleBlock(tag, tagText, error);
}

void PageWalk::Finish() {
    CopyUpTo(page_.size());
    if (made_.convertedStyles > 0 && !made_.hasHeaderBlock) {
        size_t at = headEnd_ != npos ? headEnd_ : bodyTag_ != npos ? bodyTag_ : prologEnd_;
        out_.insert(std::min(at, baseTag_), link_);
    } else if (made_.hasHeaderBlock && baseTag_ < blockAt_) {
        out_.insert(baseTag_, link_);
    }
}

bool PageWalk::TakeStyleBlock(const Markup& tag, std::string_view tagText, RunError& error) {
    if (!IsPlainStyleTag(tagText)) return false;
    // The reader has stepped over the raw text: what follows is the end tag, if there is one.
    PageReader ahead = reader_;
    Markup endTag;
    bool closed = NextMarkup(ahead, endTag) && endTag.kind == MarkupKind::EndTag &&
                  page_[endTag.end - 1] == '>';
    std::string_view rest = page_.substr(tag.end, closed ? endTag.end - tag.end : 0);
    if (!made_.hasHeaderBlock && !inRegion_) {
        if (!closed) {
            // Without its end tag the block runs to the end of the page, over any body tag.
            if (FindNoCase(page_, "<body", tag.end) != npos) error = RunError::StyleBlockUnclosed;
            reader_ = ahead;  // nothing after it is markup
            return false;
        }
        blockStartTag_ = tagText;
        blockRest_ = rest;
        KeepHeaderCss(page_.substr(tag.end, endTag.begin - tag.end));
        made_.hasHeaderBlock = true;
        if (in_.shared != nullptr && in_.shared->headerSheetOf) LinkHeaderSheet();
        blockAt_ = OutputPosition(tag.begin);
    } else if (!closed || tagText != blockStartTag_ || rest != blockRest_ || baseTag_ != npos) {
        return false;  // a block after a base element stays: a link there would not be found
    }
    CopyUpTo(tag.begin);
    // After a base element the link goes before it, once the walk is done.
    if (baseTag_ == npos) out_ += link_;
    copied_ = endTag.end;
    reader_ = ahead;
    return true;
}

void PageWalk::KeepHeaderCss(std::string_view inner) {
    HeaderCss& header = made_.header;
    size_t innerAt = static_cast<size_t>(inner.data() - page_.data());
    if (inner.find("<!--") == npos && inner.find("-->") == npos) {
        size_t first = inner.find_first_not_of("\r\n");
        if (first == npos) return;  // no CSS
        header.begin = innerAt + first;
        header.size = inner.find_last_not_of("\r\n") + 1 - first;
        return;
    }
    std::string css = HeaderCssOf(inner);
    header.size = css.size();
    size_t place = HeaderCssPlace(inner, css);
    if (place != npos) {
        header.begin = innerAt + place;
        return;
    }
    header.inOwn = true;
    header.own = std::move(css);
}

void PageWalk::ReadRules() {
    HeaderCss& header = made_.header;
    std::string closedLast;
    header.rules = ReadHeaderRules(header.Css(), closedLast, made_.encoding);
    if (closedLast.empty()) return;
    if (!header.inOwn) {
        header.own = header.Css();
        header.inOwn = true;
    }
    // The tail follows the CSS.
    header.own += closedLast;
    header.tailSize = closedLast.size();
}

void PageWalk::RewriteTag(const Markup& tag, bool hasLang) {
    std::string_view text = page_;
    const Markup* view = &tag;
    if (hasLang) {
        // Styles are read from the tag as it stands without its lang attributes.
        tagWithoutLang_.clear();
        AppendWithoutLang(tagWithoutLang_, page_, tag);
        text = tagWithoutLang_;
        ReadStartTag(text, 0, readAgain_);
        view = &readAgain_;
    }
    CopyUpTo(tag.begin);
    size_t converted =
        inRegion_ ? AppendConvertedTag(out_, text, hasLang, *view, *index_, scratch_) : 0;
    if (converted == 0) out_.append(text, view->begin, view->end - view->begin);
    made_.convertedStyles += converted;
    copied_ = tag.end;
}

// Walks the page from its body tag on, and again over the whole page when it has none.
PageRewrite Rewrite(const WalkInputs& in, CascadeFeatures* features) {
    PageWalk fromBodyTag(in, Region::FromBodyTag, features);
    PageRewrite rewrite = fromBodyTag.Walk();
    if (rewrite.error != RunError::None || fromBodyTag.BodyFound()) return rewrite;
    return PageWalk(in, Region::WholePage, nullptr).Walk();
}

}  // namespace

PageRewrite RewritePage(std::string_view page, std::string_view sheetName, InlineClasses& classes,
                        RunProgress& progress) {
    classes.page = page;
    WalkInputs in(page, sheetName, classes, progress);
    in.classForm.firstNumber = HighestInlineClassInPage(page) + 1;
    // The first walk makes classes marked !important and reads what decides their form; a page
    // whose classes are to be raised in the cascade is walked again, its classes made afresh.
    CascadeFeatures features(in.encoding);
    PageRewrite rewrite = Rewrite(in, &features);
    const std::string raisedBy = features.Form().raisedBy;
    if (rewrite.error != RunError::None || raisedBy.empty()) return rewrite;
    in.classForm.raisedBy = raisedBy;
    classes = InlineClasses();
    classes.page = page;
    return Rewrite(in, nullptr);
}

PageRewrite RewriteSharedPage(std::string_view page, std::string_view sheetName,
                              const SharedTerms& terms, InlineClasses& classes,
                              RunProgress& progress) {
    WalkInputs in(page, sheetName, classes, progress);
    in.classForm = terms.classForm;
    in.shared = &terms;
    return Rewrite(in, nullptr);
}

}  // namespace engine
