#pragma once
// clang-format off
#include <windows.h>
// clang-format on
#include <string>

namespace pd::win32ui {

// A long notice wraps rather than widening its window beyond its default size.
constexpr std::size_t wrapsBeyond = 48;
// The natural size of a static text (a caption or a label), at least widthChars digits wide.
SIZE staticTextSize(HFONT font, const std::wstring& text, bool wraps, int widthChars);

// Room that standard controls take beside their text, at a resolution: a push button's
// edges on each side, a check box's box and the gap after it.
int buttonPadding(int dpi);
int checkBoxIndent(int dpi);

// The size of a text drawn as a control of that style draws it (line breaks kept;
// '&' marks a shortcut unless noPrefix); with a wrap width, words wrap at it.
SIZE drawnSize(HFONT font, const std::wstring& text, bool noPrefix, int wrapWidth = 0);

// The text a control shows in one piece, as the user reads it: a static's caption, a
// single-line edit's value, a button's, check box's or group's caption. Empty where the
// text is not measured: multi-line boxes scroll, a password shows no text.
std::wstring wholeText(HWND control);
// Whether the control, at its present size and in its own font, shows all of that text.
bool showsWholeText(HWND control);
// The tool tip for a control: its own tip, followed by its whole text when the control
// is too small to show all of it (and the tip does not already hold it).
std::wstring tipWithWholeText(HWND control, const std::wstring& ownTip);

// Gives the control that tip in the window's tool-tip control; an empty tip removes it.
void setToolTip(HWND toolTips, HWND control, const std::wstring& tip);
// The tip the control has, empty if none.
std::wstring toolTipOf(HWND toolTips, HWND control);

}  // namespace pd::win32ui
