// The main window's composed texts and its language table. Header only and free of Win32
// types, so that the native tests check them without the Win32 program.
#pragma once

#include <string>
#include <string_view>

#include "ui/control_ids.h"
#include "ui/strings.h"

// "stylewick v" and the version, followed by the caption's last part in `language`.
inline std::string MainCaption(Language language) {
    return std::string(kProductName) + " " + kVersion + Text(TextId::CaptionTail, language);
}

// The clean-unused check box tooltip: its first part followed directly by its second part.
inline std::string CleanUnusedTooltip(Language language) {
    return std::string(Text(TextId::CleanTooltipFirst, language)) +
           Text(TextId::CleanTooltipSecond, language);
}

// The two lines of the warning shown when launching before a page was chosen, joined by CR.
inline std::string SelectionWarning(Language language) {
    return std::string(Text(TextId::SelectionWarningFirst, language)) + '\r' +
           Text(TextId::SelectionWarningSecond, language);
}

// The file-open dialog's filter list: description, NUL, pattern, NUL, and the closing NUL.
inline std::string OpenDialogFilter(Language language) {
    std::string filter = Text(TextId::OpenDialogFilter, language);
    filter += '\0';
    filter += kOpenDialogPattern;
    filter += '\0';
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

// Whether the page path names a chosen page; only its first character counts ("<" is none).
inline bool IsPageChosen(std::string_view pagePath) {
    return !pagePath.empty() && pagePath[0] != '<';
}

// One control re-labelled by a language switch, with the text it shows.
struct ControlText {
    int controlId;
    TextId text;
};

// The controls re-labelled by a language switch, in the order they are set.
inline constexpr ControlText kLanguageLabels[] = {
    {IDT_HTML_INPUT, TextId::HtmlInputLabel},
    {IDT_CSS_OUTPUT, TextId::CssOutputLabel},
    {IDX_CLEAN_UNUSED, TextId::CleanUnusedLabel},
    {IDT_WEB_LINK, TextId::WebLinkLabel},
};
