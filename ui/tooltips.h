// The one shared tooltip control that gives the main window's controls their help texts.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// The widest a tip grows before its text wraps, at 96 DPI.
constexpr int kTooltipWidth = 300;

// The shared tooltip window, created on first use owned by `parent` (or, without a parent,
// by the thread's active window); nullptr when there is no owner or the creation failed.
HWND CreateTooltipWindow(HWND parent);

// Gives `control` the tooltip `text` ("|" marks a line break), replacing its earlier one.
// Returns the tooltip control's answer to adding the tool, or 0 without a tooltip window.
int SetControlTooltip(HWND control, std::string text);

}  // namespace ui
