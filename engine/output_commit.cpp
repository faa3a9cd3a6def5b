#include "engine/output_commit.h"

#include <set>

#include "engine/run_paths.h"
#include "platform/files.h"

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
    return PageFolder(path) + std::string(files::kTemporaryPrefix) + files::RandomNamePart() + "-" +
           FileName(path);
}

RunOutcome Failure(RunError error, const std::string& path) {
    RunOutcome outcome(error, path);
    outcome.diskFull = files::LastFailureWasDiskFull();
    return outcome;
}

// Undoes the placed outputs, the last first, and removes every temporary: renames and
// deletions of the run's own files only.
void Undo(std::vector<Placed>& run, const std::string& pageTemporary) {
    for (auto it = run.rbegin(); it != run.rend(); ++it) {
        if (it->placed && !it->aside.empty())
            files::MoveReplacing(it->aside, it->output->path);
        else if (it->placed)
            files::Remove(it->output->path);
        if (!it->temporary.empty()) files::Remove(it->temporary);
    }
    if (!pageTemporary.empty()) files::Remove(pageTemporary);
}

// The backup: the original file itself under a second name where the file system allows and
// the page is replaced by a new file, else a copy with the page's metadata.
bool PlaceBackup(Placed& backup, const PageOutput& page, bool pageRewrittenInPlace) {
    const std::string& path = backup.output->path;
    if (!pageRewrittenInPlace && files::LinkNew(page.pageFile, path)) return true;
    if (!files::WriteTemporary(path, page.original, backup.temporary, &page.pageFile) ||
        !files::MoveNew(backup.temporary, path))
        return false;
    backup.temporary.clear();
    return true;
}

bool Place(Placed& output, const PageOutput& page, bool pageRewrittenInPlace) {
    if (output.output->isBackup) return PlaceBackup(output, page, pageRewrittenInPlace);
    const std::string& path = output.output->path;
    bool moved = false;
    if (output.output->replacesEarlier) {
        output.aside = AsideName(path);
        moved = files::ReplaceKeeping(output.temporary, path, output.aside);
        if (!moved) output.aside.clear();
    } else {
        moved = files::MoveNew(output.temporary, path);
    }
    if (moved) output.temporary.clear();
    return moved;
}

}  // namespace

RunOutcome CommitOutputs(const std::vector<OutputFile>& outputs, const PageOutput& page,
                         RunProgress* progress) {
    // A page with several names keeps them, and one that another program holds open without
    // letting it be replaced is still converted: its bytes are replaced in place, after its
    // backup (then a copy).
    const bool inPlace = files::LinkCount(page.pageFile) > 1 || files::IsHeldOpen(page.pageFile);
    std::vector<Placed> run;
    std::string pageTemporary;
    size_t staged = 0;
    for (const OutputFile& output : outputs) {
        run.push_back(Placed{&output, {}, {}});
        if (output.isBackup) continue;  // placed from the page itself
        if (!files::WriteTemporary(output.path, output.bytes, run.back().temporary)) {
            RunOutcome failure = Failure(output.error, output.path);
            Undo(run, pageTemporary);
            return failure;
        }
        if (progress && !progress->Advance(staged += output.bytes.size())) {
            Undo(run, pageTemporary);
            return {RunError::Stopped, page.pageFile};
        }
    }
    if (!inPlace &&
        !files::WriteTemporary(page.pageFile, page.bytes, pageTemporary, &page.pageFile)) {
        RunOutcome failure = Failure(RunError::FileNotWritten, page.pageFile);
        Undo(run, pageTemporary);
        return failure;
    }
    // The last moment a run may stop: from here on its outputs take their places.
    if (progress && !progress->Advance(staged += page.bytes.size())) {
        Undo(run, pageTemporary);
        return {RunError::Stopped, page.pageFile};
    }

    std::set<std::string> folders = {PageFolder(page.pageFile)};
    for (Placed& output : run) {
        if (!Place(output, page, inPlace)) {
            RunOutcome failure = Failure(output.output->error, output.output->path);
            Undo(run, pageTemporary);
            return failure;
        }
        output.placed = true;
        folders.insert(PageFolder(output.output->path));
    }
    // The outputs are on disk before the page names them.
    for (const std::string& folder : folders) files::FlushFolder(folder);

    bool committed = inPlace ? files::RewriteInPlace(page.pageFile, page.bytes)
                             : files::ReplacePage(pageTemporary, page.pageFile);
    if (!committed) {
        RunOutcome failure = Failure(RunError::FileNotWritten, page.pageFile);
        std::string now;
        // Bytes rewritten in place may have changed before the failure: then the backup and
        // the script that restores it stay, and the message says so.
        if (inPlace && files::ReadWhole(page.pageFile, now) && now != page.original) {
            failure.error = RunError::PageDamaged;
            for (const Placed& output : run)
                if (output.output->isBackup) failure.otherPath = output.output->path;
            return failure;
        }
        Undo(run, pageTemporary);
        return failure;
    }
    for (const std::string& folder : folders) files::FlushFolder(folder);
    RunOutcome done;
    for (const Placed& output : run) {
        if (!output.aside.empty()) files::Remove(output.aside);
        done.wroteBackup = done.wroteBackup || output.output->isBackup;
    }
    return done;
}

void ClearKilledRunFiles(const std::string& folder) {
    constexpr size_t kRandomLength = 16;
    const size_t nameStart = files::kTemporaryPrefix.size() + kRandomLength;
    for (const std::string& name : files::FolderEntries(folder, files::kTemporaryPrefix)) {
        bool runsName =
            name.size() > nameStart + 1 &&
            name.find_first_not_of("0123456789abcdef", files::kTemporaryPrefix.size()) == nameStart;
        if (!runsName) continue;
        std::string kept = name.substr(nameStart + 1);  // after "-": a file kept aside
        if (name[nameStart] == '-' && !files::Exists(folder + kept)) {
            files::MoveNew(folder + name, folder + kept);
            continue;
        }
        if (name[nameStart] == '-' || kept == "tmp") files::Remove(folder + name);
    }
}
