#include "engine/output_writing.h"

#include <vector>

#include "engine/css_closing.h"
#include "engine/run_paths.h"
#include "platform/files.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kTemporarySuffix[] = ".stylewick-new";

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

void AppendRule(std::string& sheet, const Rule& rule) {
    sheet += rule.selector;
    sheet += kLineEnd;
    sheet += '{';
    sheet += rule.declarations;
    sheet += '}';
    sheet += kLineEnd;
}

struct Output {
    std::string target;
    std::string_view bytes;
    std::string temporary;
    bool written = false;
};

void RemoveTemporaries(std::vector<Output>& outputs) {
    for (Output& output : outputs)
        if (output.written) files::Remove(output.temporary);
}

// Puts the page's original bytes back after it was replaced.
void RestorePage(const std::string& pagePath, std::string_view originalPage) {
    std::string temporary = pagePath + kTemporarySuffix;
    if (files::WriteWhole(temporary, originalPage) && files::MoveReplacing(temporary, pagePath))
        return;
    files::Remove(temporary);
    files::WriteWhole(pagePath, originalPage);
}

}  // namespace

std::string RestoreScriptText(const RunState& state) {
    std::string script =
        "copy " + BatchQuoted(state.backupPath) + " " + BatchQuoted(state.pagePath) + kLineEnd;
    script += "del " + BatchQuoted(state.backupPath) + kLineEnd;
    script += "del " + BatchQuoted(SheetPath(state.pageFolder, state.sheetName)) + kLineEnd;
    script += std::string("del ") + kRestoreScriptName + kLineEnd;
    return files::ToBatchCodePage(script);
}

std::string StyleSheetText(const RunState& state, bool cleanedLayout) {
    static const std::string kInlineComment =
        "/* Inline CSS extracted with stylewick (" STYLEWICK_WEBSITE ") */";
    static const std::string kInternalComment =
        "/* Internal CSS from header cleaned with stylewick (" STYLEWICK_WEBSITE ") */";

    std::string sheet;
    // A header CSS text without any rule (only @import or @charset, say) is kept as it is.
    bool cssWithoutRules =
        !state.headerCss.empty() && state.headerCss.find('{') == std::string::npos;
    if ((!cleanedLayout && !state.headerCss.empty()) || (cleanedLayout && cssWithoutRules)) {
        sheet += state.headerCss;
        sheet += kLineEnd;
    }
    if (cleanedLayout && state.ruleCount > 0) {
        sheet += kInternalComment + kLineEnd;
        for (size_t i = 0; i < state.ruleCount; ++i) AppendRule(sheet, state.rules[i]);
    }
    // Whatever the page's own CSS leaves open must not take the inline classes with it.
    if (std::string closers = CssClosers(sheet); !closers.empty()) sheet += closers + kLineEnd;
    sheet += kInlineComment + kLineEnd;
    for (size_t i = state.ruleCount; i < state.rules.size(); ++i) AppendRule(sheet, state.rules[i]);
    return sheet;
}

RunOutcome WriteOutputs(const RunState& state, std::string_view originalPage,
                        std::string_view scriptText, std::string_view sheetText) {
    std::vector<Output> outputs = {
        {state.pagePath, state.pageText, {}, false},
        {RestoreScriptPath(state.pageFolder), scriptText, {}, false},
        {SheetPath(state.pageFolder, state.sheetName), sheetText, {}, false},
    };
    for (Output& output : outputs) {
        output.temporary = output.target + kTemporarySuffix;
        output.written = files::WriteWhole(output.temporary, output.bytes);
        if (!output.written) {
            files::Remove(output.temporary);  // a partly written file may be left
            RemoveTemporaries(outputs);
            return {RunError::FileNotWritten, output.target};
        }
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        if (files::MoveReplacing(outputs[i].temporary, outputs[i].target)) {
            outputs[i].written = false;  // nothing left to remove
            continue;
        }
        RemoveTemporaries(outputs);
        if (i > 0) RestorePage(state.pagePath, originalPage);
        if (i > 1) files::Remove(outputs[1].target);  // the script of a run that did not happen
        return {RunError::FileNotWritten, outputs[i].target};
    }
    return {};
}
