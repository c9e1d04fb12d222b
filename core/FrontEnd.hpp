#pragma once
#include <optional>
#include <string>

namespace pd {

class Window;

// Dialogs that only a front end can show. Headless use and tests answer without asking.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual std::optional<std::string> browseFolder(Window& owner, const std::string& title,
                                                    const std::string& startFolder) = 0;
    // filter: "CONF Files (*.conf)|*.conf|All files (*.*)|*.*"
    virtual std::optional<std::string> openFile(Window& owner, const std::string& title,
                                                const std::string& filter,
                                                const std::string& defaultExtension,
                                                const std::string& startFolder) = 0;
    // A plain message with an OK button (failures the user must see).
    virtual void message(Window& owner, const std::string& title, const std::string& text) = 0;
    // A question answered Yes or No; true for Yes. Where nobody can answer, nobody says Yes.
    virtual bool ask(Window& owner, const std::string& title, const std::string& question) {
        (void)owner, (void)title, (void)question;
        return false;
    }
};

// Answers every dialog as cancelled; used where no user can answer.
class NoDialogs final : public Dialogs {
  public:
    std::optional<std::string> browseFolder(Window&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> openFile(Window&, const std::string&, const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void message(Window&, const std::string&, const std::string&) override {}
};

// What the App tells a front end about windows.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;
    virtual void windowOpened(Window& window) = 0;
    virtual void windowClosed(Window& window) = 0;
    // The window should be above all others (always on top); called once a second.
    virtual void keepOnTop(Window& window) = 0;
    // The last window closed: the program ends.
    virtual void quit() = 0;
};

}  // namespace pd
