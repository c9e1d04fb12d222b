#include "PointerClick.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace pd::test {

bool clickOnScreen(int x, int y) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XFlush(display);
    XCloseDisplay(display);
    return true;
}

}  // namespace pd::test
