#include "platform/posix/X11Keyboard.hpp"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dlfcn.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>

namespace pd {

namespace {

// Xlib calls this on a protocol error; the default handler ends the program. Our few
// requests can only fail harmlessly (a key without a code), so errors are ignored while
// we talk to the server.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}
// Xlib calls this when the connection breaks; the default one ends the program. Ours
// returns, and the display's exit handler (below) marks it lost instead of exiting.
int survivingIOError(Display*) {
    return 0;
}

// The key's symbol and the name of its indicator (also how messages name the key).
struct KeyNames {
    KeySym keysym;
    const char* name;
};
KeyNames namesOf(LockKey key) {
    switch (key) {
        case LockKey::Num:
            return {XK_Num_Lock, "Num Lock"};
        case LockKey::Caps:
            return {XK_Caps_Lock, "Caps Lock"};
        case LockKey::Scroll:
            break;
    }
    return {XK_Scroll_Lock, "Scroll Lock"};
}

// A shared library opened with dlopen when first asked for, closed with it.
class Library {
  public:
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() {
        if (handle_) ::dlclose(handle_);
    }
    bool load(const char* name) {
        if (!handle_) handle_ = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
        return handle_ != nullptr;
    }
    template <class F>
    bool bind(F*& fn, const char* symbol) const {
        fn = handle_ ? reinterpret_cast<F*>(::dlsym(handle_, symbol)) : nullptr;
        return fn != nullptr;
    }

  private:
    void* handle_ = nullptr;
};

}  // namespace

struct X11Keyboard::Session {
    Library x11;
    Library xtst;
    bool bound = false;

    decltype(&::XOpenDisplay) openDisplay = nullptr;
    decltype(&::XCloseDisplay) closeDisplay = nullptr;
    decltype(&::XSync) sync = nullptr;
    decltype(&::XSetErrorHandler) setErrorHandler = nullptr;
    decltype(&::XSetIOErrorHandler) setIOErrorHandler = nullptr;
    decltype(&::XInternAtom) internAtom = nullptr;
    decltype(&::XKeysymToKeycode) keysymToKeycode = nullptr;
    decltype(&::XQueryKeymap) queryKeymap = nullptr;
    decltype(&::XkbQueryExtension) xkbQueryExtension = nullptr;
    decltype(&::XkbGetNamedIndicator) xkbGetNamedIndicator = nullptr;
    decltype(&::XkbGetState) xkbGetState = nullptr;
    decltype(&::XkbKeysymToModifiers) xkbKeysymToModifiers = nullptr;
    decltype(&::XkbSelectEvents) xkbSelectEvents = nullptr;
    decltype(&::XkbGetIndicatorState) xkbGetIndicatorState = nullptr;
    decltype(&::XPending) pending = nullptr;
    decltype(&::XNextEvent) nextEvent = nullptr;
    decltype(&::XTestQueryExtension) xtestQueryExtension = nullptr;
    decltype(&::XTestFakeKeyEvent) xtestFakeKeyEvent = nullptr;
    // From libX11 1.7: lets a lost display be survived instead of ending the program.
    void (*setIOErrorExitHandler)(Display*, void (*)(Display*, void*), void*) = nullptr;

    // While we talk to the server: errors are ignored and a broken connection only marks
    // the display lost. The previous handlers come back afterwards, so the rest of the
    // program (the toolkit's own connection) keeps its own.
    class Talking {
      public:
        explicit Talking(Session& s)
            : s_(s), error_(s.setErrorHandler(&ignoreXError)), io_(s.setIOErrorHandler(&survivingIOError)) {}
        ~Talking() {
            s_.setErrorHandler(error_);
            s_.setIOErrorHandler(io_);
        }
        Talking(const Talking&) = delete;
        Talking& operator=(const Talking&) = delete;

      private:
        Session& s_;
        XErrorHandler error_;
        XIOErrorHandler io_;
    };

    // The lock state as the server's keyboard events last told it: asked once when the
    // display opens, then followed, so the lights cost no request to the server.
    struct Followed {
        int indicator = -1;  // the index of the key's named indicator, -1 if it has none
        unsigned mods = 0;   // the modifiers the key locks (when there is no indicator)
        KeyCode code = 0;
        bool held = false;
    };
    std::array<Followed, 3> keys{};
    unsigned indicators = 0;
    unsigned lockedMods = 0;
    int xkbEvent = -1;

    Display* display = nullptr;
    bool xtest = false;
    bool lost = false;
    std::string why;  // why there is no display, in plain words
    std::chrono::steady_clock::time_point nextAttempt{};

    ~Session() {
        if (!display) return;
        // The server may have gone meanwhile; closing then must not end the program either.
        Talking talking(*this);
        closeDisplay(display);
    }

    bool bind() {
        if (bound) return true;
        if (!x11.load("libX11.so.6")) {
            why = "the X11 library (libX11) is not installed";
            return false;
        }
        bound = x11.bind(openDisplay, "XOpenDisplay") && x11.bind(closeDisplay, "XCloseDisplay") &&
                x11.bind(sync, "XSync") && x11.bind(setErrorHandler, "XSetErrorHandler") &&
                x11.bind(setIOErrorHandler, "XSetIOErrorHandler") && x11.bind(internAtom, "XInternAtom") &&
                x11.bind(keysymToKeycode, "XKeysymToKeycode") && x11.bind(queryKeymap, "XQueryKeymap") &&
                x11.bind(xkbQueryExtension, "XkbQueryExtension") &&
                x11.bind(xkbGetNamedIndicator, "XkbGetNamedIndicator") &&
                x11.bind(xkbGetState, "XkbGetState") &&
                x11.bind(xkbKeysymToModifiers, "XkbKeysymToModifiers") &&
                x11.bind(xkbSelectEvents, "XkbSelectEvents") &&
                x11.bind(xkbGetIndicatorState, "XkbGetIndicatorState") && x11.bind(pending, "XPending") &&
                x11.bind(nextEvent, "XNextEvent");
        if (!bound) {
            why = "the X11 library (libX11) is too old";
            return false;
        }
        if (!x11.bind(setIOErrorExitHandler, "XSetIOErrorExitHandler")) {
            // Older than 1.7: a lost display would end the program, so none is used.
            why = "the X11 library (libX11) is older than 1.7";
            bound = false;
            return false;
        }
        // Without libXtst the lights still work; presses then say what is missing.
        if (xtst.load("libXtst.so.6") && xtst.bind(xtestQueryExtension, "XTestQueryExtension"))
            xtst.bind(xtestFakeKeyEvent, "XTestFakeKeyEvent");
        return true;
    }

    static void displayLost(Display*, void* self) { static_cast<Session*>(self)->lost = true; }

    // The open display, or nullptr with the reason in why.
    Display* open() {
        if (display && !lost) return display;
        if (lost) {
            // Xlib marks a connection it has lost; closing it then only frees it (the exit
            // handler keeps the program alive if it still tries to talk).
            {
                Talking talking(*this);
                closeDisplay(display);
            }
            display = nullptr;
            lost = false;
            why = "the X display was lost";
        }
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) {
            const char* wayland = std::getenv("WAYLAND_DISPLAY");
            why = (wayland && *wayland) ? "no X display in this Wayland session"
                                        : "no X display (DISPLAY is not set)";
            return nullptr;
        }
        // Called ten times a second by the lock lights: a display that refused us is
        // asked again only after a pause.
        auto now = std::chrono::steady_clock::now();
        if (now < nextAttempt) return nullptr;
        if (!bind()) return nullptr;
        Display* d = openDisplay(nullptr);
        if (!d) {
            why = std::string("cannot open the X display ") + name;
            nextAttempt = now + std::chrono::seconds(2);
            return nullptr;
        }
        setIOErrorExitHandler(d, &Session::displayLost, this);
        Talking talking(*this);
        int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        if (!xkbQueryExtension(d, &opcode, &event, &error, &major, &minor) || lost) {
            if (!lost) closeDisplay(d);
            lost = false;
            why = std::string("the X display ") + name + " has no keyboard extension (XKB)";
            nextAttempt = now + std::chrono::seconds(2);
            return nullptr;
        }
        int ignored = 0;
        xtest = xtestFakeKeyEvent && xtestQueryExtension(d, &ignored, &ignored, &ignored, &ignored);
        xkbEvent = event;
        follow(d);
        display = d;
        return display;
    }

    static std::size_t slot(LockKey key) { return static_cast<std::size_t>(key); }

    // Asks for the keyboard's state events, then for the state itself, once.
    void follow(Display* d) {
        constexpr unsigned events = XkbIndicatorStateNotifyMask | XkbStateNotifyMask;
        xkbSelectEvents(d, XkbUseCoreKbd, events, events);
        char down[32] = {};
        const bool keymap = queryKeymap(d, down);
        for (auto key : {LockKey::Num, LockKey::Caps, LockKey::Scroll}) {
            auto names = namesOf(key);
            auto& k = keys[slot(key)];
            k = {};
            Bool lit = False;
            int index = -1;
            Atom atom = internAtom(d, names.name, True);
            if (atom != None && xkbGetNamedIndicator(d, atom, &index, &lit, nullptr, nullptr) && index >= 0 &&
                index < 32)
                k.indicator = index;
            k.mods = xkbKeysymToModifiers(d, names.keysym);
            k.code = keysymToKeycode(d, names.keysym);
            k.held = keymap && k.code != 0 && (down[k.code / 8] & (1 << (k.code % 8))) != 0;
        }
        unsigned state = 0;
        if (xkbGetIndicatorState(d, XkbUseCoreKbd, &state) == Success) indicators = state;
        XkbStateRec st{};
        if (xkbGetState(d, XkbUseCoreKbd, &st) == Success) lockedMods = st.locked_mods;
    }

    // Takes in the events that arrived meanwhile; reads only what the server already sent.
    void catchUp(Display* d) {
        while (!lost && pending(d) > 0) {
            XEvent ev;
            nextEvent(d, &ev);
            if (ev.type != xkbEvent) continue;
            const auto& xkb = reinterpret_cast<const XkbEvent&>(ev);
            if (xkb.any.xkb_type == XkbIndicatorStateNotify) {
                indicators = xkb.indicators.state;
            } else if (xkb.any.xkb_type == XkbStateNotify) {
                lockedMods = xkb.state.locked_mods;
                // The change a key made tells whether it is down now.
                for (auto& k : keys)
                    if (k.code != 0 && xkb.state.keycode == k.code) k.held = xkb.state.event_type == KeyPress;
            }
        }
    }

    std::optional<bool> state(LockKey key) {
        Display* d = open();
        if (!d) return std::nullopt;
        Talking talking(*this);
        catchUp(d);
        if (lost) return std::nullopt;
        const auto& k = keys[slot(key)];
        std::optional<bool> on;
        if (k.indicator >= 0)
            on = (indicators & (1u << k.indicator)) != 0;
        else if (k.mods != 0)
            on = (lockedMods & k.mods) != 0;  // no indicator of that name: its locked modifier says the same
        // A lock key held down counts as on, as its light would show on Windows.
        if (on && !*on && k.held) on = true;
        return on;
    }

    Outcome press(LockKey key) {
        Display* d = open();
        if (!d) return Outcome::failure(why);
        auto names = namesOf(key);
        if (!xtest)
            return Outcome::failure(xtestFakeKeyEvent
                                        ? "the X display cannot take simulated key presses (XTest)"
                                        : "the X test library (libXtst) is not installed");
        Talking talking(*this);
        KeyCode code = keysymToKeycode(d, names.keysym);
        if (lost) return Outcome::failure("the X display was lost");
        if (code == 0) return Outcome::failure(std::string("the keyboard map has no ") + names.name + " key");
        xtestFakeKeyEvent(d, code, True, CurrentTime);
        xtestFakeKeyEvent(d, code, False, CurrentTime);
        // Waits until the server has taken both, so the indicator read next shows the change.
        sync(d, False);
        if (lost) return Outcome::failure("the X display was lost");
        return Outcome::success();
    }
};

X11Keyboard::X11Keyboard() : session_(std::make_unique<Session>()) {}
X11Keyboard::~X11Keyboard() = default;

std::optional<bool> X11Keyboard::state(LockKey key) {
    return session_->state(key);
}
Outcome X11Keyboard::press(LockKey key) {
    return session_->press(key);
}

}  // namespace pd
