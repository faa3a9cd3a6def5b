#include "engine/restore_script.h"

#include "engine/run_paths.h"
#include "platform/files.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
// Windows' cmd reads the lines after it in UTF-8. (Wine 8's cmd refuses it and reads them in
// its own code page: a copy whose path it then misreads fails, and its deletions are skipped.)
constexpr std::string_view kUtf8Line = "chcp 65001 >nul\r\n";
// The deletions of a conversion run only when its copy succeeded. Not "&&": Wine's cmd runs
// the command after it even when copy failed.
constexpr char kDeleteIfCopied[] = "if not errorlevel 1 del ";

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

bool ReadCopyLine(std::string_view line, Conversion& conversion) {
    return TakePrefix(line, "copy ") && TakeQuotedPath(line, conversion.backupPath) &&
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

// Per conversion a copy line, the deletion of its backup and one or more sheet deletions; then
// the line that deletes the script.
bool ReadCurrentForm(const std::vector<std::string_view>& lines,
                     std::vector<Conversion>& conversions) {
    if (lines.size() < 4) return false;
    size_t i = 0;
    while (i + 1 < lines.size()) {
        Conversion conversion;
        std::string deletedBackup;
        if (i + 3 >= lines.size() || !ReadCopyLine(lines[i], conversion) ||
            !ReadDeleteLine(lines[i + 1], kDeleteIfCopied, deletedBackup) ||
            deletedBackup != conversion.backupPath)
            return false;
        for (i += 2; i + 1 < lines.size() && lines[i].substr(0, 5) != "copy "; ++i) {
            std::string sheet;
            if (!ReadDeleteLine(lines[i], kDeleteIfCopied, sheet)) return false;
            conversion.sheetPaths.push_back(std::move(sheet));
        }
        if (conversion.sheetPaths.empty()) return false;
        conversions.push_back(std::move(conversion));
    }
    std::string script;
    if (!ReadDeleteLine(lines.back(), "del ", script)) return false;
    size_t separator = script.find_last_of(files::kFolderSeparators);
    return script.substr(separator == std::string::npos ? 0 : separator + 1) == kRestoreScriptName;
}

// Earlier versions wrote one conversion in four lines, deleting the script by its bare name.
bool ReadEarlierForm(const std::vector<std::string_view>& lines,
                     std::vector<Conversion>& conversions) {
    Conversion conversion;
    std::string deletedBackup;
    std::string sheet;
    if (lines.size() != 4 || !ReadCopyLine(lines[0], conversion) ||
        !ReadDeleteLine(lines[1], "del ", deletedBackup) ||
        deletedBackup != conversion.backupPath || !ReadDeleteLine(lines[2], "del ", sheet) ||
        lines[3] != std::string("del ") + kRestoreScriptName)
        return false;
    conversion.sheetPaths.push_back(files::AbsolutePath(sheet));
    for (std::string* path : {&conversion.backupPath, &conversion.pagePath})
        *path = files::AbsolutePath(*path);
    conversions.push_back(std::move(conversion));
    return true;
}

}  // namespace

bool ReadRestoreScript(std::string_view bytes, std::vector<Conversion>& conversions) {
    files::BatchEncoding encoding = files::BatchEncoding::OemCodePage;
    if (TakePrefix(bytes, kUtf8Line)) encoding = files::BatchEncoding::Utf8;
    std::string text;
    std::vector<std::string_view> lines;
    if (!files::FromBatchEncoding(bytes, encoding, text) || !SplitLines(text, lines)) return false;
    conversions.clear();
    if (encoding == files::BatchEncoding::OemCodePage && ReadEarlierForm(lines, conversions))
        return true;
    conversions.clear();
    return ReadCurrentForm(lines, conversions);
}

bool RestoreScriptBytes(const std::vector<Conversion>& conversions, const std::string& scriptPath,
                        std::string& bytes) {
    std::string text;
    for (const Conversion& conversion : conversions) {
        std::string backup = BatchQuoted(conversion.backupPath);
        text += "copy " + backup + " " + BatchQuoted(conversion.pagePath) + kLineEnd;
        text += kDeleteIfCopied + backup + kLineEnd;
        for (const std::string& sheet : conversion.sheetPaths)
            text += kDeleteIfCopied + BatchQuoted(sheet) + kLineEnd;
    }
    text += "del " + BatchQuoted(scriptPath) + kLineEnd;
    if (files::ToBatchEncoding(text, files::BatchEncoding::OemCodePage, bytes)) return true;
    if (!files::ToBatchEncoding(text, files::BatchEncoding::Utf8, bytes)) return false;
    bytes.insert(0, kUtf8Line);
    return true;
}
