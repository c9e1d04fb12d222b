#pragma once
// clang-format off
#include <windows.h>
// clang-format on

namespace pd::win32ui {

// The resolution a window is shown at (per monitor where the system knows it; 96 = 100%).
int dpiOf(HWND window);
// A length given at 96 dots per inch, at that resolution.
inline int scaled(int pixelsAt96, int dpi) {
    return MulDiv(pixelsAt96, dpi, 96);
}
// The outer size of a window whose client area has that size, at that resolution.
SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, int dpi);

// The system's message font at that resolution, no larger than 8 points: the windows are
// dense control panels sized in twips for an 8-point face. The caller deletes it.
HFONT messageFont(int dpi);

// Metrics of a font: the average width of a digit and the height of a line.
struct FontMetrics {
    int charWidth = 7;
    int lineHeight = 13;
};
FontMetrics metricsOf(HFONT font);

// The extent of one line of text in that font.
SIZE textExtent(HFONT font, const wchar_t* text, int length);

}  // namespace pd::win32ui
