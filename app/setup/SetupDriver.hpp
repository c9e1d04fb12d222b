#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/setup/SetupScript.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/FrontEnd.hpp"

namespace pd::setup {

// Applies a set-up file to an App the way a user would: the main window is loaded as at
// a program start, each section's window is reached through the chain of windows and
// buttons that open it, texts are typed, ticks set (their rules run) and buttons pressed.
// Only the windows' own regeneration runs, once before each press; the main window's
// timers never do, so nothing starts unless a pressed button starts it.
class SetupDriver {
  public:
    explicit SetupDriver(App& app);
    SetupDriver(const SetupDriver&) = delete;
    SetupDriver& operator=(const SetupDriver&) = delete;

    // Stops at the first line that cannot be applied and names it; what earlier lines
    // stored stays stored (applySetup rehearses first so that this does not happen). At the
    // end the main window keeps the run choices the file set, as EXIT would without
    // stamping an exit, and the open windows close by their close boxes.
    std::optional<SetupError> run(const std::vector<SetupLine>& lines);

  private:
    // No user to answer a dialog: browsing is cancelled, and a message is a failure.
    class Answers final : public Dialogs {
      public:
        std::optional<std::string> browseFolder(Window&, const std::string&, const std::string&) override {
            return std::nullopt;
        }
        std::optional<std::string> openFile(Window&, const std::string&, const std::string&,
                                            const std::string&, const std::string&) override {
            return std::nullopt;
        }
        void message(Window& owner, const std::string&, const std::string& text) override {
            failures.push_back(owner.className() + " says: " + text);
        }
        std::vector<std::string> failures;
    };

    // How long a window's system command may take before the file stops there.
    static constexpr int resultWaitMs = 60000;

    std::optional<std::string> enterSection(const std::string& window);
    std::optional<std::string> set(const SetupLine& line);
    std::optional<std::string> press(const SetupLine& line);
    std::optional<std::string> currentWindow(Window*& out) const;
    std::optional<std::string> unlock(Window& w, const TextBox& box);
    std::string shownBelow(const Window& w, std::string_view name) const;
    // Waits for the result of a command the window started, and names a failure it shows.
    std::optional<std::string> awaitResult(Window& w);
    void runRegeneration();
    void forgetClosedWindows();
    void adoptNewWindows();
    void closeAbove(std::size_t keep);
    Window* openedBy(const Window& opener, std::string_view className) const;

    App& app_;
    Answers answers_;
    std::vector<std::string> storeFailures_;
    std::string section_;
    std::vector<Window*> stack_;  // windows opened above the main window, innermost last
    bool mainWindowSet_ = false;
};

// Applies a whole file to the copy named `exe`: first to a rehearsal (the store and the
// system as they are, with every change kept in memory), then, when every line applied
// there, for real. A file with a wrong name, value or press therefore changes nothing;
// only what the system refuses at the real run (a folder without write permission, a
// task command) can still stop a file half-way, and the error then says where. ownFile is
// the copy's own program file when it is known (a link named after the coin): its weekly
// task starts that file.
std::optional<SetupError> applySetup(const std::string& exe, SettingsStore& store, Platform& platform,
                                     const Profile& profile, Clock& clock,
                                     const std::vector<SetupLine>& lines, const std::string& ownFile = {});

}  // namespace pd::setup
