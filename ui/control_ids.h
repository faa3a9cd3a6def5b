// Fixed identifiers of the main window's controls and of the language menu's commands.
// Plain numbers, free of Win32 types, so portable code and tests can name them too.
#pragma once

namespace ui {

constexpr int IDB_LAUNCH = 1001;        // launch button (picture BICO)
constexpr int IDT_HTML_INPUT = 1002;    // "HTML input" label
constexpr int IDT_CSS_OUTPUT = 1003;    // "CSS output" label
constexpr int IDX_CLEAN_UNUSED = 1004;  // clean-unused check box
constexpr int IDE_PAGE_PATH = 1005;     // read-only page path field
constexpr int IDE_SHEET_NAME = 1006;    // output sheet name field
constexpr int IDB_BROWSE = 1007;        // "..." browse button
constexpr int IDT_WEB_LINK = 1008;      // blue underlined web link label
constexpr int IDI_LANGUAGE = 1009;      // language image (bitmap LANG), opens the menu

constexpr int IDM_ENGLISH = 100;  // language menu, position 1
constexpr int IDM_FRENCH = 101;   // language menu, position 2

}  // namespace ui
