#pragma once

namespace pd::test {

// A left click at a point of the screen, as a user's hand would make it (XTest): Xlib's
// macros stay out of the files that include Qt and GoogleTest. False without a display.
bool clickOnScreen(int x, int y);

}  // namespace pd::test
