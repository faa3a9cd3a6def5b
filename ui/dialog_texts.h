// The main window's composed texts and its language table. Header only and free of Win32
// types, so that the native tests check them without the Win32 program.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/run_paths.h"
#include "texts/run_report.h"
#include "texts/strings.h"
#include "ui/control_ids.h"

namespace ui {

// "stylewick v" and the version, followed by the caption's last part in `language`.
inline std::string MainCaption(texts::Language language) {
    return std::string(texts::kProductName) + " " + texts::kVersion +
           texts::Text(texts::TextId::CaptionTail, language);
}

// The caption while a run goes on: how much of it is done, then the caption.
inline std::string ProgressCaption(texts::Language language, int percent) {
    return texts::WithArguments(texts::Text(texts::TextId::ProgressPercent, language),
                                std::to_string(percent)) +
           " - " + MainCaption(language);
}

// The two lines of the warning shown when launching before a page was chosen, joined by CR.
inline std::string SelectionWarning(texts::Language language) {
    return std::string(texts::Text(texts::TextId::SelectionWarningFirst, language)) + '\r' +
           texts::Text(texts::TextId::SelectionWarningSecond, language);
}

// The file-open dialog's filter list: web pages, then all files; each entry a description and
// a pattern, each ended by NUL, and the list by a further NUL.
inline std::string OpenDialogFilter(texts::Language language) {
    std::string filter;
    for (auto [description, pattern] :
         {std::pair{texts::TextId::WebPageFilter, texts::kWebPagePattern},
          std::pair{texts::TextId::AllFilesFilter, texts::kAllFilesPattern}}) {
        filter += texts::Text(description, language);
        filter += '\0';
        filter += pattern;
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

// A tooltip text as shown: every "|" becomes a CR line break.
inline std::string TooltipText(std::string_view text) {
    std::string shown(text);
    for (char& c : shown)
        if (c == '|') c = '\r';
    return shown;
}

// The page path field's text when several pages are chosen: how many, in the folder of the
// first, shown without its last separator unless that is all of it or follows a drive (C:\).
inline std::string SeveralPagesText(texts::Language language,
                                    const std::vector<std::string>& pages) {
    return texts::WithArguments(
        texts::Text(texts::TextId::SeveralPagesChosen, language), std::to_string(pages.size()),
        texts::FolderShown(pages.empty() ? "" : engine::PageFolder(pages.front())));
}

// The page path field's tooltip when several pages are chosen: their file names, one a line
// ("|" marks the line breaks, as in every tooltip text).
inline std::string PageListTooltip(const std::vector<std::string>& pages) {
    std::string list;
    for (const std::string& page : pages) {
        if (!list.empty()) list += '|';
        list += page.substr(engine::PageFolder(page).size());
    }
    return list;
}

// The question whether to stop the run of `pages`: named by its path when there is one, as the
// page path field names them when there are several.
inline std::string StopQuestionText(texts::Language language,
                                    const std::vector<std::string>& pages) {
    if (pages.size() > 1)
        return texts::WithArguments(texts::Text(texts::TextId::StopQuestionPages, language),
                                    SeveralPagesText(language, pages));
    return texts::WithArguments(texts::Text(texts::TextId::StopQuestion, language),
                                pages.empty() ? "" : pages.front());
}

// Whether the page path names a chosen page; only its first character counts ("<" is none).
inline bool IsPageChosen(std::string_view pagePath) {
    return !pagePath.empty() && pagePath[0] != '<';
}

// Where a control shows a text of the string table: as its drawn text, as its tooltip, for a
// control that shows a picture as its tooltip and as the name a screen reader gives it, or
// only as that name (a button whose drawn text says too little).
enum class ShownAs { WindowText, Tooltip, NameAndTooltip, AccessibleName };

// One text of a control, shown in the current language.
struct ControlText {
    int controlId;
    texts::TextId text;
    ShownAs shownAs;
};

// The controls' texts that follow the language, in the order they are set at start-up and by
// every language switch.
inline constexpr ControlText kControlTexts[] = {
    {IDT_HTML_INPUT, texts::TextId::HtmlInputLabel, ShownAs::WindowText},
    {IDT_CSS_OUTPUT, texts::TextId::CssOutputLabel, ShownAs::WindowText},
    {IDX_CLEAN_UNUSED, texts::TextId::CleanUnusedLabel, ShownAs::WindowText},
    {IDT_WEB_LINK, texts::TextId::WebLinkLabel, ShownAs::WindowText},
    {IDB_LAUNCH, texts::TextId::LaunchTooltip, ShownAs::NameAndTooltip},
    {IDX_CLEAN_UNUSED, texts::TextId::CleanTooltip, ShownAs::Tooltip},
    {IDI_LANGUAGE, texts::TextId::LanguageTooltip, ShownAs::NameAndTooltip},
    {IDB_BROWSE, texts::TextId::BrowseName, ShownAs::AccessibleName},
};

}  // namespace ui
