#include "engine/page_set.h"

#include <algorithm>
#include <set>

#include "engine/ansi_text.h"
#include "engine/cascade_form.h"
#include "engine/earlier_work.h"
#include "engine/folder_locks.h"
#include "engine/header_sheets.h"
#include "engine/link_element.h"
#include "engine/output_commit.h"
#include "engine/output_writing.h"
#include "engine/page_coding.h"
#include "engine/page_reader.h"
#include "engine/page_rewriting.h"
#include "engine/restore_script.h"
#include "engine/style_index.h"
#include "engine/unused_cleaning.h"
#include "platform/files.h"

namespace engine {

namespace {

// Each pass's share of a run: the first pass, the second (rewriting, judging and staging each
// page), then the writing of the sheets and the script and the commit.
constexpr double kPagesSurveyed = 0.20;
constexpr double kPagesStaged = 0.85;

// One page of the run, as the passes go.
struct SetPage {
    RunFiles files;
    EarlierWork earlier;
    unsigned long long bytes = 0;  // of its file, as the first pass read it
    SheetReading reading;
    PageResult result;
    std::vector<std::string> sheets;  // that it links, once converted
};

// What the first pass learns from every page.
struct Survey {
    CascadeFeatures features;
    unsigned long long highestInlineClass = 0;
    bool readingsDiffer = false;
    unsigned long long totalBytes = 0;
};

// The run's temporaries of staged pages, removed unless the pages were committed.
struct StagedPages {
    std::vector<PageOutput> pages;
    bool committed = false;
    ~StagedPages() {
        if (!committed) RemoveStagedPages(pages);
    }
};

// The run text of a page's file, and how its bytes read.
bool ReadPage(const SetPage& page, std::string& bytes, std::string& text, SheetReading& reading) {
    if (!ReadPageText(page.files.page, text, bytes, reading.coding)) return false;
    reading.encoding = DeclaredEncoding(text);
    return true;
}

// The highest "inlineClassN" that the page names anywhere, in its class attributes or in its
// CSS, also once comment markers inside a style block are taken out.
unsigned long long HighestInlineClassNamed(std::string_view page) {
    // Most pages never name one, in any case.
    if (FindNoCase(page, "inlineclass") == std::string_view::npos) return 0;
    unsigned long long highest = HighestInlineClassInPage(page);
    highest = std::max(highest, FirstInlineClassNumber(page, 0) - 1);
    if (page.find("<!--") != std::string_view::npos || page.find("-->") != std::string_view::npos)
        highest = std::max(highest, FirstInlineClassNumber(HeaderCssOf(page), 0) - 1);
    return highest;
}

RunOutcome SurveyPages(std::vector<SetPage>& pages, Survey& survey, RunProgress& progress) {
    std::string bytes, text;
    for (size_t i = 0; i < pages.size(); ++i) {
        SetPage& page = pages[i];
        if (!ReadPage(page, bytes, text, page.reading))
            return {RunError::PageNotRead, page.files.page};
        page.bytes = FileBytesOf(page.reading.coding, text, bytes).size();
        survey.totalBytes += page.bytes;
        progress.StartPhase(kPagesSurveyed * i / pages.size(),
                            kPagesSurveyed * (i + 1) / pages.size(), text.size());
        CascadeFeatures features(page.reading.encoding);
        PageReader reader = MakePageReader(text);
        Markup markup;
        while (NextMarkup(reader, markup)) {
            progress.At(markup.end);
            features.See(markup, reader);
        }
        survey.features.Add(features);
        survey.highestInlineClass =
            std::max(survey.highestInlineClass, HighestInlineClassNamed(text));
        survey.readingsDiffer = survey.readingsDiffer || !(page.reading == pages.front().reading);
    }
    return {};
}

// The refusals before any page is read: pages of several folders, and those of each page.
RunOutcome RefuseBeforeReading(const RunRequest& request, const std::vector<SetPage>& pages) {
    for (const SetPage& page : pages)
        if (!platform::SamePath(page.files.folder, pages.front().files.folder))
            return {RunError::PagesInSeveralFolders, page.files.page, pages.front().files.page};
    for (const SetPage& page : pages) {
        if (RunOutcome refusal = RefuseFilesOfRun(request.sheetName, page.files);
            refusal.error != RunError::None)
            return refusal;
        // The sheet, the same for every page, must not take the place of another's files.
        if (platform::SamePath(pages.front().files.sheet, page.files.page) ||
            platform::SamePath(pages.front().files.sheet, page.files.backup))
            return {RunError::SheetNameCollides, page.files.page};
    }
    return {};
}

RunOutcome LockSetFolders(const RunRequest& request, const std::vector<SetPage>& pages,
                          FolderLocks& locks) {
    const RunFiles& first = pages.front().files;
    std::vector<FolderToLock> folders = {
        {first.folder, {RunError::BackupNotCreated, first.backup}},
        {PageFolder(first.sheet), {RunError::FileNotWritten, first.sheet}}};
    for (const SetPage& page : pages)
        folders.push_back(
            {PageFolder(page.files.pageFile), {RunError::FileNotWritten, page.files.pageFile}});
    return LockFolders(request, folders, locks);
}

// The paths that no header sheet may take.
std::vector<std::string> TakenPaths(const std::vector<SetPage>& pages) {
    std::vector<std::string> taken = {pages.front().files.sheet, pages.front().files.script};
    for (const SetPage& page : pages) {
        taken.push_back(page.files.page);
        taken.push_back(page.files.backup);
    }
    return taken;
}

// The run over the pages, once their folders are locked and what earlier runs left is read.
class SetRun {
public:
    SetRun(const RunRequest& request, std::vector<SetPage>& pages)
        : request_(request),
          pages_(pages),
          progress_(request.progress, request.stop),
          headerSheets_(request.sheetName, pages.front().files.folder, TakenPaths(pages)) {}

    RunOutcome Run();

private:
    SharedTerms TermsFor(const SetPage& page) const;
    RunOutcome ConvertPage(SetPage& page, double from, double to);
    void KeepHeaderSheet(SetPage& page, const PageRewrite& rewrite);
    std::vector<Conversion> Conversions() const;
    std::vector<std::string> SheetsBytes();
    RunOutcome WriteOutputs();
    void Tell(RunOutcome& written, const std::vector<std::string>& unrestorable) const;
    std::string SharedSheetBytes() const;

    const RunRequest& request_;
    std::vector<SetPage>& pages_;
    RunProgress progress_;
    Survey survey_;
    HeaderSheets headerSheets_;
    ClassForm classForm_;    // of the classes of every page
    InlineClasses classes_;  // of every page so far
    StagedPages staged_;
};

RunOutcome SetRun::Run() {
    if (RunOutcome failure = SurveyPages(pages_, survey_, progress_);
        failure.error != RunError::None)
        return failure;
    classForm_ = {survey_.highestInlineClass + 1, survey_.features.Form().raisedBy};
    classes_.asciiOnly = survey_.readingsDiffer;
    double done = 0;
    for (SetPage& page : pages_) {
        double share =
            survey_.totalBytes == 0 ? 1.0 / pages_.size() : double(page.bytes) / survey_.totalBytes;
        double from = kPagesSurveyed + (kPagesStaged - kPagesSurveyed) * done;
        done += share;
        if (RunOutcome refusal =
                ConvertPage(page, from, kPagesSurveyed + (kPagesStaged - kPagesSurveyed) * done);
            refusal.error != RunError::None)
            return refusal;
    }
    bool anyConverted = std::any_of(pages_.begin(), pages_.end(), [](const SetPage& page) {
        return !page.result.nothingToExtract;
    });
    if (!anyConverted) {
        RunOutcome nothing(RunError::NothingToExtract, pages_.front().files.folder);
        for (const SetPage& page : pages_) nothing.pages.push_back(page.result);
        return nothing;
    }
    for (const SetPage& page : pages_)
        if (RunOutcome failure = RemoveStaleBackup(page.files, page.earlier);
            failure.error != RunError::None)
            return failure;
    return WriteOutputs();
}

// What the page's rewriting takes from the run: the numbering and form of the classes, and
// the header sheets.
SharedTerms SetRun::TermsFor(const SetPage& page) const {
    SharedTerms terms;
    terms.classForm = classForm_;
    terms.headerSheetOf = [this, &page](std::string_view css) {
        return headerSheets_.NameFor(css, page.reading, page.files.page);
    };
    return terms;
}

// Rewrites the page against the classes of the pages before it, which it adds to, judges it
// against what earlier runs left, and stages it.
RunOutcome SetRun::ConvertPage(SetPage& page, double from, double to) {
    const RunFiles& run = page.files;
    std::string bytes, text;
    if (!ReadPage(page, bytes, text, page.reading)) return {RunError::PageNotRead, run.page};
    progress_.StartPhase(from, to, text.size());
    PageRewrite rewrite =
        RewriteSharedPage(text, request_.sheetName, TermsFor(page), classes_, progress_);
    if (rewrite.error != RunError::None) return {rewrite.error, run.page};
    page.result = {run.page, page.bytes, page.bytes, false};
    if (!rewrite.hasHeaderBlock && rewrite.convertedStyles == 0) {
        page.result.nothingToExtract = true;
        return {};
    }
    std::string_view pageBytes = FileBytesOf(page.reading.coding, text, bytes);
    if (RunOutcome refusal = JudgeAgainstPage(rewrite.linkHrefs, pageBytes, run, page.earlier);
        refusal.error != RunError::None)
        return refusal;
    KeepHeaderSheet(page, rewrite);
    if (page.reading.coding != PageCoding::AsIs)
        rewrite.text = FromRunText(rewrite.text, page.reading.coding);
    staged_.pages.push_back({run.pageFile, {}, {}, {}});
    if (!StagePage(staged_.pages.back(), rewrite.text)) {
        RunOutcome failure(RunError::FileNotWritten, run.pageFile);
        failure.diskFull = platform::LastFailureWasDiskFull();
        return failure;
    }
    page.result.bytesAfter = rewrite.text.size();
    return {};
}

void SetRun::KeepHeaderSheet(SetPage& page, const PageRewrite& rewrite) {
    HeaderSheet* sheet = headerSheets_.Keep(rewrite.header, page.reading, page.files.page);
    if (sheet != nullptr) {
        page.sheets.push_back(sheet->path);
        // A rule stays when any page that links the sheet uses it.
        if (request_.cleanUnused)
            MarkUsedRules(rewrite.header, rewrite.text, sheet->used, progress_);
    }
    page.sheets.push_back(page.files.sheet);
}

std::string SetRun::SharedSheetBytes() const {
    Encoding encoding =
        survey_.readingsDiffer ? Encoding::SingleByte : pages_.front().reading.encoding;
    // Pages that read bytes above ASCII in different ways share only classes of ASCII bytes;
    // a UTF-16 page's sheet then keeps the mark that makes every page read it as UTF-8.
    PageCoding coding = pages_.front().reading.coding;
    if (survey_.readingsDiffer) {
        coding = PageCoding::AsIs;
        for (const SetPage& page : pages_)
            if (page.reading.coding == PageCoding::Utf16Le ||
                page.reading.coding == PageCoding::Utf16Be)
                coding = page.reading.coding;
    }
    return SheetBytes(
        StyleSheetText(HeaderCss(), classes_, classForm_, encoding, request_.cleanUnused), coding);
}

// This run's conversions, then those of the folder's other pages that the script undoes.
std::vector<Conversion> SetRun::Conversions() const {
    std::vector<Conversion> conversions;
    for (const SetPage& page : pages_)
        if (!page.result.nothingToExtract)
            conversions.push_back(ConversionOfRun(page.files, page.sheets, page.earlier));
    const std::vector<Conversion>& others = pages_.front().earlier.others;
    conversions.insert(conversions.end(), others.begin(), others.end());
    return conversions;
}

// The header sheets, then the shared sheet.
std::vector<std::string> SetRun::SheetsBytes() {
    std::vector<std::string> sheets;
    for (HeaderSheet& sheet : headerSheets_.Sheets()) {
        if (request_.cleanUnused) KeepUsedRules(sheet.css.rules, sheet.used);
        sheets.push_back(SheetBytes(StyleSheetText(sheet.css, InlineClasses(), ClassForm(),
                                                   sheet.reading.encoding, request_.cleanUnused),
                                    sheet.reading.coding));
    }
    sheets.push_back(SharedSheetBytes());
    return sheets;
}

RunOutcome SetRun::WriteOutputs() {
    const RunFiles& first = pages_.front().files;
    std::string scriptBytes;
    std::vector<std::string> unrestorable;
    if (!RestoreScriptBytes(Conversions(), first.script, scriptBytes, &unrestorable))
        return {RunError::FileNotWritten, first.script};
    const std::vector<std::string> sheets = SheetsBytes();
    std::vector<OutputFile> outputs = {
        {first.script, scriptBytes, pages_.front().earlier.scriptExists}};
    size_t staged = 0;
    for (const SetPage& page : pages_) {
        if (page.result.nothingToExtract) continue;
        if (!page.earlier.keepsBackup)
            outputs.push_back(
                {page.files.backup, {}, false, true, RunError::BackupNotCreated, staged});
        ++staged;
    }
    size_t total = scriptBytes.size();
    for (size_t i = 0; i < sheets.size(); ++i) {
        bool shared = i + 1 == sheets.size();
        outputs.push_back({shared ? first.sheet : headerSheets_.Sheets()[i].path, sheets[i],
                           shared && pages_.front().earlier.sheetExists});
        total += sheets[i].size();
    }
    progress_.StartPhase(kPagesStaged, 1, total);
    RunOutcome written = CommitOutputs(outputs, staged_.pages, &progress_);
    if (written.error != RunError::None) return written;
    staged_.committed = true;
    progress_.Finish();
    Tell(written, unrestorable);
    return written;
}

// What the run did with each page, and the backup to copy back by hand of a page that the
// script names without restoring it.
void SetRun::Tell(RunOutcome& written, const std::vector<std::string>& unrestorable) const {
    for (const SetPage& page : pages_) {
        written.pages.push_back(page.result);
        for (const std::string& named : unrestorable)
            if (written.backupToCopyBack.empty() && !page.result.nothingToExtract &&
                platform::SamePath(named, page.files.page))
                written.backupToCopyBack = page.files.backup;
    }
    written.inlineClasses = classes_.list.size();
    written.headerSheets = headerSheets_.Count();
}

}  // namespace

RunOutcome RunPageSet(const RunRequest& request) {
    std::vector<SetPage> pages;
    std::set<std::string> listed;  // each page once, however often it was given
    for (const std::string& path : request.pagePaths) {
        std::string key = platform::AbsolutePath(path);
        for (char& c : key) c = AsciiLower(c);
        if (!listed.insert(key).second) continue;
        pages.emplace_back();
        pages.back().files = FilesOfRun(path, request.sheetName);
    }
    if (RunOutcome refusal = RefuseBeforeReading(request, pages); refusal.error != RunError::None)
        return refusal;
    FolderLocks locks;
    if (RunOutcome locked = LockSetFolders(request, pages, locks); locked.error != RunError::None)
        return locked;
    std::vector<RunFiles> files;
    for (const SetPage& page : pages) files.push_back(page.files);
    std::vector<EarlierWork> earlier;
    if (RunOutcome refusal = ReadEarlierWork(files, earlier); refusal.error != RunError::None)
        return refusal;
    for (size_t i = 0; i < pages.size(); ++i) pages[i].earlier = std::move(earlier[i]);
    return SetRun(request, pages).Run();
}

}  // namespace engine
