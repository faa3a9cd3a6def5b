#include "engine/restore_script.h"

#include <algorithm>
#include <map>

#include "engine/run_paths.h"
#include "platform/batch_paths.h"
#include "platform/files.h"

namespace engine {

namespace {

constexpr char kLineEnd[] = "\r\n";
// Before anything else: delayed expansion, when cmd runs with it (cmd /V:ON, or the registry's
// DelayedExpansion value, which applies to every batch file), would read "a!b!.htm" as "a.htm";
// extensions give "if defined". The "@" keeps the line out of the echo.
constexpr std::string_view kGuardLine = "@setlocal EnableExtensions DisableDelayedExpansion\r\n";
// Windows' cmd reads the lines after it in UTF-8. (Wine 8's cmd refuses it and reads them in
// its own code page: a copy whose path it then misreads fails, and its deletions are skipped.)
constexpr std::string_view kUtf8Line = "chcp 65001 >nul\r\n";
// Binary, or a copy to a "\\?\" path ends the page with a 0x1A byte; over the page without
// asking, whatever the COPYCMD variable says.
constexpr std::string_view kCopy = "copy /b /y ";
// The deletions of a conversion run only when its copy succeeded. Not "&&": Wine's cmd runs
// the command after it even when copy failed.
constexpr std::string_view kDeleteIfCopied = "if not errorlevel 1 del ";
// After a conversion's deletions, which run only when its copy succeeded, ERRORLEVEL still
// tells a failed copy (or a deletion that set it); set does not clear it in a .bat file.
constexpr std::string_view kMarkIfFailed = "if errorlevel 1 set stylewick_failed=1";
// A conversion that the script names without undoing it: its lines after "rem ", then the mark.
constexpr std::string_view kCommentedOut = "rem ";
constexpr std::string_view kMarkFailed = "set stylewick_failed=1";
// The script deletes itself only when no conversion was marked: one left to undo can be run
// again. (The same variable set before the run, which setlocal keeps, only keeps the script.)
constexpr std::string_view kDeleteScript = "if not defined stylewick_failed del ";
// A sheet that several conversions list (the shared sheets of a run over several pages) is
// noted in each of them and deleted once, after the last of them, only when no conversion was
// marked: a page restored before another fails still needs it.
constexpr std::string_view kLinksSheet = "rem links ";
constexpr std::string_view kDeleteShared = kDeleteScript;

// The lines that each version of the tool wrote around a conversion's deletions.
struct Form {
    std::string_view copy;          // the copy command with its switches
    std::string_view groupEnd;      // the line after a conversion's deletions; empty: none
    std::string_view scriptDelete;  // the last line's command, before the script's path
    bool batchPaths;                // paths in platform::BatchPath's form
};
constexpr Form kThisForm{kCopy, kMarkIfFailed, kDeleteScript, true};
constexpr Form kFormBefore{"copy ", "", "del ", false};

// A path for a line of the batch file: quoted, each "%" doubled so cmd.exe keeps it.
std::string BatchQuoted(std::string_view path) {
    std::string quoted = "\"";
    for (char c : path) {
        quoted += c;
        if (c == '%') quoted += '%';
    }
    quoted += '"';
    return quoted;
}

bool TakePrefix(std::string_view& line, std::string_view prefix) {
    if (line.substr(0, prefix.size()) != prefix) return false;
    line.remove_prefix(prefix.size());
    return true;
}

// Takes a path written by BatchQuoted from the front of `line`.
bool TakeQuotedPath(std::string_view& line, std::string& path) {
    if (!TakePrefix(line, "\"")) return false;
    size_t close = line.find('"');
    if (close == 0 || close == std::string_view::npos) return false;
    path.clear();
    for (size_t i = 0; i < close; ++i) {
        path += line[i];
        if (line[i] == '%' && (++i == close || line[i] != '%')) return false;
    }
    line.remove_prefix(close + 1);
    return true;
}

// `line` is exactly `prefix` followed by one quoted path.
bool ReadDeleteLine(std::string_view line, std::string_view prefix, std::string& path) {
    return TakePrefix(line, prefix) && TakeQuotedPath(line, path) && line.empty();
}

bool ReadCopyLine(std::string_view line, std::string_view copy, Conversion& conversion) {
    return TakePrefix(line, copy) && TakeQuotedPath(line, conversion.backupPath) &&
           TakePrefix(line, " ") && TakeQuotedPath(line, conversion.pagePath) && line.empty();
}

// The lines of `text`, each ended by CR LF; false when the text does not end in one.
bool SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
    while (!text.empty()) {
        size_t end = text.find(kLineEnd);
        if (end == std::string_view::npos) return false;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 2);
    }
    return true;
}

// One conversion's lines from lines[i], each after `comment`: its copy, the deletion of its
// backup and one or more sheet deletions. `i` ends past them.
bool ReadConversion(const std::vector<std::string_view>& lines, size_t& i, const Form& form,
                    std::string_view comment, Conversion& conversion) {
    std::string deletedBackup;
    std::string sheet;
    std::string deleteLine = std::string(comment) + std::string(kDeleteIfCopied);
    std::string_view copyLine = i < lines.size() ? lines[i] : std::string_view();
    if (i + 2 >= lines.size() || !TakePrefix(copyLine, comment) ||
        !ReadCopyLine(copyLine, form.copy, conversion) ||
        !ReadDeleteLine(lines[i + 1], deleteLine, deletedBackup) ||
        deletedBackup != conversion.backupPath)
        return false;
    for (i += 2; i + 1 < lines.size() && ReadDeleteLine(lines[i], deleteLine, sheet); ++i)
        conversion.sheetPaths.push_back(sheet);
    for (; form.batchPaths && i + 1 < lines.size() && ReadDeleteLine(lines[i], kLinksSheet, sheet);
         ++i)
        conversion.sheetPaths.push_back(sheet);
    return !conversion.sheetPaths.empty();
}

// Per conversion its lines, ended by the form's line after them, or (this form) the same lines
// commented out and ended by the failure mark; then the line that deletes the script.
bool ReadConversions(const std::vector<std::string_view>& lines, const Form& form,
                     std::vector<Conversion>& conversions) {
    if (lines.size() < 4) return false;
    size_t i = 0;
    std::string shared;
    while (i + 1 < lines.size()) {
        // The deletion of a sheet that conversions before it noted.
        if (form.batchPaths && ReadDeleteLine(lines[i], kDeleteShared, shared)) {
            ++i;
            continue;
        }
        bool commentedOut = form.batchPaths && lines[i].substr(0, 4) == kCommentedOut;
        Conversion conversion;
        if (!ReadConversion(lines, i, form, commentedOut ? kCommentedOut : "", conversion))
            return false;
        std::string_view groupEnd = commentedOut ? kMarkFailed : form.groupEnd;
        if (!groupEnd.empty() && (i + 1 >= lines.size() || lines[i++] != groupEnd)) return false;
        conversions.push_back(std::move(conversion));
    }
    std::string script;
    if (i + 1 != lines.size() || !ReadDeleteLine(lines.back(), form.scriptDelete, script))
        return false;
    if (form.batchPaths) {
        script = platform::PathOfBatchPath(script);
        for (Conversion& conversion : conversions) {
            conversion.backupPath = platform::PathOfBatchPath(conversion.backupPath);
            conversion.pagePath = platform::PathOfBatchPath(conversion.pagePath);
            for (std::string& sheet : conversion.sheetPaths)
                sheet = platform::PathOfBatchPath(sheet);
        }
    }
    size_t separator = script.find_last_of(platform::kFolderSeparators);
    return script.substr(separator == std::string::npos ? 0 : separator + 1) == kRestoreScriptName;
}

// Earlier versions wrote one conversion in four lines, deleting the script by its bare name.
bool ReadEarlierForm(const std::vector<std::string_view>& lines,
                     std::vector<Conversion>& conversions) {
    Conversion conversion;
    std::string deletedBackup;
    std::string sheet;
    if (lines.size() != 4 || !ReadCopyLine(lines[0], "copy ", conversion) ||
        !ReadDeleteLine(lines[1], "del ", deletedBackup) ||
        deletedBackup != conversion.backupPath || !ReadDeleteLine(lines[2], "del ", sheet) ||
        lines[3] != std::string("del ") + kRestoreScriptName)
        return false;
    conversion.sheetPaths.push_back(platform::AbsolutePath(sheet));
    for (std::string* path : {&conversion.backupPath, &conversion.pagePath})
        *path = platform::AbsolutePath(*path);
    conversions.push_back(std::move(conversion));
    return true;
}

// A conversion's lines, each after `comment`, naming its files by `paths`: the backup, the
// page, then the sheets; those that `shared` tells are noted, not deleted.
std::string ConversionLines(const std::vector<std::string>& paths, const std::vector<bool>& shared,
                            std::string_view comment) {
    std::string backup = BatchQuoted(paths[0]);
    std::string lines =
        std::string(comment) + std::string(kCopy) + backup + " " + BatchQuoted(paths[1]) + kLineEnd;
    std::string notes;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (i == 1) continue;
        if (i > 1 && shared[i - 2]) {
            notes += std::string(kLinksSheet) + BatchQuoted(paths[i]) + kLineEnd;
            continue;
        }
        lines += std::string(comment) + std::string(kDeleteIfCopied) +
                 (i == 0 ? backup : BatchQuoted(paths[i])) + kLineEnd;
    }
    return lines + notes;
}

// For each conversion, which of its sheets another conversion lists too; and for each
// conversion, the shared sheets that it is the last to list, to delete after it.
struct SharedSheets {
    std::vector<std::vector<bool>> noted;
    std::vector<std::vector<std::string>> deletedAfter;
};

SharedSheets FindSharedSheets(const std::vector<Conversion>& conversions) {
    std::map<std::string, std::pair<size_t, size_t>> listing;  // by sheet: how many, the last
    for (size_t c = 0; c < conversions.size(); ++c)
        for (const std::string& sheet : conversions[c].sheetPaths) {
            auto& [count, last] = listing[sheet];
            count += last != c + 1 ? 1 : 0;
            last = c + 1;
        }
    SharedSheets shared{std::vector<std::vector<bool>>(conversions.size()),
                        std::vector<std::vector<std::string>>(conversions.size())};
    for (size_t c = 0; c < conversions.size(); ++c)
        for (const std::string& sheet : conversions[c].sheetPaths) {
            const auto& [count, last] = listing[sheet];
            shared.noted[c].push_back(count > 1);
            const std::vector<std::string>& after = shared.deletedAfter[last - 1];
            if (count > 1 && std::find(after.begin(), after.end(), sheet) == after.end())
                shared.deletedAfter[last - 1].push_back(sheet);
        }
    return shared;
}

// The deletions of the shared sheets, each in the form cmd can open; one that has none stays.
std::string SharedDeletions(const std::vector<std::string>& sheets) {
    std::string lines;
    std::string written;
    for (const std::string& sheet : sheets)
        if (platform::BatchPath(sheet, written))
            lines += std::string(kDeleteShared) + BatchQuoted(written) + kLineEnd;
    return lines;
}

}  // namespace

bool ReadRestoreScript(std::string_view bytes, std::vector<Conversion>& conversions) {
    bool guarded = TakePrefix(bytes, kGuardLine);
    platform::BatchEncoding encoding = platform::BatchEncoding::OemCodePage;
    if (TakePrefix(bytes, kUtf8Line)) encoding = platform::BatchEncoding::Utf8;
    std::string text;
    std::vector<std::string_view> lines;
    if (!platform::FromBatchEncoding(bytes, encoding, text) || !SplitLines(text, lines))
        return false;
    conversions.clear();
    if (guarded) return ReadConversions(lines, kThisForm, conversions);
    if (encoding == platform::BatchEncoding::OemCodePage && ReadEarlierForm(lines, conversions))
        return true;
    conversions.clear();
    return ReadConversions(lines, kFormBefore, conversions);
}

bool RestoreScriptBytes(const std::vector<Conversion>& conversions, const std::string& scriptPath,
                        std::string& bytes, std::vector<std::string>* unrestorable) {
    // A script that cmd cannot start undoes nothing: every conversion is then commented out.
    std::string script;
    bool scriptRuns = platform::BatchPath(scriptPath, script);
    if (!scriptRuns) script = scriptPath;
    std::string text;
    const SharedSheets shared = FindSharedSheets(conversions);
    for (size_t c = 0; c < conversions.size(); ++c) {
        const Conversion& conversion = conversions[c];
        std::vector<std::string> paths{conversion.backupPath, conversion.pagePath};
        paths.insert(paths.end(), conversion.sheetPaths.begin(), conversion.sheetPaths.end());
        std::vector<std::string> written(paths.size());
        bool restorable = scriptRuns;
        for (size_t i = 0; i < paths.size() && restorable; ++i)
            restorable = platform::BatchPath(paths[i], written[i]);
        if (restorable) {
            text += ConversionLines(written, shared.noted[c], "") + std::string(kMarkIfFailed) +
                    kLineEnd;
        } else {
            text += ConversionLines(paths, shared.noted[c], kCommentedOut) +
                    std::string(kMarkFailed) + kLineEnd;
            if (unrestorable) unrestorable->push_back(conversion.pagePath);
        }
        text += SharedDeletions(shared.deletedAfter[c]);
    }
    text += std::string(kDeleteScript) + BatchQuoted(script) + kLineEnd;
    if (!platform::ToBatchEncoding(text, platform::BatchEncoding::OemCodePage, bytes)) {
        if (!platform::ToBatchEncoding(text, platform::BatchEncoding::Utf8, bytes)) return false;
        bytes.insert(0, kUtf8Line);
    }
    bytes.insert(0, kGuardLine);
    return true;
}

}  // namespace engine
