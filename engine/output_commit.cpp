#include "engine/output_commit.h"

#include <set>

#include "engine/run_paths.h"
#include "platform/files.h"

namespace engine {

namespace {

// An output on its way: its temporary, then where it stands once placed.
struct Placed {
    const OutputFile* output;
    std::string temporary;  // empty once moved into place
    std::string aside;      // where the earlier file it replaced is kept
    bool placed = false;
};

std::string FileName(const std::string& path) { return path.substr(PageFolder(path).size()); }

// A free name beside `path` that keeps the earlier file while its replacement is not
// committed; it ends in the file's own name, so that a killed run's can be put back.
std::string AsideName(const std::string& path) {
    return PageFolder(path) + std::string(platform::kTemporaryPrefix) + platform::RandomNamePart() +
           "-" + FileName(path);
}

RunOutcome Failure(RunError error, const std::string& path) {
    RunOutcome outcome(error, path);
    outcome.diskFull = platform::LastFailureWasDiskFull();
    return outcome;
}

// A page on its way: replaced by its temporary, or rewritten in place.
struct PageCommit {
    const PageOutput* page;
    bool inPlace = false;
    std::string temporary;  // its new bytes, until it is committed
    bool committed = false;
};

// The page as read: kept by the caller, or still in its file when its new bytes were staged.
bool OriginalOf(const PageOutput& page, std::string& read, std::string_view& original) {
    if (page.staged.empty()) {
        original = page.original;
        return true;
    }
    if (!platform::ReadWhole(page.pageFile, read)) return false;
    original = read;
    return true;
}

// Undoes the placed outputs, the last first, and removes every temporary: renames and
// deletions of the run's own files only.
void Undo(std::vector<Placed>& run, std::vector<PageCommit>& pages) {
    for (auto it = run.rbegin(); it != run.rend(); ++it) {
        if (it->placed && !it->aside.empty())
            platform::MoveReplacing(it->aside, it->output->path);
        else if (it->placed)
            platform::Remove(it->output->path);
        if (!it->temporary.empty()) platform::Remove(it->temporary);
    }
    for (const PageCommit& page : pages)
        if (!page.temporary.empty()) platform::Remove(page.temporary);
}

// The backup: the original file itself under a second name where the file system allows and
// the page is replaced by a new file, else a copy with the page's metadata.
bool PlaceBackup(Placed& backup, const PageCommit& page) {
    const std::string& path = backup.output->path;
    if (!page.inPlace && platform::LinkNew(page.page->pageFile, path)) return true;
    std::string read;
    std::string_view original;
    if (!OriginalOf(*page.page, read, original) ||
        !platform::WriteTemporary(path, original, backup.temporary, &page.page->pageFile) ||
        !platform::MoveNew(backup.temporary, path))
        return false;
    backup.temporary.clear();
    return true;
}

bool Place(Placed& output, const std::vector<PageCommit>& pages) {
    if (output.output->isBackup) return PlaceBackup(output, pages[output.output->page]);
    const std::string& path = output.output->path;
    bool moved = false;
    if (output.output->replacesEarlier) {
        output.aside = AsideName(path);
        moved = platform::ReplaceKeeping(output.temporary, path, output.aside);
        if (!moved) output.aside.clear();
    } else {
        moved = platform::MoveNew(output.temporary, path);
    }
    if (moved) output.temporary.clear();
    return moved;
}

// Writes every output but the backups, and each page that is replaced, to its temporary.
RunOutcome Stage(std::vector<Placed>& run, std::vector<PageCommit>& pages, RunProgress* progress) {
    size_t staged = 0;
    for (Placed& output : run) {
        if (output.output->isBackup) continue;  // placed from the page itself
        if (!platform::WriteTemporary(output.output->path, output.output->bytes, output.temporary))
            return Failure(output.output->error, output.output->path);
        if (progress && !progress->Advance(staged += output.output->bytes.size()))
            return {RunError::Stopped, pages.front().page->pageFile};
    }
    for (PageCommit& page : pages) {
        const PageOutput& output = *page.page;
        bool write = !page.inPlace && page.temporary.empty();
        if (write && !platform::WriteTemporary(output.pageFile, output.bytes, page.temporary,
                                               &output.pageFile))
            return Failure(RunError::FileNotWritten, output.pageFile);
        // The last moment a run may stop: from here on its outputs take their places.
        if (progress && !progress->Advance(staged += output.bytes.size()))
            return {RunError::Stopped, output.pageFile};
    }
    return {};
}

// Replaces the page, or rewrites it in place with its new bytes.
bool CommitPage(PageCommit& page) {
    const PageOutput& output = *page.page;
    if (!page.inPlace) return platform::ReplacePage(page.temporary, output.pageFile);
    std::string staged;
    std::string_view bytes = output.bytes;
    if (!page.temporary.empty()) {
        if (!platform::ReadWhole(page.temporary, staged)) return false;
        bytes = staged;
    }
    return platform::RewriteInPlace(output.pageFile, bytes);
}

// Puts back the pages committed before a later one failed, the last first, from their backups.
// False when one cannot be put back: the backups and the script then stay.
bool PutBackCommittedPages(std::vector<PageCommit>& pages, const std::vector<Placed>& run) {
    for (auto page = pages.rbegin(); page != pages.rend(); ++page) {
        if (!page->committed) continue;
        size_t index = static_cast<size_t>(&*page - pages.data());
        std::string backup;
        for (const Placed& output : run)
            if (output.output->isBackup && output.output->page == index)
                backup = output.output->path;
        std::string original;
        bool back = page->inPlace ? platform::ReadWhole(backup, original) &&
                                        platform::RewriteInPlace(page->page->pageFile, original)
                                  : platform::ReplacePage(backup, page->page->pageFile);
        if (!back) return false;
        page->committed = false;
    }
    return true;
}

// The failure of a page's commit. A page rewritten in place may have changed before it, and an
// earlier page may fail to be put back: then the backups and the script that restores them
// stay, and the message says so.
RunOutcome PageFailure(std::vector<PageCommit>& pages, size_t failed, std::vector<Placed>& run) {
    RunOutcome failure = Failure(RunError::FileNotWritten, pages[failed].page->pageFile);
    std::string now, read;
    std::string_view original;
    bool damaged = pages[failed].inPlace &&
                   platform::ReadWhole(pages[failed].page->pageFile, now) &&
                   OriginalOf(*pages[failed].page, read, original) && now != original;
    if (!damaged && PutBackCommittedPages(pages, run)) {
        for (Placed& output : run)
            if (output.output->isBackup && output.placed && output.output->page < failed &&
                !platform::Exists(output.output->path))
                output.placed = false;  // moved back over its page
        Undo(run, pages);
        return failure;
    }
    failure.error = RunError::PageDamaged;
    for (PageCommit& page : pages)
        if (!page.committed && !page.temporary.empty()) platform::Remove(page.temporary);
    for (const Placed& output : run)
        if (output.output->isBackup && output.output->page == failed)
            failure.otherPath = output.output->path;
    return failure;
}

}  // namespace

bool StagePage(PageOutput& page, std::string_view bytes) {
    return platform::WriteTemporary(page.pageFile, bytes, page.staged, &page.pageFile);
}

void RemoveStagedPages(std::vector<PageOutput>& pages) {
    for (PageOutput& page : pages)
        if (!page.staged.empty()) platform::Remove(page.staged);
}

namespace {

// Moves every output into its place and adds its folder to `folders`; when one cannot be
// placed, every output is put back as it was.
RunOutcome PlaceOutputs(std::vector<Placed>& run, std::vector<PageCommit>& pages,
                        std::set<std::string>& folders) {
    for (Placed& output : run) {
        if (!Place(output, pages)) {
            RunOutcome failure = Failure(output.output->error, output.output->path);
            Undo(run, pages);
            return failure;
        }
        output.placed = true;
        folders.insert(PageFolder(output.output->path));
    }
    return {};
}

}  // namespace

RunOutcome CommitOutputs(const std::vector<OutputFile>& outputs, const PageOutput& page,
                         RunProgress* progress) {
    return CommitOutputs(outputs, std::vector<PageOutput>{page}, progress);
}

RunOutcome CommitOutputs(const std::vector<OutputFile>& outputs,
                         const std::vector<PageOutput>& pageOutputs, RunProgress* progress) {
    // A page with several names keeps them, and one that another program holds open without
    // letting it be replaced is still converted: its bytes are replaced in place, after its
    // backup (then a copy).
    std::vector<PageCommit> pages;
    for (const PageOutput& page : pageOutputs)
        pages.push_back(
            {&page, platform::LinkCount(page.pageFile) > 1 || platform::IsHeldOpen(page.pageFile),
             page.staged});
    std::vector<Placed> run;
    for (const OutputFile& output : outputs) run.push_back(Placed{&output, {}, {}});
    if (RunOutcome staged = Stage(run, pages, progress); staged.error != RunError::None) {
        Undo(run, pages);
        return staged;
    }

    std::set<std::string> folders;
    for (const PageCommit& page : pages) folders.insert(PageFolder(page.page->pageFile));
    if (RunOutcome placed = PlaceOutputs(run, pages, folders); placed.error != RunError::None)
        return placed;
    // The outputs are on disk before the pages name them.
    for (const std::string& folder : folders) platform::FlushFolder(folder);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!CommitPage(pages[i])) return PageFailure(pages, i, run);
        pages[i].committed = true;
        if (!pages[i].inPlace || !pages[i].temporary.empty()) {
            if (pages[i].inPlace) platform::Remove(pages[i].temporary);
            pages[i].temporary.clear();
        }
    }
    for (const std::string& folder : folders) platform::FlushFolder(folder);
    RunOutcome done;
    for (const Placed& output : run) {
        if (!output.aside.empty()) platform::Remove(output.aside);
        done.wroteBackup = done.wroteBackup || output.output->isBackup;
    }
    return done;
}

void ClearKilledRunFiles(const std::string& folder) {
    constexpr size_t kRandomLength = 16;
    const size_t nameStart = platform::kTemporaryPrefix.size() + kRandomLength;
    for (const std::string& name : platform::FolderEntries(folder, platform::kTemporaryPrefix)) {
        bool runsName = name.size() > nameStart + 1 &&
                        name.find_first_not_of("0123456789abcdef",
                                               platform::kTemporaryPrefix.size()) == nameStart;
        if (!runsName) continue;
        std::string kept = name.substr(nameStart + 1);  // after "-": a file kept aside
        if (name[nameStart] == '-' && !platform::Exists(folder + kept)) {
            platform::MoveNew(folder + name, folder + kept);
            continue;
        }
        if (name[nameStart] == '-' || kept == "tmp") platform::Remove(folder + name);
    }
}

}  // namespace engine
