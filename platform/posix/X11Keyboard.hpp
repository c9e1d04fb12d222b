#pragma once
#include <memory>
#include <optional>

#include "platform/Platform.hpp"

namespace pd {

// The lock keys of an X11 session: indicator state through XKB, asked once when the
// display opens and then followed by the keyboard's events; key presses through XTest.
// The X libraries are loaded when first needed, so the program also starts where they are
// not installed (a server without X, a Wayland-only desktop); there, and whenever no X
// display can be opened, the state is unknown and presses fail with the reason. The
// display is opened lazily and reopened after it was lost.
class X11Keyboard {
  public:
    X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;
    ~X11Keyboard();

    std::optional<bool> state(LockKey key);
    Outcome press(LockKey key);

  private:
    struct Session;
    std::unique_ptr<Session> session_;
};

}  // namespace pd
