// Every text the user sees that changes with the language, in UTF-8.
// Free of Win32 types: the headless program and the native tests use it too.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "version.h"

namespace texts {

enum class Language { English, French };

// The process-wide language code: exactly "EN" is English, anything else French.
Language LanguageFromCode(std::string_view code);
const char* LanguageCode(Language language);

enum class TextId {
    CaptionTail,
    HtmlInputLabel,
    CssOutputLabel,
    CleanUnusedLabel,
    WebLinkLabel,
    NothingSelected,
    LaunchTooltip,
    CleanTooltip,
    LanguageTooltip,
    BrowseName,  // the browse button's name for screen readers
    OpenDialogTitle,
    WebPageFilter,
    AllFilesFilter,
    ProgressPercent,  // "%1" stands for the whole percent
    SelectionWarningFirst,
    SelectionWarningSecond,
    ReportBeforeName,
    ReportAfterName,
    ReportCleaned,
    ReportBackup,
    ReportCopyBackByHand,  // "%1" stands for the backup
    ReportTimeLabel,
    ReportTimeUnit,
    // Messages of the run; "%1" and "%2" stand for the paths they name.
    NothingToExtract,
    NothingToExtractInPages,  // "%1" pages of the folder "%2", none of which held any
    PageMissing,
    PageIsFolder,
    BackupNotCreated,
    PageNotRead,
    SheetNameCollides,
    StyleBlockUnclosed,
    BracesMismatch,
    SheetNotOurs,
    ScriptNotOurs,
    PageConvertedBefore,
    SheetOfOtherPage,
    FileNotWritten,
    OutOfMemory,
    FolderBusy,
    SheetExists,
    PageReplaced,
    BackupNotOurs,
    SheetNameInvalid,
    Stopped,
    PageDamaged,
    PagesInSeveralFolders,
    NoPageInFolder,
    TooManyPagesChosen,  // the file dialog's list of names overflowed
    DiskFull,            // second line of a message about a file the full disk kept from writing
    WaitingForFolder,    // while another run holds the page's folder
    StopQuestion,        // "%1" stands for the page
    // A run over several pages: "%1" pages converted into the sheet "%2" (with "%3" inline
    // classes and "%4" header sheets), "%5" pages that held nothing to extract.
    SeveralPagesReport,
    PageBytes,             // stylewick-cli's line for page "%1": "%2" bytes before, "%3" after
    PageNothingToExtract,  // the same for page "%1", which held nothing to extract
    SeveralPagesChosen,    // the page path field: "%1" pages in the folder "%2"
    StopQuestionPages,     // "%1" stands for the pages, as the page path field shows them
    Count
};

const char* Text(TextId id, Language language);

// `text` with its "%1" replaced by `first` and its "%2" by `second` (each inserted once,
// never scanned again).
std::string WithArguments(std::string_view text, std::string_view first,
                          std::string_view second = {});
// `text` with each of "%1" to "%9" replaced by the argument of its number; one with no argument
// stays as it is.
std::string WithArguments(std::string_view text, std::initializer_list<std::string_view> arguments);

// Texts that are the same in every language.
constexpr const char kProductName[] = "stylewick";
constexpr const char kVersion[] = "v" STYLEWICK_VERSION;
constexpr const char kEnglishMenuItem[] = "English";
constexpr const char kFrenchMenuItem[] = "Français";
constexpr const char kBrowseButtonText[] = "...";
constexpr const char kWebPagePattern[] = "*.htm;*.html";
constexpr const char kAllFilesPattern[] = "*.*";
constexpr const char kDefaultSheetName[] = "styles.css";
constexpr const char kNoPageSelected[] = "<none selected>";

}  // namespace texts
